#pragma once
// Which objects get a run-mode mouse event: those of the top window (the system sub-window,
// else the sub-window, else the screen), in list order, each testing the hit itself. A press
// outside a modeless sub-window only closes it; with the text keyboard open, a press outside
// it also reaches the character controls of the window below, so another field can be picked.
#include "platform/surface/geometry.h"
#include "sim/runtime/run_input.h"

namespace qv {
class CDrawDoc;
}

namespace qv::sim {

class RunRouting {
public:
    explicit RunRouting(RunInput& input) : in_(input) {}

    void ButtonDown(Point docPoint);
    void ButtonUp(Point docPoint);
    void MouseMove(Point docPoint);
    void DoubleClick(Point docPoint);
    // The sub-window's (else the screen's) objects; the system sub-window is skipped.
    void RightButtonDown(Point docPoint);

    // Called on every routed event (the idle count restarts).
    std::function<void()> onInput;

private:
    CDrawDoc* topWindow() const;
    void forObjects(CDrawDoc* doc, bool charactersOnly, const std::function<void(CDrawObj&)>& fn);
    // The window below an open text keyboard when `p` lies outside it, else null.
    CDrawDoc* belowKeyboard(Point p) const;
    void inputSeen();

    RunInput& in_;
    bool pressClosedWindow_ = false; // the release of that click reaches nothing
};

} // namespace qv::sim
