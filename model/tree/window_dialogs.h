#pragma once
// What the project tree's commands need of the user and of the main window. The Qt side
// shows the screen and sub-window dialogs and the file dialog; tests script them.
#include "model/tree/window_names.h"

#include <filesystem>
#include <optional>
#include <string>

namespace qv {

class CDrawDoc;

// The screen dialog's members. The size is the project's and cannot be changed there.
struct ScreenDialogValues {
    std::string name;  // GBK, without ".drw"
    unsigned width = 0;
    unsigned height = 0;
};

// The sub-window dialog's members.
struct SubWindowDialogValues {
    int system = 0;     // set for the ten system sub-windows: the third-layer flag is fixed on
    int showType = 0;   // 0 hides the window-type list (what every caller here passes)
    int typeIndex = 0;  // 0 "普通窗口", 1 "系统键盘.dlg", 2 "数字键盘.dlg"
    std::string typeText;  // GBK, the chosen list text
    std::string name;   // GBK, without ".dlg"
    unsigned width = 0;
    unsigned height = 0;
    int modeless = 0;
    unsigned x = 0;
    unsigned y = 0;
    int centred = 0;
    int thirdLayer = 0;
    // The screen the window must fit (the dialog checks before it closes).
    int resWidth = 0;
    int resHeight = 0;
};

class WindowDialogs {
public:
    virtual ~WindowDialogs() = default;
    // true on OK; the members then hold what the user entered.
    virtual bool EditScreen(ScreenDialogValues& values) = 0;
    virtual bool EditSubWindow(SubWindowDialogValues& values) = 0;
    // The open-file dialog of the import commands; nullopt when cancelled.
    virtual std::optional<std::filesystem::path> ChooseWindowFile(WindowKind kind) = 0;
};

// What the tree needs of the main window.
class ProjectTreeHost {
public:
    virtual ~ProjectTreeHost() = default;
    // Brings the document's frame to the front.
    virtual void ActivateDocument(CDrawDoc& doc) { (void)doc; }
    // The view that last had the focus shows the simulator.
    virtual bool FocusViewIsRunMode() const { return false; }
    // The application's project properties command.
    virtual void ProjectProperties() {}
    // The simulator's sound device, closed before another window takes the screen.
    virtual void CloseSound() {}
};

} // namespace qv
