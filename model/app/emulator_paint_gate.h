#pragma once
// The 8051 program's wait for a screen refresh. The emulator thread asks the run-mode view
// for a paint and waits on a condition variable; the view's paint, a stop request or the view
// going away releases it. The view reaches this through the model only (no simulator header).
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

namespace qv {

class EmulatorPaintGate {
public:
    enum class WaitEnd { Painted, Stopped, NoView };

    // The emulator thread: sets MC8051RepaintWait, calls `requestPaint` (false: no run-mode
    // view is shown, nothing will paint) and waits until a paint finishes, `stop` becomes
    // non-zero or the view goes away. MC8051RepaintWait is 0 again when it returns.
    WaitEnd waitForPaint(const std::function<bool()>& requestPaint, const std::atomic<int>& stop);

    // The run-mode view, after a paint that showed the live bank.
    void paintDone();
    // The run-mode view, when it is hidden or destroyed.
    void viewGone();
    // Whoever sets the stop request, so a waiting program ends at once.
    void releaseForStop();

private:
    std::mutex lock_;
    std::condition_variable changed_;
    std::uint64_t paints_ = 0;
    std::uint64_t departures_ = 0;
    std::uint64_t stops_ = 0;
};

// The one gate of the application's emulator.
EmulatorPaintGate& MC8051PaintGate();

} // namespace qv
