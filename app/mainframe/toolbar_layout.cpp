#include "app/mainframe/toolbar_layout.h"

namespace qv {
namespace {

using cmd::MenuEntry;
constexpr cmd::Owner A = cmd::Owner::App;
constexpr cmd::Owner F = cmd::Owner::MainFrame;
constexpr cmd::Owner V = cmd::Owner::View;
constexpr MenuEntry Sep{A, 0};

constexpr MenuEntry kStandard[] = {{A, 32819}, {A, 32820}, {A, 32822}, {V, 57635}, {V, 57634},
                                   {V, 57637}, {V, 57632}, Sep, {V, 57643}, {V, 57644}};
constexpr MenuEntry kPaletteButtons[] = {{F, 32892}, {F, 32891}, {F, 32890}};

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
