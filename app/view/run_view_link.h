#pragma once
// What the user's 8051 code asks of the run-mode view, from the emulator thread: the refresh
// mode, a repaint it waits for (through the paint gate), timer 0's period and the run canvas
// its picture service draws into. The view that shows the simulator attaches itself; the
// link outlives the emulator thread, the view does not have to.
#include <QObject>
#include <QPointer>

#include <atomic>
#include <functional>
#include <mutex>

#include "model/app/emulator_paint_gate.h"
#include "platform/surface/surface.h"
#include "sim/plc/touch_byte_sink.h"
#include "sim/services/mc8051_seams.h"

namespace qv {

class CDrawView;
class CEditorApp;

class RunViewLink : public QObject, public sim::Mc8051ViewLink, public sim::plc::TouchByteSink {
public:
    explicit RunViewLink(CEditorApp& app, EmulatorPaintGate& gate = MC8051PaintGate());
    ~RunViewLink() override;

    // GUI thread. The run-mode view that now shows the simulator (it replaces an older one).
    void Attach(CDrawView& view);
    // GUI thread: the view is going away; a program waiting for its paint goes on.
    void Detach(CDrawView& view);
    void SetShown(CDrawView& view, bool shown);
    // GUI thread: the view has painted the live bank.
    void PaintDone(CDrawView& view);

    // Emulator thread.
    void setAutoRefresh(bool on) override;
    bool requestRunModePaint() override;
    void setTimer0Period(int milliseconds) override;
    // A port's monitor thread: the byte goes to the attached view on the GUI thread, in order.
    void touchByte(std::uint8_t byte) override;
    // Draws on the attached view's run canvas; false without one.
    bool DrawOnRunCanvas(const std::function<void(Surface&)>& draw);

private:
    // GUI thread: the queued repaint of requestRunModePaint.
    void RepaintForProgram();

    CEditorApp& app_;
    EmulatorPaintGate& gate_;
    QPointer<CDrawView> view_;      // GUI thread only
    std::atomic<bool> shown_{false};
    std::mutex canvasLock_;         // guards canvasView_
    CDrawView* canvasView_ = nullptr;
};

} // namespace qv
