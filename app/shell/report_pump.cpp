#include "app/shell/report_pump.h"

#include <QMetaObject>
#include <mutex>

namespace qv {

// Shared with the queue's wake-up function, which may run on any thread while the pump is
// being destroyed: the pointer is cleared under the mutex before the pump goes away.
struct CReportPump::Link {
    std::mutex mutex;
    CReportPump* pump = nullptr;
};

CReportPump::CReportPump(ReportQueue& queue, Consumer consumer, QObject* parent)
    : QObject(parent), queue_(queue), consumer_(std::move(consumer)), link_(std::make_shared<Link>())
{
    link_->pump = this;
    queue_.setWakeup([link = link_] {
        std::lock_guard lock(link->mutex);
        if (link->pump != nullptr)
            QMetaObject::invokeMethod(link->pump, [pump = link->pump] { pump->Drain(); }, Qt::QueuedConnection);
    });
    // Reports posted before the pump existed are shown as soon as the event loop runs.
    QMetaObject::invokeMethod(this, [this] { Drain(); }, Qt::QueuedConnection);
}

CReportPump::~CReportPump()
{
    {
        std::lock_guard lock(link_->mutex);
        link_->pump = nullptr;
    }
    queue_.setWakeup({});
}

std::size_t CReportPump::Drain() { return queue_.drain(consumer_); }

} // namespace qv
