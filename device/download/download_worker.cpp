#include "device/download/download_worker.h"

#include "device/download/code_download.h"
#include "device/download/download_texts.h"
#include "device/download/project_download.h"

#include <optional>
#include <system_error>

namespace qv::device {

BusyClaim::~BusyClaim()
{
    if (!flags_)
        return;
    flags_->compiling = 0;
    flags_->downloading = 0;
    if (reports_)
        reports_->enableCloseBox(true);
}

DownloadWorker::~DownloadWorker()
{
    if (thread_.joinable())
        flags_.abort = 1;
    join();
}

void DownloadWorker::join()
{
    if (thread_.joinable())
        thread_.join();
}

BusyClaim DownloadWorker::claim(ReportQueue* reports)
{
    int expected = 0;
    if (!flags_.downloading.compare_exchange_strong(expected, 1))
        return {};
    expected = 0;
    if (!flags_.compiling.compare_exchange_strong(expected, 1)) {
        flags_.downloading = 0;
        return {};
    }
    flags_.abort = 0;
    if (reports)
        reports->enableCloseBox(false);
    return BusyClaim(&flags_, reports);
}

bool DownloadWorker::start(BusyClaim claim, DownloadKind kind, DownloadJob job)
{
    if (!claim)
        return false;
    join(); // the previous worker has let go of the flags; its thread may still be ending
    try {
        thread_ = std::thread([this, kind, claim = std::move(claim), job = std::move(job)]() mutable {
            BusyClaim held = std::move(claim); // released last, on every way out
            std::optional<UsbDeviceHold> hold;
            if (list_)
                hold.emplace(*list_, job.device);
            if (kind == DownloadKind::Code)
                DownloadCodeThread(job, flags_);
            else
                DownloadProjectThread(job, flags_);
        });
    } catch (const std::system_error&) {
        if (job.reports)
            job.reports->appendText(text::kNoThread);
        return false;
    }
    return true;
}

} // namespace qv::device
