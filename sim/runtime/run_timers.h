#pragma once
// The work of the run-mode view's timers 0, 1, 2, 3 and 5. Qt timers only wake it: elapsed
// time comes from the monotonic clock, so idle return and sampling follow real milliseconds
// however late a tick arrives, and tests drive it with a fake clock.
#include <cstdint>
#include <functional>
#include <optional>

#include "sim/runtime/sim_runtime.h"

namespace qv {
class CEditorApp;
}

namespace qv::sim {

class RunTimers {
public:
    static constexpr int kTimer0StartMs = 50;
    static constexpr int kTimer0FastestMs = 10;  // a 0 ms timer would spin the event loop
    static constexpr int kAnimateMs = 50;
    static constexpr int kSaveMs = 1000;
    static constexpr int kCaretMs = 400;
    static constexpr int kPollMs = 5;

    RunTimers(CEditorApp& app, const MonotonicClock& clock = steadyClock());

    // Timer 0: the period the timer must run with from now on when the code asked for
    // another one (the pending count restarts), else nullopt after counting a tick while
    // the emulated IE has EA and ET0 set.
    std::optional<int> Timer0Tick();
    // Timer 1: animation, the repaint the simulator asked for, idle return. True: repaint.
    bool Timer1Tick();
    // Timer 2: slot 0 of the saved variables and the clock variables. True: repaint.
    bool Timer2Tick();
    // Timers 3 and 5 (both run the application's PLC poll).
    void Timer3Tick();
    void Timer5Tick();

    // Mouse input reached the simulator (the idle time restarts).
    void InputSeen();

    // The emulated interrupt-enable register (0 without user code).
    std::function<std::uint8_t()> interruptEnable;

private:
    CEditorApp& app_;
    const MonotonicClock& clock_;
    std::int64_t lastInputMs_;
};

} // namespace qv::sim
