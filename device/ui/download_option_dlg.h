#pragma once
// "下载选项": what to download, reset afterwards, which panel, the panel's network settings
// and machine name, and whether the resolutions must match. It rescans the panels when it
// opens; a change of the panel is the list's selection at once (kept on cancel). With the
// self-confirming flag it presses its own OK once, right after it is shown.
//
// The machine name shows and hides together with the network group: it is part of what
// "设置下位机以太网" sets (it is validated and sent either way).
#include "device/download/download_options.h"
#include "model/app/usb_device_list.h"

#include <QDialog>

#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;

class CDlgDownloadOption : public QDialog {
    Q_OBJECT
public:
    CDlgDownloadOption(const qv::device::DownloadOptionValues& preset, qv::UsbDeviceList& list,
                       std::function<void()> rescan, const QString& userCodeFile, QWidget* parent = nullptr);

    qv::device::DownloadOptionValues values() const;
    // Shows why OK was refused; a message box unless replaced (tests).
    std::function<void(const QString&)> refuse;

    QComboBox* deviceCombo() const { return combo_; }   // 1715
    QRadioButton* wholeProject() const { return whole_; } // 1390
    QRadioButton* codeOnly() const { return codeOnly_; }  // 1391
    QCheckBox* ethernetBox() const { return ethernet_; }  // 1625
    QLineEdit* machineNameEdit() const { return name_; }  // 1617
    QLineEdit* userCodeEdit() const { return codeFile_; } // 1450
    // The widgets the network rule shows and hides (labels and edits).
    const std::vector<QWidget*>& networkWidgets() const { return network_; }

    void accept() override; // OK: validates the machine name first

protected:
    void showEvent(QShowEvent* event) override;

private:
    void applyVisibility();
    QSpinBox* spin(int minimum, int maximum, int value);

    qv::device::DownloadOptionValues values_;
    qv::UsbDeviceList& list_;
    QRadioButton* whole_ = nullptr;
    QRadioButton* codeOnly_ = nullptr;
    QComboBox* combo_ = nullptr;
    QCheckBox* reset_ = nullptr;
    QLineEdit* codeFile_ = nullptr;
    std::vector<QSpinBox*> mac_, panelIp_, mask_, gateway_, serverIp_;
    QSpinBox* localPort_ = nullptr;
    QSpinBox* serverPort_ = nullptr;
    QSpinBox* handshake_ = nullptr;
    QCheckBox* ethernet_ = nullptr;
    QLineEdit* name_ = nullptr;
    QCheckBox* resolution_ = nullptr;
    std::vector<QWidget*> network_;
    bool confirmed_ = false;
};
