#include "app/mainframe/toolbar_layout.h"

namespace qv {
namespace {

using cmd::MenuEntry;
constexpr MenuEntry Sep{cmd::Owner::App, 0};

constexpr MenuEntry kStandard[] = {cmd::ProjectNew, cmd::ProjectOpen, cmd::ProjectSave, cmd::Cut,
                                   cmd::Copy, cmd::Paste, cmd::Clear, Sep, cmd::Undo, cmd::Redo};
constexpr MenuEntry kPaletteButtons[] = {cmd::PrevFile, cmd::NextFile, cmd::FullScreenToggle};

const ToolbarDef kPalette{145, u8"常用工具", "paletteBar", false, false, kPaletteButtons};

} // namespace

// The layout bar goes right of the standard bar, the controls bar right of the drawing bar.
std::vector<ToolbarDef> dockedToolbars()
{
    return {
        {128, u8"标准工具栏", "standardBar", true, false, kStandard},
        {143, u8"布局栏", "layoutBar", true, false, cmd::layoutCommands()},
        {130, u8"绘图栏", "drawingBar", false, true, cmd::drawingToolCommands()},
        {144, u8"控件栏", "controlsBar", false, false, cmd::controlToolCommands()},
    };
}
const ToolbarDef& paletteToolbar() { return kPalette; }

} // namespace qv
