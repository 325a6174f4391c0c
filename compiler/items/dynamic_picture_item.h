#pragma once
// The dynamic picture item: one picture stream per frame, each drawn over the screen behind
// the control, and a record naming the frame-number, hide and move variables.
#include "compiler/screen/item_compilers.h"

namespace qv::items {

void CompileDynamicPicture(screen::ItemCompileArgs& a);

} // namespace qv::items
