#pragma once
// Drives the simulator's run-mode view: the mouse goes to the simulated objects, the controls'
// cursors become Qt cursors, and the view's timers 0, 1, 2, 3 and 5 wake the simulator's timer
// work (which takes its time from the clock, not from the timers). A touch controller on a
// serial port presses and releases the view at the panel point; the desktop pointer never moves.
#include <QObject>
#include <QPointer>

#include <cstdint>
#include <memory>

#include "app/view/draw_view.h"
#include "app/view/run_view_link.h"
#include "sim/runtime/run_routing.h"
#include "sim/runtime/run_timers.h"
#include "sim/runtime/touch_controller.h"

class QTimer;

namespace qv {

class RunModeDriver : public QObject {
public:
    // Attaches to a run-mode view (its hooks for the mouse and the 400 ms tick are set here).
    RunModeDriver(CEditorApp& app, CDrawView& view, const sim::MonotonicClock& clock = sim::steadyClock());
    ~RunModeDriver() override;

    // One byte of the touch controller's stream; GUI thread only.
    void OnTouchScreenByte(std::uint8_t byte);

    sim::RunTimers& Timers() { return *timers_; }
    QTimer* Timer0() const { return timer0_; }

private:
    void OnMouse(RunMouse what, Point docPoint);
    void Tick0();
    void Tick1();
    void Tick2();
    void Tick5();
    sim::SimRuntime* Runtime() const;

    CEditorApp& app_;
    CDrawView& view_;
    std::unique_ptr<sim::RunInput> input_;
    std::unique_ptr<sim::RunRouting> routing_;
    std::unique_ptr<sim::RunTimers> timers_;
    QTimer* timer0_ = nullptr;
    QPointer<RunViewLink> link_;
    bool clickedThisPress_ = false;
};

} // namespace qv
