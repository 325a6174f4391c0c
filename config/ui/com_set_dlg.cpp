#include "config/ui/com_set_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "model/app/editor_app.h"
#include "model/document/draw_doc.h"
#include "platform/qt/digits_validator.h"
#include "platform/qt/qtext.h"
#include "platform/serial/line_settings.h"
#include "config/settings/other_settings.h"
#include "config/settings/project_properties.h"
#include "config/settings/protocol_numbers.h"
#include "config/ui/number_fields.h"
#include "config/ui/other_settings_dlg.h"
#include "config/ui/plc_map_dlg.h"

namespace qv {
namespace {

QComboBox* Combo(std::initializer_list<const char*> texts, QWidget* parent)
{
    auto* c = new QComboBox(parent);
    for (const char* t : texts)
        c->addItem(toQString(t));
    return c;
}

QSpinBox* Spin(int low, int high, QWidget* parent)
{
    auto* s = new QSpinBox(parent);
    s->setRange(low, high);
    return s;
}

// "COM1".."COM9" gives 1..9; the list offers COM1..COM4.
constexpr int kListedPorts = 4;

struct PanelCheck {
    std::size_t offset;
    const char* textGbk;
};
constexpr std::array<PanelCheck, 2> kPanelChecks{{
    {settings_page::kNoPowerUpCalibration, "禁止上电5秒检测校准"},
    {settings_page::kIdleReturnOn, "当长时间没有操作屏幕的时候自动返回指定画面"},
}};

// Colour depth, FLASH size, mouse mode and update-check layers: their visible editor is the
// compile confirmation, so the page holds them in hidden combos and passes them through.
struct HiddenCombo {
    std::size_t offset;
    int choices;
};
constexpr std::array<HiddenCombo, 4> kHiddenCombos{{{71, 4}, {70, 10}, {68, 3}, {84, 3}}};

const QString kConnectText = QString::fromUtf8(u8"连接");
const QString kDisconnectText = QString::fromUtf8(u8"断开");

} // namespace

CDlgCOMSET::CDlgCOMSET(settings_page::ComSetPage page, int firstFreeVarByte, std::array<bool, 2> connected,
                       QWidget* parent)
    : QDialog(parent), m_page(std::move(page)), m_firstFreeVarByte(firstFreeVarByte), m_connected(connected)
{
    setWindowTitle(toQString("工程属性"));
    showMessage = WarningBoxOver(this);
    confirmRescale = [this](const QString& text) {
        return QMessageBox::question(this, windowTitle(), text, QMessageBox::Yes | QMessageBox::Cancel,
                                     QMessageBox::Cancel) == QMessageBox::Yes;
    };
    m_openedWidth = m_page.width;
    m_openedHeight = m_page.height;
    auto* layout = new QVBoxLayout(this);
    auto* portsRow = new QHBoxLayout;
    for (std::size_t i = 0; i < 2; ++i) {
        PortControls& c = m_ports[i];
        auto* box = new QGroupBox(toQString(i == 0 ? "串口1" : "串口2"), this);
        auto* form = new QFormLayout(box);
        c.com = new QComboBox(box);
        for (int n = 1; n <= kListedPorts; ++n)
            c.com->addItem(QString::fromUtf8(u8"COM") + QString::number(n));
        c.baud = new QLineEdit(box);
        c.baud->setValidator(DigitsValidator(kMinBaud, kMaxBaud, c.baud));
        c.dataBits = Combo({"8位", "7位"}, box);
        c.stopBits = Combo({"1位", "2位"}, box);
        c.parity = Combo({"无", "奇", "偶"}, box);
        c.protocol = new QComboBox(box);
        for (const auto& p : protocol::AllProtocols())
            c.protocol->addItem(toQString(p.listText));
        c.lengthLabel = new QLabel(toQString("最大长度(字节):"), box);
        c.length = Spin(0, 65536, box);
        c.addressLabel = new QLabel(toQString("设备地址:"), box);
        c.address = Spin(0, 65535, box);
        c.other = new QPushButton(toQString(i == 0 ? "其它设置...." : "其他设置...."), box);
        c.connect = new QPushButton(kConnectText, box);
        form->addRow(toQString("串口"), c.com);
        form->addRow(toQString("波特率"), c.baud);
        form->addRow(toQString("数据位"), c.dataBits);
        form->addRow(toQString("停止位"), c.stopBits);
        form->addRow(toQString("校验"), c.parity);
        form->addRow(toQString("解码协议:"), c.protocol);
        form->addRow(c.lengthLabel, c.length);
        form->addRow(c.addressLabel, c.address);
        form->addRow(c.other);
        form->addRow(c.connect);
        portsRow->addWidget(box);
        const int index = static_cast<int>(i);
        connect(c.protocol, &QComboBox::currentIndexChanged, this, [this, index] { OnProtocolChanged(index); });
        connect(c.connect, &QPushButton::clicked, this, [this, index] { OnConnect(index); });
        connect(c.other, &QPushButton::clicked, this, [this, index] {
            if (!onOtherSettings)
                return;
            m_page = Page();
            onOtherSettings(index, m_page);
            ShowPage();
        });
    }
    layout->addLayout(portsRow);

    auto* shared = new QFormLayout;
    m_width = Spin(1, 4096, this);
    m_height = Spin(1, 4096, this);
    auto* resolution = new QHBoxLayout;
    resolution->addWidget(m_width);
    resolution->addWidget(new QLabel(QString::fromUtf8(u8"X"), this));
    resolution->addWidget(m_height);
    shared->addRow(toQString("分辨率（宽X高）:"), resolution);
    auto* path = new QLineEdit(toQString(m_page.projectPath), this);
    path->setReadOnly(true);
    shared->addRow(toQString("工程路径:"), path);
    const auto numbers = settings_page::PanelNumbers();
    for (std::size_t i = 0; i < m_numbers.size(); ++i) {
        m_numbers[i] = NumberEdit(this);
        m_numberLabels[i] = new QLabel(toQString(numbers[i].field.labelGbk), this);
    }
    shared->addRow(m_numberLabels[0], m_numbers[0]);
    for (std::size_t i = 0; i < m_checks.size(); ++i)
        m_checks[i] = new QCheckBox(toQString(kPanelChecks[i].textGbk), this);
    shared->addRow(m_checks[0]);
    const char* uploadTexts[] = {"自动上传鼠标位置及按键信息给用户", "自动上传鼠标按键信息给用户", "HMI被修改时自动上传给用户"};
    for (std::size_t i = 0; i < m_upload.size(); ++i) {
        m_upload[i] = new QCheckBox(toQString(uploadTexts[i]), this);
        shared->addRow(m_upload[i]);
    }
    shared->addRow(m_checks[1]);
    auto* idleRow = new QHBoxLayout;
    for (std::size_t i = 1; i < m_numbers.size(); ++i) {
        idleRow->addWidget(m_numberLabels[i]);
        idleRow->addWidget(m_numbers[i]);
    }
    shared->addRow(idleRow);
    connect(m_checks[1], &QCheckBox::toggled, this, [this] { ApplyView(); });
    for (std::size_t i = 0; i < m_hidden.size(); ++i) {
        m_hidden[i] = new QComboBox(this);
        for (int n = 0; n < kHiddenCombos[i].choices; ++n)
            m_hidden[i]->addItem(QString::number(n));
        m_hidden[i]->hide();
    }
    layout->addLayout(shared);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    ShowPage();
    RememberShown();
    for (int i = 0; i < 2; ++i)
        ShowConnected(i);
}

void CDlgCOMSET::ShowPage()
{
    for (std::size_t i = 0; i < 2; ++i) {
        const settings_page::PortFields& p = m_page.ports[i];
        PortControls& c = m_ports[i];
        QSignalBlocker block(c.protocol);
        const QString com = QString::fromUtf8(u8"COM") + QString::number(p.com);
        if (c.com->findText(com) < 0)
            c.com->addItem(com);
        c.com->setCurrentText(com);
        c.baud->setText(QString::number(p.baud));
        c.dataBits->setCurrentIndex(p.dataBits);
        c.stopBits->setCurrentIndex(p.stopBits);
        c.parity->setCurrentIndex(p.parity);
        c.protocol->setCurrentIndex(p.protocol);
        c.length->setValue(p.length);
        c.address->setValue(p.deviceAddress);
    }
    m_width->setValue(m_page.width);
    m_height->setValue(m_page.height);
    m_upload[0]->setChecked(m_page.uploadMouseAndKeys);
    m_upload[1]->setChecked(m_page.uploadKeys);
    m_upload[2]->setChecked(m_page.uploadOnHmiChange);
    const auto numbers = settings_page::PanelNumbers();
    for (std::size_t i = 0; i < m_numbers.size(); ++i)
        m_numbers[i]->setText(QString::number(m_page.SharedValue(numbers[i].offset)));
    for (std::size_t i = 0; i < m_checks.size(); ++i) {
        QSignalBlocker block(m_checks[i]);
        m_checks[i]->setChecked(m_page.SharedValue(kPanelChecks[i].offset) != 0);
    }
    for (std::size_t i = 0; i < m_hidden.size(); ++i)
        m_hidden[i]->setCurrentIndex(m_page.SharedValue(kHiddenCombos[i].offset));
    ApplyView();
}

void CDlgCOMSET::RememberShown()
{
    // Once, as loaded: a field the user edited stays an edit (and is checked) however often
    // the page is shown again after a protocol change.
    for (std::size_t i = 0; i < m_numbers.size(); ++i)
        m_shownNumbers[i] = m_numbers[i]->text();
    for (std::size_t i = 0; i < m_checks.size(); ++i)
        m_shownChecks[i] = m_checks[i]->isChecked();
    for (std::size_t i = 0; i < m_hidden.size(); ++i)
        m_shownHidden[i] = m_hidden[i]->currentIndex();
}

settings_page::ComSetPage CDlgCOMSET::Page() const
{
    settings_page::ComSetPage page = m_page;
    for (std::size_t i = 0; i < 2; ++i) {
        settings_page::PortFields& p = page.ports[i];
        const PortControls& c = m_ports[i];
        p.com = c.com->currentText().mid(3).toInt();
        p.baud = c.baud->text().toInt();
        p.dataBits = c.dataBits->currentIndex();
        p.stopBits = c.stopBits->currentIndex();
        p.parity = c.parity->currentIndex();
        p.protocol = c.protocol->currentIndex();
        p.length = c.length->value();
        p.deviceAddress = c.address->value();
    }
    page.width = m_width->value();
    page.height = m_height->value();
    page.uploadMouseAndKeys = m_upload[0]->isChecked();
    page.uploadKeys = m_upload[1]->isChecked();
    page.uploadOnHmiChange = m_upload[2]->isChecked();
    const auto numbers = settings_page::PanelNumbers();
    for (std::size_t i = 0; i < m_numbers.size(); ++i)
        if (m_numbers[i]->text() != m_shownNumbers[i])
            page.shared[numbers[i].offset] = NumberOf(m_numbers[i]);
    for (std::size_t i = 0; i < m_checks.size(); ++i)
        if (m_checks[i]->isChecked() != m_shownChecks[i])
            page.shared[kPanelChecks[i].offset] = m_checks[i]->isChecked() ? 1 : 0;
    for (std::size_t i = 0; i < m_hidden.size(); ++i)
        if (m_hidden[i]->currentIndex() != m_shownHidden[i])
            page.shared[kHiddenCombos[i].offset] = m_hidden[i]->currentIndex();
    return page;
}

void CDlgCOMSET::accept()
{
    std::array<int, 3> values{};
    std::array<bool, 3> changed{};
    for (std::size_t i = 0; i < m_numbers.size(); ++i) {
        values[i] = NumberOf(m_numbers[i]);
        changed[i] = m_numbers[i]->text() != m_shownNumbers[i];
    }
    if (const auto refusal = settings_page::CheckPanelNumbers(values, changed)) {
        ShowFieldRefusal(*refusal, m_numbers[static_cast<std::size_t>(refusal->field)], showMessage);
        return;
    }
    if (const auto refusal = settings_page::CheckPortNumbers(Page())) {
        PortControls& c = m_ports[static_cast<std::size_t>(refusal->field / settings_page::PortNumberCount)];
        const bool baud = refusal->field % settings_page::PortNumberCount == settings_page::Baud;
        ShowFieldRefusal(*refusal, baud ? c.baud : nullptr, showMessage);
        if (!baud)
            c.address->setFocus();
        return;
    }
    const settings_page::ComSetPage page = Page();
    if (const auto refusal = settings_page::CheckAcceptRules(page)) {
        showMessage(toQString(*refusal));
        return;
    }
    if ((page.width != m_openedWidth || page.height != m_openedHeight) && confirmRescale &&
        !confirmRescale(QString::fromUtf8(u8"分辨率由%1X%2改为%3X%4：每个窗口中的对象将按新的分辨率缩放并立即保存，"
                                          u8"此操作不能撤销。是否继续？")
                            .arg(m_openedWidth)
                            .arg(m_openedHeight)
                            .arg(page.width)
                            .arg(page.height)))
        return;
    QDialog::accept();
}

void CDlgCOMSET::OnProtocolChanged(int index)
{
    m_page = Page();
    settings_page::OnProtocolChanged(m_page, index, m_firstFreeVarByte);
    ShowPage();
}

void CDlgCOMSET::OnConnect(int index)
{
    const auto i = static_cast<std::size_t>(index);
    if (m_connected[i]) {
        if (onDisconnect)
            onDisconnect(index);
        m_connected[i] = false;
    } else {
        if (!onConnect)
            return;
        std::string why;
        if (!onConnect(index, Page(), &why)) {
            QString text = toQString("未发现串口!!!");
            if (!why.empty())
                text += QStringLiteral("\n") + QString::fromUtf8(why.c_str());
            showMessage(text);
            return;
        }
        m_connected[i] = true;
    }
    ShowConnected(index);
}

void CDlgCOMSET::ShowConnected(int index)
{
    const PortControls& c = m_ports[static_cast<std::size_t>(index)];
    const bool connected = m_connected[static_cast<std::size_t>(index)];
    c.connect->setText(connected ? kDisconnectText : kConnectText);
    // A linked port keeps the line it was opened on.
    for (QWidget* w : {static_cast<QWidget*>(c.com), static_cast<QWidget*>(c.baud), static_cast<QWidget*>(c.dataBits),
                       static_cast<QWidget*>(c.stopBits), static_cast<QWidget*>(c.parity)})
        w->setEnabled(!connected);
}

void CDlgCOMSET::ApplyView()
{
    const settings_page::PageView view = settings_page::ViewOf(m_page);
    for (std::size_t i = 0; i < 2; ++i) {
        const PortControls& c = m_ports[i];
        const settings_page::PortView& v = view.ports[i];
        c.lengthLabel->setVisible(v.lengthVisible);
        c.length->setVisible(v.lengthVisible);
        c.other->setVisible(v.lengthVisible);
        c.length->setEnabled(v.lengthEnabled);
        c.addressLabel->setVisible(v.deviceAddressVisible);
        c.address->setVisible(v.deviceAddressVisible);
    }
    for (QCheckBox* check : m_upload)
        check->setVisible(view.autoUploadVisible);
    const bool idle = m_checks[1]->isChecked();
    for (std::size_t i = 1; i < m_numbers.size(); ++i) {
        m_numbers[i]->setVisible(idle);
        m_numberLabels[i]->setVisible(idle);
    }
}

void OnProjectProperties(CEditorApp& app, QWidget* parent)
{
    settings_page::ComSetPage page;
    CDrawDoc* doc = app.ProjectDoc();
    if (!doc || !settings_page::LoadFromProject(app, page))
        return;
    const int firstFree = settings_page::FirstFreeVarByte(app);
    CDlgCOMSET dlg(std::move(page), firstFree, {doc->IsSerialPortConnected(0), doc->IsSerialPortConnected(1)}, parent);
    dlg.onConnect = [doc](int port, const settings_page::ComSetPage& p, std::string* why) {
        return settings_page::ConnectPagePort(*doc, p, port, why);
    };
    dlg.onDisconnect = [doc](int port) { doc->DisconnectSerialPort(port); };
    dlg.onOtherSettings = [&app, &dlg, firstFree](int port, settings_page::ComSetPage& p) {
        const int number = p.ports[static_cast<std::size_t>(port)].protocol;
        if (number == protocol::HmiVarCopy) {
            CDlgHmiVarCopySet copy(settings_page::LoadCopy(p, firstFree), firstFree, &dlg);
            if (copy.exec() == QDialog::Accepted)
                settings_page::StoreCopy(p, port, copy.Values());
            return;
        }
        CDlgOtherSet other(number, port + 1, settings_page::LoadOther(p, port), &dlg);
        other.onAdvanced = [&app, &other, port, number] {
            CDlgPlcMap map(&app, app.m_strProjectDir, port + 1, number, &other);
            map.exec();
        };
        if (other.exec() == QDialog::Accepted)
            settings_page::StoreOther(p, port, other.Values());
    };
    if (dlg.exec() != QDialog::Accepted)
        return;
    const settings_page::CommitResult result = settings_page::ApplyToProject(app, dlg.Page());
    if (result.refusal)
        dlg.showMessage(toQString(*result.refusal));
    else if (result.touchNote)
        dlg.showMessage(toQString(*result.touchNote));
}

} // namespace qv
