#pragma once
// The item compilers of the control kinds that have one, installed into a window compiler's
// table.
#include "compiler/screen/item_compilers.h"

namespace qv {
class ControlFontRegistry;
}

namespace qv::items {

// `fonts` is the registry the area control's font tables are shared through; it belongs to
// one compile at a time (the caller empties it before each compile). Without it the area
// control keeps its placeholder item.
void installItemCompilers(screen::ItemCompilerTable& table, ControlFontRegistry* fonts = nullptr);
screen::ItemCompilerTable itemCompilerTable(ControlFontRegistry* fonts = nullptr);

} // namespace qv::items
