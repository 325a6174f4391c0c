#pragma once
// The curve item: the chart's static picture (frame, grid and labels as the painter draws
// them without data; a colour picture, a one-bit mask of the background or none), its plot
// area and one 12-byte entry per curve with the variable's address, type and colour.
#include "compiler/screen/item_compilers.h"

namespace qv::items {

void CompileCurve(screen::ItemCompileArgs& a);

} // namespace qv::items
