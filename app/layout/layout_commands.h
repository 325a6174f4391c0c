#pragma once
// The layout commands of the editing view: stacking order, align / same size / centre
// against the first selected object or the window, placing objects inside the cells of a
// table, the arrow keys, and saving the selection as a bitmap. Each returns whether the
// document changed; none acts in run mode, on the project document or while compiling.
#include "app/commands/command_table.h"
#include "app/layout/layout_geometry.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace qv {

class CDrawView;

namespace cmd {
class CommandActions;
}

namespace layout {

enum class StackMove {
    Backward = cmd::StackBackward.key.id,
    Forward = cmd::StackForward.key.id,
    ToBack = cmd::StackToBack.key.id,
    ToFront = cmd::StackToFront.key.id,
};

// The single selected object one step back or forward, or to the bottom or the top.
bool StackSelection(CDrawView& view, StackMove move);
bool AlignSelection(CDrawView& view, AlignMode mode);
// With one table selected: every object of the document lying wholly inside one of its
// cells is placed in that cell.
bool PlaceInTableCells(CDrawView& view, CellMode mode);
// One arrow key on the selection (`grow`: Ctrl held). False when nothing moved.
bool MoveSelectionByArrow(CDrawView& view, Arrow arrow, bool grow);

// The selection painted alone over the paper and cut to its bounding box (24-bit BMP).
// False with nothing selected (nothing written) or when the file cannot be written
// (`error` says why, any old file is kept).
bool SaveSelectionAsBitmap(CDrawView& view, const std::filesystem::path& file, std::string* error = nullptr);

// What the layout commands ask of the user; each may be empty (a Qt dialog is used).
struct LayoutServices {
    std::function<std::optional<std::filesystem::path>()> chooseBitmapFile;  // nullopt: cancelled
    std::function<void()> voiceAssistant;
    std::function<void()> recipeManager;
    std::function<void()> calculator;
    QWidget* dialogParent = nullptr;
};

// The whole command: nothing selected shows no dialog; a failed write is told to the user.
void SaveSelectionAsBitmapCommand(CDrawView& view, const LayoutServices& services);

void BindLayoutCommands(cmd::CommandActions& actions, std::function<CDrawView*()> activeView,
                        LayoutServices services = {});

} // namespace layout
} // namespace qv
