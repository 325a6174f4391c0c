#pragma once
// What the controls of the shown window do with the run-mode mouse: buttons change state and
// run their function (window switching, login, logout, save, calibration, keyboard keys, OK
// and cancel), bit switches and radio buttons write their variable, input fields open the
// numeric keypad. Every value is announced through the port writer before it is stored.
#include <functional>
#include <string_view>

#include "platform/surface/geometry.h"

namespace qv {
class CEditorApp;
class CDrawObj;
}

namespace qv::sim {

class PortWriter;

// The pointer shapes the controls ask for while the pointer is over them.
enum class RunCursor { Hand, IBeam, SizeAll };

struct RunInput {
    explicit RunInput(CEditorApp& application) : app(application) {}
    CEditorApp& app;
    PortWriter* writer = nullptr;
    bool runMode = true;               // the view is the simulator's
    std::function<void()> keyClick;    // plays the key click (null: silent)
    std::function<void(RunCursor)> setCursor;
    // An area control's drag of its sub-window: set by a press on one, cleared by every
    // release; the last point the window followed.
    bool dragging = false;
    Point dragLast{};
};

void OnRunLButtonDown(CDrawObj& obj, Point p, RunInput& in);
void OnRunLButtonUp(CDrawObj& obj, Point p, RunInput& in);
void OnRunLButtonDblClk(CDrawObj& obj, Point p, RunInput& in);
void OnRunMouseMove(CDrawObj& obj, Point p, RunInput& in);
void OnRunRButtonDown(CDrawObj& obj, Point p, RunInput& in);
void ExecuteButtonFunction(CDrawObj& obj, RunInput& in);

// Opens `name` as the system sub-window ("" closes it).
void OpenSystemWindow(CEditorApp& app, std::string_view name);

} // namespace qv::sim
