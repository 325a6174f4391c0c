#include "app/commands/command_rules.h"

namespace qv::cmd::rule {

bool notCompiling(const ShellState& s) { return !s.compiling; }
bool notDownloading(const ShellState& s) { return !s.downloading; }
bool notBusy(const ShellState& s) { return !s.busy(); }
bool busy(const ShellState& s) { return s.busy(); }
bool anyModified(const ShellState& s) { return s.anyDocumentModified; }
bool notCompilingNorRunMode(const ShellState& s) { return !s.compiling && !s.activeIsRunMode; }
bool notBusyNorRunMode(const ShellState& s) { return !s.busy() && !s.activeIsRunMode; }
bool nextFile(const ShellState& s) { return !s.compiling && !s.activeIsRunMode; }
bool prevFile(const ShellState& s) { return !s.compiling && !s.activeIsProject; }

bool editingView(const ShellState& s)
{
    return s.hasActiveDocument && !s.activeIsProject && !s.activeIsRunMode;
}

bool tool(const ShellState& s) { return editingView(s) && !s.compiling; }
bool selectTool(const ShellState& s) { return s.hasActiveDocument && !s.activeIsProject && !s.compiling; }
bool numericInputTool(const ShellState& s) { return tool(s) && s.activeIsKeypadWindow; }
bool hasSelection(const ShellState& s) { return tool(s) && s.selectionCount > 0; }
bool oneSelected(const ShellState& s) { return tool(s) && s.selectionCount == 1; }
bool severalSelected(const ShellState& s) { return tool(s) && s.selectionCount >= 2; }
bool tableSelected(const ShellState& s) { return tool(s) && s.singleTableSelected; }
bool canPaste(const ShellState& s) { return tool(s) && s.clipboardHasShapes; }
bool canSelectAll(const ShellState& s) { return tool(s) && s.objectCount > 0; }
bool canUndo(const ShellState& s) { return tool(s) && s.undoDepth > 0; }
bool canRedo(const ShellState& s) { return tool(s) && s.redoCount > 0; }

bool showCtrlNumbers(const ShellState& s) { return s.showCtrlNumbers; }
bool fullScreen(const ShellState& s) { return s.fullScreen; }

} // namespace qv::cmd::rule
