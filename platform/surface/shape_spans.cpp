#include "platform/surface/shape_spans.h"

#include <algorithm>
#include <cmath>
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

// The same for values below 2^52, where a double's square root is off by at most one.
std::uint64_t isqrtSmall(std::uint64_t v)
{
    auto r = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(v)));
    while (r * r > v)
        --r;
    while ((r + 1) * (r + 1) <= v)
        ++r;
    return r;
}

// Below this every product of cornerInset fits 64 bits and its root is taken in a double:
// the ellipses a panel shows, which would otherwise pay for 128-bit work on every row.
constexpr std::int64_t kSmallRadius = std::int64_t{1} << 16;

// Left inset of row `yy` (counted from the nearest horizontal edge) inside a corner
// ellipse of cw x ch pixels. Works in doubled coordinates so pixel centres are integers.
std::int64_t cornerInset(std::int64_t cw, std::int64_t ch, std::int64_t yy)
{
    if (cw <= 1 || ch <= 1)
        return 0;
    const std::int64_t a = cw - 1;      // doubled horizontal radius
    const std::int64_t b = ch - 1;      // doubled vertical radius
    const std::int64_t dy = 2 * yy - b; // doubled distance from the ellipse's centre row
    std::int64_t reach;                 // one half pixel of slack
    if (a < kSmallRadius && b < kSmallRadius) {
        const auto ua = static_cast<std::uint64_t>(a), ub = static_cast<std::uint64_t>(b);
        const auto udy = static_cast<std::uint64_t>(dy < 0 ? -dy : dy); // never above b (yy < ch / 2)
        const std::uint64_t b2 = ub * ub;
        reach = 1 + static_cast<std::int64_t>(isqrtSmall((b2 - udy * udy) * ua * ua / b2));
    } else {
        const u128 b2 = u128(b) * u128(b);
        const u128 dy2 = u128(dy < 0 ? -dy : dy) * u128(dy < 0 ? -dy : dy);
        reach = 1 + static_cast<std::int64_t>(isqrt((b2 - dy2) * u128(a) * u128(a) / b2));
    }
    const std::int64_t inset = (a - reach + 1) / 2;
    return std::max<std::int64_t>(inset, 0);
}

} // namespace

ShapeRows::ShapeRows(const RoundedBox& shape)
    : box_(shape.box),
      cornerW_(std::clamp<std::int64_t>(shape.cornerW, 0, std::max<std::int64_t>(0, shape.box.width64()))),
      cornerH_(std::clamp<std::int64_t>(shape.cornerH, 0, std::max<std::int64_t>(0, shape.box.height64())))
{
}

std::int64_t ShapeRows::cornerInsetAt(std::int64_t yy)
{
    if (yy >= kKeptRows)
        return cornerInset(cornerW_, cornerH_, yy);
    while (kept_ <= yy)
        insets_[static_cast<std::size_t>(kept_++)] = -1;
    std::int64_t& slot = insets_[static_cast<std::size_t>(yy)];
    if (slot < 0)
        slot = cornerInset(cornerW_, cornerH_, yy);
    return slot;
}

bool rowSpan(const RoundedBox& shape, int y, int& x0, int& x1)
{
    return ShapeRows(shape).span(y, x0, x1);
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
