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

// Below this every product of a corner's arithmetic fits 64 bits and square roots are
// taken in a double: the ellipses a panel shows, which would otherwise pay for 128-bit work
// on every row.
constexpr std::int64_t kSmallRadius = std::int64_t{1} << 16;

// A corner ellipse of cw x ch pixels, worked in doubled coordinates so pixel centres are
// integers: row `yy` (counted from the nearest horizontal edge) reaches
// root = floor(sqrt(((b^2 - dy^2) a^2) / b^2)) doubled units from the centre column, with
// a = cw - 1, b = ch - 1 and dy = 2 yy - b; its left inset is (a - root) / 2.
struct CornerRow {
    std::int64_t a, b, dy;
    CornerRow(std::int64_t cw, std::int64_t ch, std::int64_t yy) : a(cw - 1), b(ch - 1), dy(2 * yy - ch + 1) {}
    std::int64_t insetOf(std::int64_t root) const { return std::max<std::int64_t>((a - root) / 2, 0); }
};

// The root of a small corner's row: numerator and denominator of the root's square.
struct SmallRoot {
    std::uint64_t n, d;
    explicit SmallRoot(const CornerRow& c)
    {
        const auto ua = static_cast<std::uint64_t>(c.a), ub = static_cast<std::uint64_t>(c.b);
        const auto udy = static_cast<std::uint64_t>(c.dy < 0 ? -c.dy : c.dy); // never above b (yy < ch / 2)
        d = ub * ub;
        n = (d - udy * udy) * ua * ua;
    }
    // root^2 * d <= n: the products stay below 2^64 since root <= a < 2^16.
    bool reaches(std::uint64_t root) const { return root * root * d <= n; }
    std::uint64_t direct() const { return isqrtSmall(n / d); }
};

// Left inset of row `yy` inside a corner ellipse of cw x ch pixels.
std::int64_t cornerInset(std::int64_t cw, std::int64_t ch, std::int64_t yy)
{
    if (cw <= 1 || ch <= 1)
        return 0;
    const CornerRow c(cw, ch, yy);
    if (c.a < kSmallRadius && c.b < kSmallRadius)
        return c.insetOf(static_cast<std::int64_t>(SmallRoot(c).direct()));
    const u128 b2 = u128(c.b) * u128(c.b);
    const u128 dy2 = u128(c.dy < 0 ? -c.dy : c.dy) * u128(c.dy < 0 ? -c.dy : c.dy);
    return c.insetOf(static_cast<std::int64_t>(isqrt((b2 - dy2) * u128(c.a) * u128(c.a) / b2)));
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
        slot = smallCornerInset(yy);
    return slot;
}

std::int64_t ShapeRows::smallCornerInset(std::int64_t yy)
{
    if (cornerW_ <= 1 || cornerH_ <= 1 || cornerW_ > kSmallRadius || cornerH_ > kSmallRadius)
        return cornerInset(cornerW_, cornerH_, yy);
    // Rows come one after the other and the root only grows toward the middle row: it is
    // walked on from the last row's, and worked out afresh when it would take long.
    const CornerRow c(cornerW_, cornerH_, yy);
    const SmallRoot root(c);
    std::uint64_t r = rootRow_ >= 0 && rootRow_ <= yy ? root_ : 0;
    for (int steps = 0; root.reaches(r + 1); ++r) {
        if (++steps > kRootWalk) {
            r = root.direct();
            break;
        }
    }
    rootRow_ = yy;
    root_ = r;
    return c.insetOf(static_cast<std::int64_t>(r));
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
