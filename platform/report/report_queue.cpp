#include "platform/report/report_queue.h"

namespace qv {

void ReportQueue::setWakeup(std::function<void()> wakeup)
{
    std::lock_guard lock(mutex_);
    wakeup_ = std::move(wakeup);
}

void ReportQueue::post(Report report)
{
    std::function<void()> wake;
    {
        std::lock_guard lock(mutex_);
        const bool wasEmpty = pending_.empty();
        // A progress right after a progress replaces it: only the latest value is ever
        // shown, and a worker reporting in a tight loop must not grow the queue.
        if (!wasEmpty && std::holds_alternative<ReportProgress>(report) &&
            std::holds_alternative<ReportProgress>(pending_.back()))
            pending_.back() = std::move(report);
        else
            pending_.push_back(std::move(report));
        if (wasEmpty)
            wake = wakeup_;
    }
    if (wake)
        wake();
}

std::size_t ReportQueue::drain(const std::function<void(Report&)>& consumer)
{
    std::vector<Report> batch;
    {
        std::lock_guard lock(mutex_);
        batch.swap(pending_);
    }
    for (Report& r : batch)
        consumer(r);
    return batch.size();
}

} // namespace qv
