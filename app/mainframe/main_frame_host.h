#pragma once
// What the main window needs of the rest of the program: the application's flags and the
// project document's window lists, and the document hooks of full screen and the file walk.
// The shell adapter implements it over the application object; tests script it.
#include "app/commands/shell_state.h"
#include "app/mainframe/file_walk.h"
#include "app/mainframe/split_frame.h"

#include <string>

namespace qv {

class CMainFrameHost {
public:
    virtual ~CMainFrameHost() = default;

    // Application fields of the state (busy flags, modified documents, control numbers);
    // the frame fills its own fields and the active document's.
    virtual void FillAppState(cmd::ShellState& state) const { (void)state; }

    // The project document's screen and sub-window lists (empty without a project).
    virtual ProjectWindowLists WindowLists() const { return {}; }

    // Before next/previous file shows another window: stop the 8051 emulator, close sound.
    virtual void BeforeWindowSwitch() {}

    // Whether full screen shows the palette (full-screen simulation clears it around its call).
    virtual bool ShowBars() const { return true; }

    // Document view margins: fitted to the desktop in full screen, 38/38 windowed.
    virtual void FitViewsToDesktop(const std::string& title) { (void)title; }
    virtual void RestoreViewMargins(const std::string& title) { (void)title; }
    virtual void UpdateViewExtents(const std::string& title) { (void)title; }

    // Brings a window's title and flags up to date with its document (titles change when a
    // window is renamed or a project saved elsewhere). Returns false when the document is gone.
    virtual bool RefreshWindowInfo(DocumentWindowInfo& info) const { (void)info; return true; }

    // The user closes the main window (exit, close box, the desktop's log-out): the save
    // prompt runs here. False keeps the window open (cancelled, or a save failed).
    virtual bool QueryClose() { return true; }
};

} // namespace qv
