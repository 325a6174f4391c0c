#include "device/download/download_job.h"

#include <algorithm>

namespace qv::device {

void DownloadJob::output(const std::string& gbk) const
{
    if (reports)
        reports->appendText(gbk);
}

void DownloadJob::message(const std::string& gbk) const
{
    if (reports && messageBox)
        reports->post(ReportCall{[show = messageBox, gbk] { show(gbk); }});
}

BlockWriteControl downloadWriteControl(const DownloadJob& job, DownloadFlags& flags)
{
    BlockWriteControl control;
    control.abort = &flags.abort;
    control.progressDone = &flags.progressDone;
    control.progressTotal = &flags.progressTotal;
    control.reportProgress = [q = job.reports](int percent) {
        if (q)
            q->setProgress(std::min(percent, 100));
    };
    return control;
}

int DownloadJob::elapsedSeconds() const
{
    return static_cast<int>(std::chrono::duration_cast<std::chrono::seconds>(now() - started).count());
}

} // namespace qv::device
