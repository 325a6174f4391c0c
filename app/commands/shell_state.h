#pragma once
// The program state that every command's enable and check rule reads. The main window
// collects it (its own bars and full-screen flag, the application's busy flags, the active
// document and view) before menus open, after every command and when a worker's flags change.
#include <array>
#include <cstddef>

namespace qv::cmd {

// The bars whose visibility the View menu toggles.
enum class Bar : std::size_t { Standard, Drawing, Controls, Layout, Project, Output, Status, Count };

struct ShellState {
    // Application (workers write these flags; the GUI only reads them).
    bool compiling = false;
    bool downloading = false;
    bool anyDocumentModified = false;
    bool showCtrlNumbers = false;

    // Active document: none, the project document, the simulator (run mode) or a window.
    bool hasActiveDocument = false;
    bool activeIsProject = false;
    bool activeIsRunMode = false;

    // Active editing view (filled by the view; zero while there is none).
    int selectionCount = 0;
    int objectCount = 0;
    int undoDepth = 0;
    int redoCount = 0;
    bool clipboardHasShapes = false;
    bool singleTableSelected = false;  // exactly one object selected, and it is a table
    int currentToolCommand = 0;        // command id of the drawing tool in use
    bool activeIsKeypadWindow = false; // "数字键盘.dlg" or "系统登陆.dlg", where input boxes go

    // Main window.
    bool fullScreen = false;
    std::array<bool, static_cast<std::size_t>(Bar::Count)> barVisible{};

    bool busy() const { return compiling || downloading; }
    bool bar(Bar b) const { return barVisible[static_cast<std::size_t>(b)]; }
    void setBar(Bar b, bool visible) { barVisible[static_cast<std::size_t>(b)] = visible; }
};

} // namespace qv::cmd
