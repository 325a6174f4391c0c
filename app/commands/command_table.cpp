#include "app/commands/command_table.h"

#include <algorithm>
#include <array>

namespace qv::cmd {
namespace {

const CommandDef kCommands[] = {
    // Application commands: the project as a whole.
    About, FileNewProject, FileOpenProject, ProjectNew, ProjectOpen, ProjectClose, ProjectSave,
    ProjectSaveAs, SystemSettings, HmiVariables, ProjectProperties, SerialDebug, LockProject,
    UnlockProject, CompileProject, DownloadProject, AbortCompile, DownloadPictures,
    FullScreenSimulation, ShowCtrlNumbers, SyncClock, FpgaUpdate, ClearFlash, BuzzerTest, Exit,
    RecentFile,

    // Main window: bars, full screen and the palette's file walk.
    ViewStandardBar, ViewStatusBar, ViewDrawingBar, ViewProjectBar, ViewOutputBar, ViewControlsBar,
    ViewLayoutBar, FullScreen, FullScreenToggle, NextFile, PrevFile, LeaveFullScreen,

    // Editing view: edit commands.
    Undo, Redo, Cut, Copy, Paste, Clear, SelectAll, Properties, LockSelection, UnlockSelection,

    // Editing view: drawing tools (drawing bar) and control tools (controls bar).
    ToolSelect, ToolLine, ToolRect, ToolRoundRect, ToolEllipse, ToolCircle, ToolPicture, ToolText,
    ToolPipeJoint, ToolPipe, ToolScale, ToolNeedle, ToolButton, ToolDynamicPicture, ToolNumber,
    ToolNumericInput, ToolCurve, ToolLight, ToolBitSwitch, ToolRadio, ToolProgress, ToolTable,
    ToolCharacter, ToolArea, BackgroundColor,

    // Editing view: layout commands (layout bar).
    StackBackward, StackForward, StackToBack, StackToFront, AlignLeft, AlignRight, AlignTop,
    AlignBottom, AlignOnVerticalLine, AlignOnHorizontalLine, SameWidth, SameHeight, SameSize,
    CentreInWindowH, CentreInWindowV, CellLeft, CellRight, CellTop, CellBottom, CellCentreX,
    CellCentreY, CellSameWidth, CellSameHeight, SaveAsBitmap, VoiceAssistant, Calculator,
    RecipeManager,

    // Project tree: the screens folder's commands (their ids are the tree's).
    TreeNewScreen, TreeDeleteScreen, TreeImportScreen, TreeScreenProperties,
};

// Sorted view of the table for look-ups by key.
const std::array<const CommandDef*, std::size(kCommands)>& sortedByKey()
{
    static const auto sorted = [] {
        std::array<const CommandDef*, std::size(kCommands)> out{};
        for (std::size_t i = 0; i < out.size(); ++i)
            out[i] = &kCommands[i];
        std::sort(out.begin(), out.end(), [](auto* a, auto* b) { return a->key < b->key; });
        return out;
    }();
    return sorted;
}

} // namespace

std::span<const CommandDef> commandTable() { return kCommands; }

const CommandDef* findCommand(CommandKey key)
{
    const auto& sorted = sortedByKey();
    auto it = std::lower_bound(sorted.begin(), sorted.end(), key,
                               [](const CommandDef* s, const CommandKey& k) { return s->key < k; });
    return it != sorted.end() && (*it)->key == key ? *it : nullptr;
}

bool isEnabled(const CommandDef& def, const ShellState& state)
{
    return def.enabled == nullptr || def.enabled(state);
}

bool isCheckable(const CommandDef& def) { return def.checked != nullptr; }

bool isChecked(const CommandDef& def, const ShellState& state)
{
    return def.checked != nullptr && def.checked(state);
}

} // namespace qv::cmd
