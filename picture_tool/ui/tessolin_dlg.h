#pragma once
// The tool's one dialog: the picture list of the scanned folder, the download list in panel
// order, a preview, the transport and network fields, the downloads and the abort. While a
// download runs the dialog is locked: only the abort acts and every way of closing is
// refused. The worker reaches the widgets only by queued calls.
#include "platform/usb/usb_host.h"
#include "picture_tool/download/download_report.h"
#include "picture_tool/fonts/font_download.h"
#include "picture_tool/link/udp_tool_link.h"

#include <QDialog>
#include <array>
#include <map>
#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <thread>

class QComboBox;
class QLabel;
class QListWidget;
class QMenu;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QGroupBox;

namespace qv::picture_tool {

struct TessolinServices {
    std::filesystem::path folder;          // the tool's folder: "Pic", "zk", "pic.h"
    usb::UsbHost* usbHost = nullptr;       // the panels on USB
    std::uint16_t localPort = 8080;        // the PC port the dialog starts with
    UdpOptions udp;
    std::function<void(const std::filesystem::path&)> playSound; // the instruction test's waves
};

class CInstrSimDlg;
class UsbToolLink;

// Selects the status text: the listed picture or the font file in flight.
enum class DownloadKind { Pictures, Fonts };

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
    QComboBox* flashChoice() const { return flash_; }
    // What the window menu of the title bar offers elsewhere: a right click on the dialog
    // opens it. Its about entry carries the command number 16.
    QMenu* systemMenu() const { return systemMenu_; }
    static constexpr int kAboutCommand = 16;

    void onDownloadPictures();
    void onDownloadFonts();
    void onPack();
    void onDownloadPacked();
    void onInstructions();
    void lockControls();

    // What the dialog asks of the user; tests replace them. The font choice: the ticked
    // boxes, nullopt when cancelled. The instruction test: runs the dialog (modally when unset).
    std::function<std::optional<std::set<int>>(const FontSelection& previous, bool massProduction)> chooseFontBoxes;
    std::function<void(CInstrSimDlg&)> runInstructions;
    const FontSelection& fontSelection() const { return fonts_; }
    void unlockControls();

signals:
    void downloadEnded();
    void messageShown(const QString& text);
    void fileOpened(const std::filesystem::path& file);

public:
    // Every way of closing is refused while a download runs.
    void reject() override;
    void done(int r) override;

protected:
    void closeEvent(QCloseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    void showPreview(QListWidget* list);
    void refreshRemoveButtons();
    void message(const std::string& gbk);
    void finishWorker();
    std::vector<std::string> listedPaths() const;
    std::optional<std::set<int>> askFonts(bool massProduction);
    // Locks the dialog and runs `body` on the worker thread; the end unlocks.
    void startWorker(DownloadKind kind, std::function<void(DownloadReport&, TransferContext&)> body);
    void overUsb(DownloadReport& report, TransferContext& context, const std::function<void(UsbToolLink&)>& run);

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
    QMenu* systemMenu_ = nullptr;
    FontSelection fonts_; // kept for the run: the choice shows it again
    bool busy_ = false;
    std::atomic<bool> abort_{false};
    std::thread worker_;
};

} // namespace qv::picture_tool
