#include "model/shape/shape_region.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace qv::region {

namespace {

using i64 = std::int64_t;
using i128 = __int128;

i64 floorDiv2(i64 v) { return v >= 0 ? v / 2 : -((-v + 1) / 2); }

// Distance (in doubled coordinates) from the pixel centres 2p+1, p in [p0, p1], to the
// interval [lo, hi]; the smallest over the pixels.
i64 nearestGap(i64 p0, i64 p1, i64 lo, i64 hi)
{
    auto gap = [&](i64 p) {
        const i64 c = 2 * p + 1;
        return std::max<i64>({0, lo - c, c - hi});
    };
    const i64 a = std::clamp(floorDiv2(lo - 1), p0, p1);
    const i64 b = std::clamp(a + 1, p0, p1);
    const i64 c = std::clamp(floorDiv2(hi - 1), p0, p1);
    return std::min({gap(a), gap(b), gap(c), gap(std::clamp(c + 1, p0, p1))});
}

// Is (ex, ey) inside the ellipse of semi-axes (ax, ay)? All in doubled coordinates.
bool insideEllipse(i64 ex, i64 ey, i64 ax, i64 ay)
{
    constexpr i64 kExactLimit = i64{1} << 30;
    if (ax < kExactLimit && ay < kExactLimit) {
        const i128 lhs = i128(ex) * ex * ay * ay + i128(ey) * ey * ax * ax;
        return lhs <= i128(ax) * ax * ay * ay;
    }
    const long double x = static_cast<long double>(ex) / ax;
    const long double y = static_cast<long double>(ey) / ay;
    return x * x + y * y <= 1.0L;
}

// Corner sizes are 64-bit so that an ellipse may pass the full width of any rectangle.
bool roundRectMeets(const Rect& shape, i64 cornerX, i64 cornerY, const Rect& query)
{
    const i64 qx0 = std::max<i64>(shape.left, query.left);
    const i64 qx1 = std::min<i64>(shape.right, query.right) - 1;
    const i64 qy0 = std::max<i64>(shape.top, query.top);
    const i64 qy1 = std::min<i64>(shape.bottom, query.bottom) - 1;
    if (qx0 > qx1 || qy0 > qy1)
        return false;
    const i64 w = i64(shape.right) - shape.left;
    const i64 h = i64(shape.bottom) - shape.top;
    const i64 cw = std::min<i64>(std::llabs(cornerX), w);
    const i64 ch = std::min<i64>(std::llabs(cornerY), h);
    // The straight middle bands; the corners are quarter ellipses of semi-axes cw/2, ch/2.
    const i64 ex = nearestGap(qx0, qx1, 2 * i64(shape.left) + cw, 2 * i64(shape.right) - cw);
    const i64 ey = nearestGap(qy0, qy1, 2 * i64(shape.top) + ch, 2 * i64(shape.bottom) - ch);
    if (ex == 0 || ey == 0)
        return true;
    return insideEllipse(ex, ey, cw, ch);
}

} // namespace

bool RoundRectMeets(const Rect& shape, Size corner, const Rect& query)
{
    return roundRectMeets(shape, corner.cx, corner.cy, query);
}

bool EllipseMeets(const Rect& shape, const Rect& query)
{
    return roundRectMeets(shape, i64(shape.right) - shape.left, i64(shape.bottom) - shape.top, query);
}

bool LineBandMeets(Point a, Point b, int halfX, int halfY, const Rect& query)
{
    if (query.isEmpty())
        return false;
    // Doubled coordinates: pixel centres of the query are odd numbers.
    const i64 hx = 2 * std::llabs(halfX), hy = 2 * std::llabs(halfY);
    const i64 x0 = 2 * i64(query.left) + 1 - hx, x1 = 2 * (i64(query.right) - 1) + 1 + hx;
    const i64 y0 = 2 * i64(query.top) + 1 - hy, y1 = 2 * (i64(query.bottom) - 1) + 1 + hy;
    const i64 ax = 2 * i64(a.x), ay = 2 * i64(a.y), bx = 2 * i64(b.x), by = 2 * i64(b.y);
    // The band meets the query exactly when the segment meets the query grown by the band's
    // half widths; separate them along x, y and the segment's normal.
    if (std::max(ax, bx) < x0 || std::min(ax, bx) > x1 || std::max(ay, by) < y0 || std::min(ay, by) > y1)
        return false;
    const i128 nx = -(by - ay), ny = bx - ax;
    const i128 along = nx * ax + ny * ay;
    const i128 c[4] = {nx * x0 + ny * y0, nx * x1 + ny * y0, nx * x0 + ny * y1, nx * x1 + ny * y1};
    const i128 lo = std::min({c[0], c[1], c[2], c[3]});
    const i128 hi = std::max({c[0], c[1], c[2], c[3]});
    return lo <= along && along <= hi;
}

} // namespace qv::region
