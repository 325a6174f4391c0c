#include "model/app/emulator_paint_gate.h"

#include <chrono>

#include "model/app/emulator_flags.h"

namespace qv {

EmulatorPaintGate::WaitEnd EmulatorPaintGate::waitForPaint(const std::function<bool()>& requestPaint,
                                                           const std::atomic<int>& stop)
{
    std::unique_lock guard(lock_);
    const std::uint64_t paints = paints_;
    const std::uint64_t departures = departures_;
    const std::uint64_t stops = stops_;
    MC8051RepaintWait.store(1);
    guard.unlock();
    const bool asked = requestPaint && requestPaint();
    guard.lock();
    WaitEnd end = WaitEnd::NoView;
    if (asked) {
        // The stop request is also looked at now and then, for a stop set without a release.
        for (;;) {
            if (paints_ != paints) {
                end = WaitEnd::Painted;
                break;
            }
            if (departures_ != departures) {
                end = WaitEnd::NoView;
                break;
            }
            if (stops_ != stops || stop.load() != 0) {
                end = WaitEnd::Stopped;
                break;
            }
            changed_.wait_for(guard, std::chrono::milliseconds(50));
        }
    }
    MC8051RepaintWait.store(0);
    return end;
}

void EmulatorPaintGate::paintDone()
{
    {
        std::lock_guard guard(lock_);
        ++paints_;
    }
    MC8051RepaintWait.store(0);
    changed_.notify_all();
}

void EmulatorPaintGate::viewGone()
{
    {
        std::lock_guard guard(lock_);
        ++departures_;
    }
    changed_.notify_all();
}

void EmulatorPaintGate::releaseForStop()
{
    {
        std::lock_guard guard(lock_);
        ++stops_;
    }
    changed_.notify_all();
}

EmulatorPaintGate& MC8051PaintGate()
{
    static EmulatorPaintGate gate;
    return gate;
}

} // namespace qv
