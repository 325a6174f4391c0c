#pragma once
// Evenly spread lines (table rules, curve grids) drawn as bands of equal thickness. The
// counts and sizes come from files, so the bands are never walked one by one: every pixel
// row or column inside the clip asks which band could cover it. The work is bounded by the
// surface, whatever the count, the thickness or the size of the box.
#include "platform/surface/surface.h"

#include <cstdint>
#include <functional>

namespace qv {

// a x b / c truncated toward zero, without overflow for any 64-bit a and b whose result
// fits; c must not be 0. Lengths scaled by a ratio of file values go through it.
inline std::int64_t ScaleBy(std::int64_t a, std::int64_t b, std::int64_t c)
{
    return static_cast<std::int64_t>(static_cast<__int128>(a) * b / c);
}

struct LineBands {
    std::int64_t origin = 0;   // where band offsets are counted from
    std::int64_t count = 0;    // bands 0 .. count - 1
    std::int64_t width = 0;    // thickness of every band (below 1: nothing drawn)
    // Offset of band k from the origin; must not decrease as k grows.
    std::function<std::int64_t(std::int64_t)> offset;
    // false: band k covers [origin + offset(k), + width); true: it covers
    // [origin - offset(k) - width, origin - offset(k)) (bands stacked upwards).
    bool descending = false;
};

// Vertical bands (x from the band set) across the rows [top, bottom).
void FillColumnBands(Surface& dc, const LineBands& bands, std::int64_t top, std::int64_t bottom, ColorRef color);
// Horizontal bands (y from the band set) across the columns [left, right).
void FillRowBands(Surface& dc, const LineBands& bands, std::int64_t left, std::int64_t right, ColorRef color);

} // namespace qv
