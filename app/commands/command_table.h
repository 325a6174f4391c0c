#pragma once
// The one table of commands: what menus, toolbars, the palette and shortcuts offer. Ids are
// the resource command ids; they repeat across owners (32816 is both the project tree's
// "新建画面" and the View menu's drawing bar), so a command is keyed by owner and id.
#include "app/commands/command_rules.h"

#include <span>

namespace qv::cmd {

enum class Owner : unsigned char { App, MainFrame, View, ProjectTree };

struct CommandKey {
    Owner owner;
    int id;
    friend bool operator==(const CommandKey&, const CommandKey&) = default;
    friend auto operator<=>(const CommandKey&, const CommandKey&) = default;
};

struct CommandDef {
    CommandKey key;
    const char8_t* text;        // menu text, UTF-8 (the program's own wording)
    const char* shortcut;       // portable key sequence text, or nullptr
    const char* icon;           // key of the icon table in res/, or nullptr
    StateRule enabled;          // nullptr: always enabled
    StateRule checked;          // nullptr: not a check item
};

// Ids the shell's own code refers to.
namespace id {
inline constexpr int About = 57664;
inline constexpr int Exit = 57665;
inline constexpr int RecentFile = 57616;
inline constexpr int ViewStandardBar = 59392;
inline constexpr int ViewStatusBar = 59393;
inline constexpr int ViewDrawingBar = 32816;
inline constexpr int ViewProjectBar = 32838;
inline constexpr int ViewOutputBar = 32858;
inline constexpr int ViewControlsBar = 32859;
inline constexpr int ViewLayoutBar = 32860;
inline constexpr int FullScreen = 32795;
inline constexpr int FullScreenSimulation = 32797;
inline constexpr int FullScreenToggle = 32890;
inline constexpr int NextFile = 32891;
inline constexpr int PrevFile = 32892;
inline constexpr int LeaveFullScreen = 1; // the frame's Shift+Esc, not a resource command
inline constexpr int ShowCtrlNumbers = 32922;
inline constexpr int CompileProject = 32828;
inline constexpr int DownloadProject = 32798;
inline constexpr int AbortCompile = 32912;
inline constexpr int BackgroundColor = 32794;
} // namespace id

std::span<const CommandDef> commandTable();

// nullptr when the table has no such command.
const CommandDef* findCommand(CommandKey key);

bool isEnabled(const CommandDef& def, const ShellState& state);
bool isCheckable(const CommandDef& def);
bool isChecked(const CommandDef& def, const ShellState& state);

} // namespace qv::cmd
