// The row spans of rounded boxes and ellipses, asked row by row as the shapes draw them (the
// corner rows kept, each root walked on from the last row's) or one row at a time, must be
// the rows of the ellipse rule itself: a pixel of a corner row is inside when its doubled
// centre lies within the corner ellipse. Sizes around the places where the arithmetic
// changes (small and large radii, kept and unkept rows, short and long root walks), empty,
// inverted and clamped shapes, and boxes across the whole int range.
#include "platform/surface/shape_spans.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qv {
namespace {

using u128 = unsigned __int128;
using Span = std::optional<std::pair<int, int>>;

// The largest root with root^2 b^2 <= (b^2 - dy^2) a^2, found by bisection (no division).
std::int64_t rootByBisection(std::int64_t a, std::int64_t b, std::int64_t dy)
{
    const u128 ub = static_cast<u128>(b), ua = static_cast<u128>(a);
    const u128 udy = static_cast<u128>(dy < 0 ? -dy : dy);
    const u128 room = (ub * ub - udy * udy) * ua * ua;
    std::int64_t lo = 0, hi = a; // lo always fits
    while (lo < hi) {
        const std::int64_t mid = lo + (hi - lo + 1) / 2;
        const u128 m = static_cast<u128>(mid);
        if (m * m * ub * ub <= room)
            lo = mid;
        else
            hi = mid - 1;
    }
    return lo;
}

Span expectedSpan(const RoundedBox& s, int y)
{
    const Rect& r = s.box;
    if (r.isEmpty() || y < r.top || y >= r.bottom)
        return std::nullopt;
    const std::int64_t cw = std::clamp<std::int64_t>(s.cornerW, 0, r.width64());
    const std::int64_t ch = std::clamp<std::int64_t>(s.cornerH, 0, r.height64());
    const std::int64_t yy = std::min(std::int64_t{y} - r.top, std::int64_t{r.bottom} - 1 - y);
    std::int64_t inset = 0;
    if (yy < ch / 2 && cw > 1 && ch > 1) {
        const std::int64_t a = cw - 1, b = ch - 1;
        inset = std::max<std::int64_t>((a - rootByBisection(a, b, 2 * yy - b)) / 2, 0);
    }
    const std::int64_t left = std::int64_t{r.left} + inset, right = std::int64_t{r.right} - 1 - inset;
    if (left > right)
        return std::nullopt;
    return std::pair{static_cast<int>(left), static_cast<int>(right)};
}

Span spanOf(ShapeRows& rows, int y)
{
    int x0 = 0, x1 = 0;
    if (!rows.span(y, x0, x1))
        return std::nullopt;
    return std::pair{x0, x1};
}

// The rows to check: all of a short shape (one beyond each edge too), else runs at its
// edges and around its middle.
std::vector<int> rowsOf(const Rect& box)
{
    std::vector<int> rows;
    const auto run = [&rows](std::int64_t from, std::int64_t to) {
        for (std::int64_t y = std::max<std::int64_t>(from, INT_MIN); y < std::min<std::int64_t>(to, INT_MAX); ++y)
            rows.push_back(static_cast<int>(y));
    };
    const std::int64_t top = box.top, bottom = box.bottom;
    if (bottom - top <= 4000) {
        run(top - 1, bottom + 1);
    } else {
        const std::int64_t mid = top + (bottom - top) / 2;
        run(top - 1, top + 1200);
        run(mid - 600, mid + 600);
        run(bottom - 1200, bottom + 1);
    }
    return rows;
}

struct Case {
    const char* what;
    RoundedBox shape;
};

const Case kCases[] = {
    {"small ellipse", RoundedBox::ellipse({10, 20, 19, 27})},
    {"one-pixel ellipse", RoundedBox::ellipse({5, 5, 6, 6})},
    {"two-pixel ellipse", RoundedBox::ellipse({5, 5, 7, 7})},
    {"zero-width box", RoundedBox::ellipse({5, 5, 5, 40})},
    {"zero-height box", RoundedBox::ellipse({5, 5, 40, 5})},
    {"inverted box", RoundedBox::rounded({40, 40, 10, 10}, 8, 8)},
    {"corner wider than the box", RoundedBox::rounded({0, 0, 30, 200}, 500, 60)},
    {"negative corner", RoundedBox::rounded({0, 0, 30, 30}, -6, -6)},
    {"corner of one pixel each way", RoundedBox::rounded({0, 0, 30, 30}, 1, 1)},
    {"round rectangle", RoundedBox::rounded({-3, -7, 97, 53}, 25, 17)},
    // Roots that jump by more than a walk's steps from one row to the next.
    {"wide flat ellipse", RoundedBox::ellipse({0, 0, 3000, 40})},
    // Corner rows beyond those kept: rows far from the edge are worked out one by one.
    {"tall ellipse", RoundedBox::ellipse({0, 0, 41, 1500})},
    {"tall round rectangle", RoundedBox::rounded({0, 0, 300, 3000}, 280, 1400)},
    // Around the radius where the arithmetic leaves 64 bits.
    {"ellipse 2^16 - 1 wide", RoundedBox::ellipse({0, 0, 65535, 1201})},
    {"ellipse 2^16 wide", RoundedBox::ellipse({0, 0, 65536, 1201})},
    {"ellipse 2^16 + 1 wide", RoundedBox::ellipse({0, 0, 65537, 1201})},
    {"ellipse 2^16 + 2 wide", RoundedBox::ellipse({0, 0, 65538, 1201})},
    {"ellipse 2^16 tall", RoundedBox::ellipse({0, 0, 900, 65536})},
    {"ellipse 2^16 + 1 tall", RoundedBox::ellipse({0, 0, 900, 65537})},
    {"ellipse 2^16 each way", RoundedBox::ellipse({0, 0, 65536, 65536})},
    {"ellipse 2^16 + 1 each way", RoundedBox::ellipse({0, 0, 65537, 65537})},
    {"ellipse across the int range", RoundedBox::ellipse({INT_MIN, INT_MIN, INT_MAX, INT_MAX})},
    {"thin ellipse across the int range", RoundedBox::ellipse({-2, INT_MIN, 3, INT_MAX})},
    {"wide ellipse a few rows tall", RoundedBox::ellipse({INT_MIN, 100, INT_MAX, 107})},
};

TEST(ShapeRows, RowsInDrawingOrderFollowTheEllipseRule)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        ShapeRows rows(c.shape);
        for (int y : rowsOf(c.shape.box))
            ASSERT_EQ(spanOf(rows, y), expectedSpan(c.shape, y)) << "row " << y;
    }
}

// Rows asked from the bottom up, or from the middle outwards (each corner row then comes
// before the rows nearer the edge), and each row alone.
TEST(ShapeRows, RowsInAnyOrderGiveTheSameSpans)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        std::vector<int> backwards = rowsOf(c.shape.box);
        std::reverse(backwards.begin(), backwards.end());
        std::vector<int> middleOut = backwards;
        const std::int64_t mid = (std::int64_t{c.shape.box.top} + c.shape.box.bottom) / 2;
        std::stable_sort(middleOut.begin(), middleOut.end(), [mid](int p, int q) {
            return std::llabs(p - mid) < std::llabs(q - mid);
        });
        for (const auto& [order, ys] : {std::pair{"backwards", &backwards}, std::pair{"middle out", &middleOut}}) {
            ShapeRows rows(c.shape);
            for (int y : *ys)
                ASSERT_EQ(spanOf(rows, y), expectedSpan(c.shape, y)) << "row " << y << ", asked " << order;
        }
        for (int y : backwards) {
            int x0 = 0, x1 = 0;
            const Span alone = rowSpan(c.shape, y, x0, x1) ? Span(std::pair(x0, x1)) : std::nullopt;
            ASSERT_EQ(alone, expectedSpan(c.shape, y)) << "row " << y << " alone";
        }
    }
}

} // namespace
} // namespace qv
