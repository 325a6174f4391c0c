#pragma once
// The run-mode rules of the hide bit and the move variable as the character, dynamic
// picture, bit switch, indicator and radio painters apply them (on top of control_support.h).
#include "model/paint/controls/control_support.h"

namespace qv {

// In a live paint with the hide option on, the control is not drawn while its hide bit is
// 0, and shows the unbound placeholder when the bit cannot be read. Returns true when the
// paint ends there (nothing drawn, or the placeholder).
bool HideEndsPaint(CDrawObj& obj, Surface& dc, const PaintContext& ctx, bool hideOption, const ControlVarRef& hide,
                   std::int32_t bit);

// In a live paint with the move option on and a move reference inside 0..0xFFFE, the
// rectangle's top-left corner goes to the margins plus the signed 16-bit x and y at the
// address and address + 2; its size stays. Anything else keeps `r`.
Rect MovedByVariable(const PaintContext& ctx, bool moveOption, const ControlVarRef& move, const Rect& r);

} // namespace qv
