#pragma once
// "升级固件": picks a firmware data file from "images\hex\fpga\" and programs the panel's
// FPGA with it on a worker thread. The worker reaches the dialog only through its report
// queue; while it runs only "中止编程" acts, and Esc, Enter and closing are refused.
#include "device/link/wait_clock.h"
#include "device/sound/result_sound.h"
#include "model/app/usb_device_list.h"
#include "platform/report/report_queue.h"
#include "platform/usb/usb_host.h"

#include <QDialog>

#include <atomic>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

class QComboBox;
class QGroupBox;
class QProgressBar;
class QPushButton;

struct FpgaUpdateServices {
    qv::usb::UsbHost* host = nullptr;
    qv::UsbDeviceList* list = nullptr;
    std::filesystem::path baseDir; // the program's current directory
    qv::device::WaitClock* clock = &qv::device::SteadyWaitClock::instance();
    qv::device::ResultSoundPlayer* sound = &qv::device::SilentResultSound::instance();
    // Defaults: a message box, CDlgResultSound; both modal on the dialog's thread.
    std::function<void(const std::string& gbk)> messageBox;
    std::function<void(bool success)> resultDialog;
    // Starts the worker; default std::thread. May throw std::system_error like std::thread.
    std::function<std::thread(std::function<void()>)> startWorker;
};

class CDlgFpgaUpdate : public QDialog {
    Q_OBJECT
public:
    explicit CDlgFpgaUpdate(FpgaUpdateServices services, QWidget* parent = nullptr);
    ~CDlgFpgaUpdate() override;

    // Fills the list with the files of the folder whose names end in "dat" or "vga".
    void ListFpgaFiles();
    void StartFpgaUpdate();
    void OnAbort();
    bool running() const { return worker_.joinable(); }
    std::filesystem::path selectedPath() const;

    QPushButton* startButton() const { return start_; }
    QPushButton* abortButton() const { return abort_; }
    QComboBox* fileCombo() const { return files_; }
    QProgressBar* progressBar() const { return progress_; }
    QGroupBox* stepBox() const { return step_; }

signals:
    void workerFinished();

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void setRunning(bool on);
    void post(std::function<void()> call);
    void drain();
    void finishRun();
    void showMessage(const std::string& gbk);

    FpgaUpdateServices services_;
    std::filesystem::path folder_;
    QPushButton* start_ = nullptr;
    QPushButton* abort_ = nullptr;
    QPushButton* build_ = nullptr;
    QComboBox* files_ = nullptr;
    QComboBox* driver_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QGroupBox* step_ = nullptr;
    qv::ReportQueue reports_;
    bool draining_ = false;
    std::atomic<bool> abortFlag_{false};
    std::thread worker_;
};
