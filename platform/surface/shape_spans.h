#pragma once
// Row spans of the filled box, rounded box and ellipse the primitives draw. All three are
// one family: a box whose corners are quarter ellipses of a given width and height
// (0 x 0 for a plain box, the box itself for an ellipse). Spans are symmetric left to
// right and top to bottom by construction, and an ellipse touches all four sides.
// Boxes may reach across the whole int range, so sizes are kept in 64 bits.
#include "platform/surface/geometry.h"

#include <algorithm>
#include <array>
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

// The same, for one shape asked row by row: the insets of the corner rows are worked out
// once, since the top and bottom halves mirror each other.
class ShapeRows {
public:
    explicit ShapeRows(const RoundedBox& shape);

    // Inline: the shapes ask for every row they draw.
    bool span(int y, int& x0, int& x1)
    {
        const Rect& r = box_;
        if (r.isEmpty() || y < r.top || y >= r.bottom)
            return false;
        const std::int64_t yy = std::min(std::int64_t{y} - r.top, std::int64_t{r.bottom} - 1 - y);
        const std::int64_t inset = yy < cornerH_ / 2 ? cornerInsetAt(yy) : 0;
        const std::int64_t left = std::int64_t{r.left} + inset;
        const std::int64_t right = std::int64_t{r.right} - 1 - inset;
        if (left > right)
            return false;
        x0 = static_cast<int>(left); // both lie inside the box
        x1 = static_cast<int>(right);
        return true;
    }

private:
    static constexpr std::int64_t kKeptRows = 256; // nearer an edge than this: kept
    static constexpr int kRootWalk = 16;           // steps from the last row's root at most

    std::int64_t cornerInsetAt(std::int64_t yy);
    std::int64_t smallCornerInset(std::int64_t yy);

    Rect box_;
    std::int64_t cornerW_; // clamped to the box
    std::int64_t cornerH_;
    std::int64_t kept_ = 0; // insets_[0, kept_) hold an inset or -1 (not worked out yet)
    std::array<std::int64_t, kKeptRows> insets_;
    std::int64_t rootRow_ = -1; // the last row whose root was worked out, and that root
    std::uint64_t root_ = 0;
};

// The same shape shrunk by d on every side (corner ellipses shrink with it).
RoundedBox shrunk(const RoundedBox& shape, int d);

} // namespace qv
