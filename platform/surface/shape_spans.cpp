#include "platform/surface/shape_spans.h"

#include <algorithm>
#include <cstdint>

namespace qv {
namespace {

using u128 = unsigned __int128;

// Radii reach 2^32, so their squares and products need 128 bits (both stay below 2^128).
std::uint64_t isqrt(u128 v)
{
    u128 r = 0;
    u128 bit = u128{1} << 126;
    while (bit > v)
        bit >>= 2;
    while (bit != 0) {
        if (v >= r + bit) {
            v -= r + bit;
            r = (r >> 1) + bit;
        } else {
            r >>= 1;
        }
        bit >>= 2;
    }
    return static_cast<std::uint64_t>(r);
}

// Left inset of row `yy` (counted from the nearest horizontal edge) inside a corner
// ellipse of cw x ch pixels. Works in doubled coordinates so pixel centres are integers.
std::int64_t cornerInset(std::int64_t cw, std::int64_t ch, std::int64_t yy)
{
    if (cw <= 1 || ch <= 1)
        return 0;
    const std::int64_t a = cw - 1;      // doubled horizontal radius
    const std::int64_t b = ch - 1;      // doubled vertical radius
    const std::int64_t dy = 2 * yy - b; // doubled distance from the ellipse's centre row
    const u128 b2 = u128(b) * u128(b);
    const u128 dy2 = u128(dy < 0 ? -dy : dy) * u128(dy < 0 ? -dy : dy); // never above b2 (yy < ch / 2)
    const u128 room = (b2 - dy2) * u128(a) * u128(a) / b2;
    const std::int64_t reach = 1 + static_cast<std::int64_t>(isqrt(room)); // one half pixel of slack
    const std::int64_t inset = (a - reach + 1) / 2;
    return std::max<std::int64_t>(inset, 0);
}

} // namespace

bool rowSpan(const RoundedBox& shape, int y, int& x0, int& x1)
{
    const Rect& r = shape.box;
    if (r.isEmpty() || y < r.top || y >= r.bottom)
        return false;
    const std::int64_t cw = std::clamp<std::int64_t>(shape.cornerW, 0, r.width64());
    const std::int64_t ch = std::clamp<std::int64_t>(shape.cornerH, 0, r.height64());
    const std::int64_t yy = std::min(std::int64_t{y} - r.top, std::int64_t{r.bottom} - 1 - y);
    std::int64_t inset = 0;
    if (yy < ch / 2)
        inset = cornerInset(cw, ch, yy);
    const std::int64_t left = std::int64_t{r.left} + inset;
    const std::int64_t right = std::int64_t{r.right} - 1 - inset;
    if (left > right)
        return false;
    x0 = static_cast<int>(left); // both lie inside the box
    x1 = static_cast<int>(right);
    return true;
}

RoundedBox shrunk(const RoundedBox& shape, int d)
{
    RoundedBox s = shape;
    s.box = shape.box.deflated(d);
    if (shape.isEllipse()) {
        s.cornerW = s.box.width64();
        s.cornerH = s.box.height64();
    } else {
        s.cornerW = std::max<std::int64_t>(0, shape.cornerW - 2 * std::int64_t{d});
        s.cornerH = std::max<std::int64_t>(0, shape.cornerH - 2 * std::int64_t{d});
    }
    return s;
}

} // namespace qv
