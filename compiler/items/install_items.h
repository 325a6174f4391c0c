#pragma once
// The item compilers of the control kinds that have one, installed into a window compiler's
// table.
#include "compiler/screen/item_compilers.h"

namespace qv {
class ControlFontRegistry;
}

namespace qv::items {

// `fonts` is the registry the area and character controls' font tables are shared through;
// it belongs to one compile at a time (the caller empties it before each compile). Without
// it those two kinds get the item that names only their type.
void installItemCompilers(screen::ItemCompilerTable& table, ControlFontRegistry* fonts = nullptr);
screen::ItemCompilerTable itemCompilerTable(ControlFontRegistry* fonts = nullptr);

} // namespace qv::items
