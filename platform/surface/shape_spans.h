#pragma once
// Row spans of the filled box, rounded box and ellipse the primitives draw. All three are
// one family: a box whose corners are quarter ellipses of a given width and height
// (0 x 0 for a plain box, the box itself for an ellipse). Spans are symmetric left to
// right and top to bottom by construction, and an ellipse touches all four sides.
// Boxes may reach across the whole int range, so sizes are kept in 64 bits.
#include "platform/surface/geometry.h"

#include <cstdint>

namespace qv {

struct RoundedBox {
    Rect box;                 // normalised, [left, right) x [top, bottom)
    std::int64_t cornerW = 0; // corner ellipse size, clamped to the box
    std::int64_t cornerH = 0;

    static RoundedBox plain(const Rect& r) { return {r, 0, 0}; }
    static RoundedBox ellipse(const Rect& r) { return {r, r.width64(), r.height64()}; }
    static RoundedBox rounded(const Rect& r, std::int64_t cw, std::int64_t ch) { return {r, cw, ch}; }
    bool isEmpty() const { return box.isEmpty(); }
    bool isEllipse() const { return cornerW >= box.width64() && cornerH >= box.height64(); }
};

// The inclusive pixel span [x0, x1] of row y; false when the row is outside the shape.
bool rowSpan(const RoundedBox& shape, int y, int& x0, int& x1);

// The same shape shrunk by d on every side (corner ellipses shrink with it).
RoundedBox shrunk(const RoundedBox& shape, int d);

} // namespace qv
