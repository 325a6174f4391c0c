#pragma once
// "设备选择": one entry per listed panel; every change of the choice is the list's selection
// at once, and closing the dialog keeps it. There is no cancel.
#include "model/app/usb_device_list.h"

#include <QDialog>

class QComboBox;

class CDlgDeviceSelect : public QDialog {
    Q_OBJECT
public:
    explicit CDlgDeviceSelect(qv::UsbDeviceList& list, QWidget* parent = nullptr);
    QComboBox* deviceCombo() const { return combo_; } // control 1716

    // "01号设备(自定义类驱动)" for vendor-driver entries, "02号设备(免驱动)" for the others.
    static QString EntryText(int index, qv::usb::UsbKind kind);

private:
    qv::UsbDeviceList& list_;
    QComboBox* combo_ = nullptr;
};

// Runs the dialog over `list` (the scans' choice when two or more panels are found).
void ChooseUsbDevice(qv::UsbDeviceList& list, QWidget* parent);
