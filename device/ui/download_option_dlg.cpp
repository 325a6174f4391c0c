#include "device/ui/download_option_dlg.h"

#include "device/ui/device_select_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QString u8text(const char8_t* s) { return QString::fromUtf8(reinterpret_cast<const char*>(s)); }

} // namespace

QSpinBox* CDlgDownloadOption::spin(int minimum, int maximum, int value)
{
    auto* box = new QSpinBox;
    box->setRange(minimum, maximum);
    box->setValue(value);
    return box;
}

CDlgDownloadOption::CDlgDownloadOption(const qv::device::DownloadOptionValues& preset, qv::UsbDeviceList& list,
                                       std::function<void()> rescan, const QString& userCodeFile, QWidget* parent)
    : QDialog(parent), values_(preset), list_(list)
{
    setWindowTitle(u8text(u8"下载选项"));
    refuse = [this](const QString& text) { QMessageBox::warning(this, windowTitle(), text); };
    if (rescan)
        rescan();
    auto* layout = new QVBoxLayout(this);
    whole_ = new QRadioButton(u8text(u8"下载整个工程包括MC8051单片机代码"));
    codeOnly_ = new QRadioButton(u8text(u8"仅下载MC8051单片机代码"));
    (values_.choice == 1 ? codeOnly_ : whole_)->setChecked(true);
    layout->addWidget(whole_);
    layout->addWidget(codeOnly_);

    auto* form = new QFormLayout;
    combo_ = new QComboBox;
    combo_->setObjectName(QStringLiteral("1715"));
    const qv::UsbDeviceList::Snapshot s = list_.Get();
    for (int i = 0; i < static_cast<int>(s.devices.size()); ++i)
        combo_->addItem(CDlgDeviceSelect::EntryText(i, s.kindAt(i)));
    combo_->setCurrentIndex(s.selected);
    connect(combo_, &QComboBox::currentIndexChanged, this, [this](int index) { list_.Select(index); });
    form->addRow(u8text(u8"目标设备："), combo_);
    reset_ = new QCheckBox(u8text(u8"下载完后复位下位机硬件"));
    reset_->setChecked(values_.resetAfter);
    form->addRow(reset_);
    codeFile_ = new QLineEdit(userCodeFile);
    codeFile_->setReadOnly(true);
    form->addRow(codeFile_);

    // One row of byte fields (an address) with its label; both belong to the network group.
    const auto byteRow = [&](const char8_t* label, auto& fields, const auto& bytes) {
        auto* row = new QWidget;
        auto* h = new QHBoxLayout(row);
        h->setContentsMargins(0, 0, 0, 0);
        for (std::uint8_t b : bytes) {
            fields.push_back(spin(0, 255, b));
            h->addWidget(fields.back());
        }
        auto* caption = new QLabel(u8text(label));
        form->addRow(caption, row);
        network_.push_back(caption);
        network_.push_back(row);
    };
    const auto numberRow = [&](const char8_t* label, QSpinBox* box) {
        auto* caption = new QLabel(u8text(label));
        form->addRow(caption, box);
        network_.push_back(caption);
        network_.push_back(box);
        return box;
    };
    byteRow(u8"MAC地址:", mac_, values_.mac);
    localPort_ = numberRow(u8"本地端口:", spin(0, 65535, values_.localPort));
    byteRow(u8"下位机IP地址:", panelIp_, values_.panelIp);
    byteRow(u8"子网掩码:", mask_, values_.mask);
    byteRow(u8"默认网关:", gateway_, values_.gateway);
    byteRow(u8"服务器IP地址:", serverIp_, values_.serverIp);
    serverPort_ = numberRow(u8"服务器端口:", spin(0, 65535, values_.serverPort));
    handshake_ = numberRow(u8"握手周期:", spin(1, 65535, values_.handshake));
    handshake_->setSuffix(u8text(u8" 秒"));
    name_ = new QLineEdit(QString::fromLatin1(values_.machineName.c_str()));
    name_->setObjectName(QStringLiteral("1617"));
    auto* nameLabel = new QLabel(u8text(u8"机器名:"));
    form->addRow(nameLabel, name_);
    network_.push_back(nameLabel);
    network_.push_back(name_);
    layout->addLayout(form);

    ethernet_ = new QCheckBox(u8text(u8"设置下位机以太网"));
    ethernet_->setChecked(values_.setEthernet);
    connect(ethernet_, &QCheckBox::toggled, this, [this] { applyVisibility(); });
    layout->addWidget(ethernet_);
    resolution_ = new QCheckBox(u8text(u8"工程分辨率与下位机硬件分辨率一致方能下载"));
    resolution_->setChecked(values_.resolutionMustMatch);
    layout->addWidget(resolution_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDlgDownloadOption::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    applyVisibility();
}

void CDlgDownloadOption::applyVisibility()
{
    const bool shown = ethernet_->isChecked();
    for (QWidget* w : network_)
        w->setVisible(shown);
}

void CDlgDownloadOption::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (values_.selfConfirm && !confirmed_) {
        confirmed_ = true;
        QTimer::singleShot(0, this, [this] { accept(); });
    }
}

qv::device::DownloadOptionValues CDlgDownloadOption::values() const
{
    qv::device::DownloadOptionValues v = values_;
    v.choice = codeOnly_->isChecked() ? 1 : 0;
    v.resetAfter = reset_->isChecked();
    const auto bytes = [](const std::vector<QSpinBox*>& fields, auto& out) {
        for (std::size_t i = 0; i < out.size(); ++i)
            out[i] = static_cast<std::uint8_t>(fields[i]->value());
    };
    bytes(mac_, v.mac);
    bytes(panelIp_, v.panelIp);
    bytes(mask_, v.mask);
    bytes(gateway_, v.gateway);
    bytes(serverIp_, v.serverIp);
    v.localPort = localPort_->value();
    v.serverPort = serverPort_->value();
    v.handshake = handshake_->value();
    v.setEthernet = ethernet_->isChecked();
    const QByteArray name = name_->text().toUtf8();
    v.machineName.assign(name.constData(), static_cast<std::size_t>(name.size()));
    v.resolutionMustMatch = resolution_->isChecked();
    return v;
}

void CDlgDownloadOption::accept()
{
    switch (qv::device::checkMachineName(values().machineName)) {
    case qv::device::MachineNameProblem::TooLong: refuse(u8text(u8"下位机机器名不能大于15个字符")); return;
    case qv::device::MachineNameProblem::NotAscii: refuse(u8text(u8"下位机机器名只能使用英文字母、数字和符号")); return;
    case qv::device::MachineNameProblem::None: break;
    }
    QDialog::accept();
}
