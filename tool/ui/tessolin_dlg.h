#pragma once
// The tool's one dialog: the picture list of the scanned folder, the download list in panel
// order, a preview, the transport and network fields, the downloads and the abort. While a
// download runs the dialog is locked: only the abort acts and every way of closing is
// refused. The worker reaches the widgets only by queued calls.
#include "platform/usb/usb_host.h"
#include "tool/link/udp_tool_link.h"

#include <QDialog>
#include <array>
#include <map>
#include <atomic>
#include <filesystem>
#include <memory>
#include <thread>

class QComboBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QGroupBox;

namespace qv::tool {

struct TessolinServices {
    std::filesystem::path folder;          // the tool's folder: "Pic", "zk", "pic.h"
    usb::UsbHost* usbHost = nullptr;       // the panels on USB
    std::uint16_t localPort = 8080;        // the PC port the dialog starts with
    UdpOptions udp;
};

class CTessolinDlg final : public QDialog {
    Q_OBJECT
public:
    explicit CTessolinDlg(TessolinServices services, QWidget* parent = nullptr);
    ~CTessolinDlg() override;

    void scanFolder(const std::filesystem::path& folder);
    bool busy() const { return busy_; }
    void setPanelAddress(const UdpAddress& panel, std::uint16_t localPort);
    void setTransport(int index); // 0 USB, 1 network

    // The controls, for the dialog's own tests.
    QListWidget* pictureList() const { return pictures_; }
    QListWidget* downloadList() const { return downloads_; }
    QPushButton* button(int id) const;
    QGroupBox* previewGroup() const { return previewBox_; }
    QLabel* statusLabel() const { return status_; }

    void onDownloadPictures();
    void lockControls();
    void unlockControls();

signals:
    void downloadEnded();
    void messageShown(const QString& text);

public:
    // Every way of closing is refused while a download runs.
    void reject() override;
    void done(int r) override;

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void showPreview(QListWidget* list);
    void refreshRemoveButtons();
    void message(const std::string& gbk);
    void finishWorker();

    TessolinServices services_;
    QListWidget* pictures_ = nullptr;
    QListWidget* downloads_ = nullptr;
    QLabel* preview_ = nullptr;
    QGroupBox* previewBox_ = nullptr;
    QLabel* status_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QComboBox* transport_ = nullptr;
    QComboBox* flash_ = nullptr;
    QComboBox* baud_ = nullptr;
    std::array<QSpinBox*, 4> ip_{};
    QSpinBox* panelPort_ = nullptr;
    QSpinBox* pcPort_ = nullptr;
    std::map<int, QPushButton*> buttons_;
    bool busy_ = false;
    std::atomic<bool> abort_{false};
    std::thread worker_;
};

} // namespace qv::tool
