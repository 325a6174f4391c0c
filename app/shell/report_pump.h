#pragma once
// Drains the workers' report queue on the GUI thread. A post on an empty queue schedules
// one drain through a queued invocation on this object; the drain hands every report, in
// posting order, to the consumer (the main window). Workers never touch a widget.
#include "platform/report/report_queue.h"

#include <QObject>
#include <functional>
#include <memory>

namespace qv {

class CReportPump : public QObject {
public:
    using Consumer = std::function<void(Report&)>;

    CReportPump(ReportQueue& queue, Consumer consumer, QObject* parent = nullptr);
    ~CReportPump() override;   // detaches from the queue; later posts wait for the next pump

    std::size_t Drain();

private:
    struct Link;
    ReportQueue& queue_;
    Consumer consumer_;
    std::shared_ptr<Link> link_;
};

} // namespace qv
