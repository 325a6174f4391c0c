#pragma once
// Colour gradients and the 90-degree block copy the painters share.
#include "platform/surface/surface.h"

namespace qv {

// One band per pixel row (vertical) or column (horizontal), from `from` toward `to`; each
// channel c steps by (n / 2 + t - c) / n with n counting down from the band count, so the
// target colour is reached only after the last band. Nothing for a rectangle without width
// (vertical) or height (horizontal).
void FillGradientVertical(Surface& dc, ColorRef from, ColorRef to, const Rect& r);
void FillGradientHorizontal(Surface& dc, ColorRef from, ColorRef to, const Rect& r);

// Copies the source block turned 90 degrees counter-clockwise: source row i goes to target
// column x + (i - top), source column j to target row bottom - 1 - (j - left). The two
// integers in the middle are ignored, as the callers expect.
void CopyRotated90(Surface& target, int x, int ignored1, int ignored2, int bottom, const Surface& source, int left,
                   int top, int right, int bottom2);

} // namespace qv
