#pragma once
// The main window's toolbars and the palette as data: title, resource number, flat or not,
// and their buttons (commands of the table by owner and id; id 0 is a separator).
#include "app/commands/menu_layout.h"

#include <span>
#include <vector>

namespace qv {

struct ToolbarDef {
    int resource;                // 128 standard, 130 drawing, 144 controls, 143 layout, 145 palette
    const char8_t* title;
    const char* objectName;
    bool flat;
    bool breakBefore;            // starts a new dock row
    std::span<const cmd::MenuEntry> buttons;
};

// The four docked toolbars in dock order: the standard bar with the layout bar right of it
// on the first row, the drawing bar with the controls bar right of it on the second.
std::vector<ToolbarDef> dockedToolbars();
const ToolbarDef& paletteToolbar();

} // namespace qv
