#pragma once
// The item compilers of the control kinds that have one, installed into a window compiler's
// table.
#include "compiler/screen/item_compilers.h"

namespace qv::items {

void installItemCompilers(screen::ItemCompilerTable& table);
screen::ItemCompilerTable itemCompilerTable();

} // namespace qv::items
