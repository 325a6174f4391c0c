#include "vars/ui/com_set_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "model/app/editor_app.h"
#include "model/document/draw_doc.h"
#include "platform/qt/qtext.h"
#include "vars/settings/project_properties.h"
#include "vars/settings/protocol_numbers.h"
#include "vars/ui/plc_map_dlg.h"

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

} // namespace

CDlgCOMSET::CDlgCOMSET(settings_page::ComSetPage page, int firstFreeVarByte, QWidget* parent)
    : QDialog(parent), m_page(std::move(page)), m_firstFreeVarByte(firstFreeVarByte)
{
    setWindowTitle(toQString("工程属性"));
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
        c.baud->setValidator(new QIntValidator(1, 4000000, c.baud));
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
        form->addRow(toQString("串口"), c.com);
        form->addRow(toQString("波特率"), c.baud);
        form->addRow(toQString("数据位"), c.dataBits);
        form->addRow(toQString("停止位"), c.stopBits);
        form->addRow(toQString("校验"), c.parity);
        form->addRow(toQString("解码协议:"), c.protocol);
        form->addRow(c.lengthLabel, c.length);
        form->addRow(c.addressLabel, c.address);
        form->addRow(c.other);
        portsRow->addWidget(box);
        const int index = static_cast<int>(i);
        connect(c.protocol, &QComboBox::currentIndexChanged, this, [this, index] { OnProtocolChanged(index); });
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
    const char* uploadTexts[] = {"自动上传鼠标位置及按键信息给用户", "自动上传鼠标按键信息给用户", "HMI被修改时自动上传给用户"};
    for (std::size_t i = 0; i < m_upload.size(); ++i) {
        m_upload[i] = new QCheckBox(toQString(uploadTexts[i]), this);
        shared->addRow(m_upload[i]);
    }
    layout->addLayout(shared);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    ShowPage();
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
    ApplyView();
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
    return page;
}

void CDlgCOMSET::OnProtocolChanged(int index)
{
    m_page = Page();
    settings_page::OnProtocolChanged(m_page, index, m_firstFreeVarByte);
    ShowPage();
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
}

void OnProjectProperties(CEditorApp& app, QWidget* parent)
{
    settings_page::ComSetPage page;
    if (!settings_page::LoadFromProject(app, page))
        return;
    CDlgCOMSET dlg(std::move(page), settings_page::FirstFreeVarByte(app), parent);
    dlg.onOtherSettings = [&app, &dlg](int port, settings_page::ComSetPage& p) {
        // The PLC master protocols reach their mapping table from here.
        const int number = p.ports[static_cast<std::size_t>(port)].protocol;
        if (!protocol::IsPlcMaster(number))
            return;
        CDlgPlcMap map(&app, app.m_strProjectDir, port + 1, number, &dlg);
        map.exec();
    };
    if (dlg.exec() != QDialog::Accepted)
        return;
    const settings_page::CommitResult result = settings_page::ApplyToProject(app, dlg.Page());
    if (result.refusal)
        QMessageBox::warning(parent, dlg.windowTitle(), toQString(*result.refusal));
    else if (result.touchNote)
        QMessageBox::warning(parent, dlg.windowTitle(), toQString(*result.touchNote));
}

} // namespace qv
