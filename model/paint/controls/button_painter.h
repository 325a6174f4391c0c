#pragma once
// The operation button (kind 7): three appearances, one per state (1 pointer away, 2 over,
// 3 pressed), each a picture or a drawn gradient face (rectangular with 3-D rings, or a
// round rectangle), with the caption centred over it.
#include "model/paint/paint_context.h"
#include "model/params/blocks/button_block.h"
#include "model/shape/draw_obj.h"

#include <string_view>

namespace qv {

void PaintButton(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx);

} // namespace qv
