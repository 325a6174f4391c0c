#include "device/ui/device_select_dlg.h"

#include "device/ui/dialog_fit.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CDlgDeviceSelect::CDlgDeviceSelect(qv::UsbDeviceList& list, QWidget* parent) : QDialog(parent), list_(list)
{
    setWindowTitle(QString::fromUtf8(u8"设备选择"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString::fromUtf8(u8"请选择需要操作的设备")));
    combo_ = new QComboBox;
    combo_->setObjectName(QStringLiteral("1716"));
    const qv::UsbDeviceList::Snapshot s = list_.Get();
    for (int i = 0; i < static_cast<int>(s.devices.size()); ++i)
        combo_->addItem(EntryText(i, s.kindAt(i)));
    combo_->setCurrentIndex(s.selected);
    layout->addWidget(combo_);
    auto* ok = new QPushButton(QString::fromUtf8(u8"确定"));
    ok->setDefault(true);
    layout->addWidget(ok);
    connect(combo_, &QComboBox::currentIndexChanged, this, [this](int index) { list_.Select(index); });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    qv::fitTitleAndButtons(*this);
}

QString CDlgDeviceSelect::EntryText(int index, qv::usb::UsbKind kind)
{
    const QString number = QStringLiteral("%1").arg(index + 1, 2, 10, QLatin1Char('0'));
    return number + QString::fromUtf8(kind == qv::usb::UsbKind::EzUsb ? u8"号设备(自定义类驱动)" : u8"号设备(免驱动)");
}

void ChooseUsbDevice(qv::UsbDeviceList& list, QWidget* parent)
{
    CDlgDeviceSelect dialog(list, parent);
    dialog.exec();
}
