#include "device/download/download_job.h"

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

int DownloadJob::elapsedSeconds() const
{
    return static_cast<int>(std::chrono::duration_cast<std::chrono::seconds>(now() - started).count());
}

} // namespace qv::device
