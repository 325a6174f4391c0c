#pragma once
// The one download worker of the application. The command claims the busy flags (test and
// set) before it queries the panel, so two quick commands never start two workers on one
// download; the claim then moves into the worker, and one guard clears both flags and
// enables the close box on every way out.
#include "device/download/download_job.h"
#include "model/app/usb_device_list.h"

#include <thread>

namespace qv::device {

class DownloadWorker;

// The busy flags held by a command and then by its worker.
class BusyClaim {
public:
    BusyClaim() = default;
    BusyClaim(BusyClaim&& other) noexcept : flags_(other.flags_), reports_(other.reports_) { other.flags_ = nullptr; }
    BusyClaim& operator=(BusyClaim&&) = delete;
    ~BusyClaim();
    explicit operator bool() const { return flags_ != nullptr; }

private:
    friend class DownloadWorker;
    BusyClaim(DownloadFlags* flags, ReportQueue* reports) : flags_(flags), reports_(reports) {}
    DownloadFlags* flags_ = nullptr;
    ReportQueue* reports_ = nullptr;
};

enum class DownloadKind { Project, Code };

class DownloadWorker {
public:
    DownloadWorker(DownloadFlags flags, UsbDeviceList* list = nullptr) : flags_(flags), list_(list) {}
    ~DownloadWorker(); // aborts a running download and waits for it
    DownloadWorker(const DownloadWorker&) = delete;
    DownloadWorker& operator=(const DownloadWorker&) = delete;

    // Sets both busy flags and greys the close box; an empty claim when a compile or a
    // download already runs.
    BusyClaim claim(ReportQueue* reports);
    // Runs the download on the worker thread; false ("计算机内存不足") when no thread starts.
    bool start(BusyClaim claim, DownloadKind kind, DownloadJob job);
    void join();
    DownloadFlags& flags() { return flags_; }

private:
    DownloadFlags flags_;
    UsbDeviceList* list_;
    std::thread thread_;
};

} // namespace qv::device
