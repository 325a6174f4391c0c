#pragma once
// Controls that show one picture of a list by a variable: the bit switch (kind 20) and the
// indicator light (kind 12) with an ON or OFF picture and caption, the radio button (kind
// 22) with a selected or unselected picture or a drawn circle, and the dynamic picture
// (kind 8) with the frame a variable or a fixed number names.
#include "model/paint/paint_context.h"
#include "model/shape/draw_obj.h"

namespace qv {

// `state`: -1 takes the state from the bound variable; 0 forces ON (selected), 1 forces OFF
// (unselected); the compiler renders both state pictures this way.
void PaintBitSwitch(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx, int state);
void PaintIndicator(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx, int state);
void PaintRadioButton(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx, int state);

// The paint entry's forms: the state from the variable.
void PaintBitSwitch(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx);
void PaintIndicator(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx);
void PaintRadioButton(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx);

void PaintDynamicPicture(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx);

} // namespace qv
