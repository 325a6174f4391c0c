#include "config/ui/other_settings_dlg.h"

#include "platform/qt/qtext.h"
#include "config/ui/number_fields.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qv {
namespace {

using namespace settings_page;

QDialogButtonBox* OkCancel(QDialog* dlg)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dlg);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dlg, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dlg, &QDialog::reject);
    return buttons;
}

// The notes beside the time fields.
constexpr const char* kTimeNotes[] = {"Min=0;Max=1000", "Min=0;Max=10000", "Min=0;Max=1000"};

} // namespace

CDlgOtherSet::CDlgOtherSet(int protocolNumber, int port, const OtherSettings& values, QWidget* parent)
    : QDialog(parent), showMessage(WarningBoxOver(this)), m_protocol(protocolNumber)
{
    setWindowTitle(toQString("其它设置"));
    setProperty("port", port);
    auto* layout = new QVBoxLayout(this);
    const std::span<const NumberField> fields = OtherFields();
    for (std::size_t i = 0; i < m_edits.size(); ++i) {
        m_edits[i] = NumberEdit(this);
        m_labels[i] = new QLabel(toQString(fields[i].labelGbk), this);
    }

    m_timeGroup = new QGroupBox(toQString("时间参数"), this);
    auto* times = new QFormLayout(m_timeGroup);
    for (int f : {CommDelay, Timeout, AckDelay}) {
        auto* row = new QHBoxLayout;
        row->addWidget(m_edits[f]);
        row->addWidget(new QLabel(QString::fromLatin1(kTimeNotes[f]), m_timeGroup));
        times->addRow(m_labels[f], row);
    }
    layout->addWidget(m_timeGroup);

    auto* dynamicGroup = new QGroupBox(toQString("动态设备地址"), this);
    auto* dynamic = new QFormLayout(dynamicGroup);
    m_dynamic = new QCheckBox(toQString("从机使用动态设备地址"), dynamicGroup);
    m_noComm = new QCheckBox(toQString("从机设备地址为0时不通讯"), dynamicGroup);
    dynamic->addRow(m_dynamic);
    dynamic->addRow(m_noComm);
    dynamic->addRow(m_labels[AddressOffset], m_edits[AddressOffset]);
    layout->addWidget(dynamicGroup);

    auto* starts = new QFormLayout;
    starts->addRow(m_labels[HmiStart], m_edits[HmiStart]);
    starts->addRow(m_labels[RegisterStart], m_edits[RegisterStart]);
    layout->addLayout(starts);

    m_advanced = new QPushButton(toQString("高级设置...."), this);
    layout->addWidget(m_advanced);
    layout->addWidget(OkCancel(this));
    connect(m_advanced, &QPushButton::clicked, this, [this] {
        if (onAdvanced)
            onAdvanced();
    });
    connect(m_dynamic, &QCheckBox::toggled, this, [this] { ApplyView(); });

    ShowNumbers(m_edits, values.values);
    m_noComm->setChecked(values.noCommAtSlaveZero);
    m_dynamic->setChecked(values.dynamicSlaveAddress);
    ApplyView();
}

void CDlgOtherSet::ApplyView()
{
    const OtherSettingsView view = ViewOfOther(m_protocol, m_dynamic->isChecked());
    m_timeGroup->setVisible(view.timesVisible);
    m_advanced->setVisible(view.timesVisible);
    m_edits[AckDelay]->setEnabled(view.ackEnabled);
    for (QWidget* w : {static_cast<QWidget*>(m_labels[AddressOffset]), static_cast<QWidget*>(m_edits[AddressOffset]),
                       static_cast<QWidget*>(m_noComm)})
        w->setVisible(view.dynamicOptionsVisible);
    for (int f : {HmiStart, RegisterStart}) {
        m_labels[f]->setVisible(view.startAddressesVisible);
        m_edits[f]->setVisible(view.startAddressesVisible);
    }
}

OtherSettings CDlgOtherSet::Values() const
{
    OtherSettings out;
    ReadNumbers(m_edits, out.values);
    out.noCommAtSlaveZero = m_noComm->isChecked();
    out.dynamicSlaveAddress = m_dynamic->isChecked();
    return out;
}

void CDlgOtherSet::accept()
{
    if (const auto refusal = CheckOther(Values(), m_protocol)) {
        ShowFieldRefusal(*refusal, m_edits[static_cast<std::size_t>(refusal->field)], showMessage);
        return;
    }
    QDialog::accept();
}

CDlgHmiVarCopySet::CDlgHmiVarCopySet(const CopySettings& values, int firstFreeVarByte, QWidget* parent)
    : QDialog(parent), showMessage(WarningBoxOver(this)), m_firstFreeVarByte(firstFreeVarByte)
{
    setWindowTitle(toQString("HMI变量拷贝设置"));
    const std::span<const NumberField> fields = CopyFields();
    for (std::size_t i = 0; i < m_edits.size(); ++i)
        m_edits[i] = NumberEdit(this);
    auto* layout = new QVBoxLayout(this);

    auto* basic = new QGroupBox(toQString("基本设置（必填）"), this);
    auto* basicForm = new QFormLayout(basic);
    basicForm->addRow(toQString(fields[CopyLocalAddress].labelGbk), m_edits[CopyLocalAddress]);
    basicForm->addRow(new QLabel(toQString("本机地址为0时表示是主机"), basic));
    layout->addWidget(basic);

    auto* advanced = new QGroupBox(toQString("高级设置（选填）"), this);
    auto* advancedForm = new QFormLayout(advanced);
    m_independent = new QCheckBox(toQString("本机m_HuaMian和m_ChildWindow两个变量独立控制"), advanced);
    m_custom = new QCheckBox(toQString("自定义拷贝起址和拷贝长度"), advanced);
    advancedForm->addRow(m_independent);
    advancedForm->addRow(m_custom);
    advancedForm->addRow(toQString(fields[CopyStart].labelGbk), m_edits[CopyStart]);
    auto* countRow = new QHBoxLayout;
    countRow->addWidget(m_edits[CopyCount]);
    countRow->addWidget(new QLabel(toQString("(最小：1，最大：65535)"), advanced));
    advancedForm->addRow(toQString(fields[CopyCount].labelGbk), countRow);
    auto* intervalRow = new QHBoxLayout;
    intervalRow->addWidget(m_edits[CopyInterval]);
    intervalRow->addWidget(new QLabel(toQString("毫秒(最小：50，最大：50000)"), advanced));
    advancedForm->addRow(toQString(fields[CopyInterval].labelGbk), intervalRow);
    layout->addWidget(advanced);
    layout->addWidget(OkCancel(this));

    ShowNumbers(m_edits, values.values);
    m_independent->setChecked(values.independentScreens);
    m_custom->setChecked(values.customRange);
    connect(m_custom, &QCheckBox::toggled, this, [this] { ApplyRangeRule(); });
    ApplyRangeRule();
}

void CDlgHmiVarCopySet::ApplyRangeRule()
{
    CopySettings now = Values();
    ApplyCopyRangeRule(now, m_firstFreeVarByte);
    // With the check clear the range follows the used memory; set, it keeps what was typed.
    if (!now.customRange) {
        m_edits[CopyStart]->setText(QString::number(now.values[CopyStart]));
        m_edits[CopyCount]->setText(QString::number(now.values[CopyCount]));
    }
    m_edits[CopyStart]->setEnabled(now.customRange);
    m_edits[CopyCount]->setEnabled(now.customRange);
}

CopySettings CDlgHmiVarCopySet::Values() const
{
    CopySettings out;
    ReadNumbers(m_edits, out.values);
    out.independentScreens = m_independent->isChecked();
    out.customRange = m_custom->isChecked();
    return out;
}

void CDlgHmiVarCopySet::accept()
{
    if (const auto refusal = CheckCopy(Values())) {
        ShowFieldRefusal(*refusal, m_edits[static_cast<std::size_t>(refusal->field)], showMessage);
        return;
    }
    QDialog::accept();
}

} // namespace qv
