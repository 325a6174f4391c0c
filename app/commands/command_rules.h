#pragma once
// Enable and check rules of the commands: pure functions of the program state, named once
// and shared by every command that greys or checks under the same condition.
#include "app/commands/shell_state.h"

namespace qv::cmd {

using StateRule = bool (*)(const ShellState&);

namespace rule {
bool notCompiling(const ShellState& s);
bool notDownloading(const ShellState& s);
bool notBusy(const ShellState& s);                  // neither compiling nor downloading
bool busy(const ShellState& s);                     // compiling or downloading (abort)
bool anyModified(const ShellState& s);
bool notCompilingNorRunMode(const ShellState& s);   // save-as, project properties, variables
bool notBusyNorRunMode(const ShellState& s);        // firmware upgrade, clear flash
bool nextFile(const ShellState& s);                 // not run mode, not compiling
bool prevFile(const ShellState& s);                 // not the project document, not compiling
bool editingView(const ShellState& s);              // a window document that is not run mode
bool tool(const ShellState& s);                     // drawing tools
bool selectTool(const ShellState& s);               // also in run mode
bool numericInputTool(const ShellState& s);         // only in the keypad windows
// The radio mark of a tool command: enabled and its tool current (greyed: unmarked).
template <StateRule Enabled, int CommandId> bool toolCurrent(const ShellState& s)
{
    return Enabled(s) && s.currentToolCommand == CommandId;
}
bool hasSelection(const ShellState& s);             // copy, cut, lock/unlock selected
bool oneSelected(const ShellState& s);              // stacking order
bool severalSelected(const ShellState& s);          // align and same size
bool tableSelected(const ShellState& s);            // placing inside table cells
bool canPaste(const ShellState& s);
bool canSelectAll(const ShellState& s);
bool canUndo(const ShellState& s);
bool canRedo(const ShellState& s);

bool showCtrlNumbers(const ShellState& s);
bool fullScreen(const ShellState& s);
template <Bar B> bool barShown(const ShellState& s) { return s.bar(B); }
} // namespace rule

} // namespace qv::cmd
