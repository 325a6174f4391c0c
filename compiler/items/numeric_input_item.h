#pragma once
// The numeric input box item: a 32-byte record and the block of the 13 glyphs the box can
// show ("0".."9", "-", ".", "*") in its own font, one bit a pixel.
#include "compiler/screen/item_compilers.h"

namespace qv::items {

void CompileNumericInput(screen::ItemCompileArgs& a);

} // namespace qv::items
