#pragma once
// Row spans of the filled box, rounded box and ellipse the primitives draw. All three are
// one family: a box whose corners are quarter ellipses of a given width and height
// (0 x 0 for a plain box, the box itself for an ellipse). Spans are symmetric left to
// right and top to bottom by construction, and an ellipse touches all four sides.
#include "platform/surface/geometry.h"

namespace qv {

struct RoundedBox {
    Rect box;          // normalised, [left, right) x [top, bottom)
    int cornerW = 0;   // corner ellipse size, clamped to the box
    int cornerH = 0;

    static RoundedBox plain(const Rect& r) { return {r, 0, 0}; }
    static RoundedBox ellipse(const Rect& r) { return {r, r.width(), r.height()}; }
    static RoundedBox rounded(const Rect& r, int cw, int ch) { return {r, cw, ch}; }
    bool isEmpty() const { return box.isEmpty(); }
};

// The inclusive pixel span [x0, x1] of row y; false when the row is outside the shape.
bool rowSpan(const RoundedBox& shape, int y, int& x0, int& x1);

// The same shape shrunk by d on every side (corner ellipses shrink with it).
RoundedBox shrunk(const RoundedBox& shape, int d);

} // namespace qv
