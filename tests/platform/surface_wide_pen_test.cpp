// Wide pens: a line is a disc of the pen's diameter at every pixel of its Bresenham line. The
// row-span drawing must give exactly those pixels, and its cost must not follow the length.
#include "platform/surface/shape_spans.h"
#include "platform/surface/surface.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

namespace qv {
namespace {

constexpr ColorRef kWhite = 0x00FFFFFF;
constexpr ColorRef kInk = 0x00102030;

// The line as it was drawn before: every Bresenham pixel, both ends, stamps a whole disc.
void stampedLine(Surface& s, Point a, Point b, int w)
{
    const long long dx = std::llabs(0LL + b.x - a.x), dy = std::llabs(0LL + b.y - a.y);
    const int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
    const bool xMajor = dx >= dy;
    const long long major = xMajor ? dx : dy, minor = xMajor ? dy : dx;
    for (long long k = 0; k <= major; ++k) {
        long long side = 0;
        if (major != 0) {
            const long long num = 2 * k * minor - major, den = 2 * major;
            side = (num >= 0 ? num / den : -((-num + den - 1) / den)) + 1;
        }
        const long long x = a.x + sx * (xMajor ? k : side), y = a.y + sy * (xMajor ? side : k);
        if (x + w < 0 || x - w >= s.width() || y + w < 0 || y - w >= s.height())
            continue; // this disc cannot reach the surface
        const long long left = x - w / 2, top = y - w / 2;
        const RoundedBox disc = RoundedBox::ellipse(Rect::saturated(left, top, left + w, top + w));
        for (long long row = top; row < top + w; ++row) {
            int x0, x1;
            if (row >= 0 && row < s.height() && rowSpan(disc, static_cast<int>(row), x0, x1))
                for (int px = std::max(x0, 0); px <= std::min(x1, s.width() - 1); ++px)
                    s.setPixel(px, static_cast<int>(row), kInk);
        }
    }
}

int differingPixels(const Surface& a, const Surface& b)
{
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += a.getPixel(x, y) != b.getPixel(x, y);
    return n;
}

TEST(SurfaceWidePen, LinesMatchTheStampedDiscsPixelForPixel)
{
    const int widths[] = {2, 3, 4, 5, 6, 7, 8, 9, 15, 16, 17, 31, 32, 33, 63, 64, 151};
    const struct {
        const char* name;
        Point a, b;
    } segments[] = {
        {"horizontal", {10, 40}, {110, 40}},     {"vertical up", {60, 90}, {60, 5}},
        {"shallow", {5, 20}, {115, 61}},         {"steep", {30, 95}, {71, 2}},
        {"diagonal", {100, 90}, {10, 0}},        {"nearly flat, leftwards", {118, 50}, {3, 47}},
        {"one pixel", {50, 50}, {50, 50}},       {"short step", {40, 40}, {41, 42}},
        {"across from far away", {-3000, -1000}, {3000, 1100}},
        {"ends far outside", {-20000, 45}, {20000, 52}},
    };
    for (int w : widths)
        for (const auto& seg : segments) {
            SCOPED_TRACE(std::string(seg.name) + ", pen " + std::to_string(w));
            Surface drawn(120, 100, kWhite), stamped(120, 100, kWhite);
            drawn.selectPen({PS_SOLID, w, kInk});
            drawn.moveTo(seg.a.x, seg.a.y);
            drawn.lineTo(seg.b.x, seg.b.y);
            stampedLine(stamped, seg.a, seg.b, w);
            EXPECT_EQ(differingPixels(drawn, stamped), 0);
        }
}

TEST(SurfaceWidePen, TheClipLimitsAWideLine)
{
    Surface drawn(80, 60, kWhite), stamped(80, 60, kWhite);
    drawn.setClipRect({20, 10, 50, 40});
    drawn.selectPen({PS_SOLID, 24, kInk});
    const Point pts[] = {{0, 0}, {79, 59}, {0, 59}};
    drawn.polyline(pts, 3);
    stampedLine(stamped, pts[0], pts[1], 24);
    stampedLine(stamped, pts[1], pts[2], 24);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 80; ++x) {
            const bool inClip = x >= 20 && x < 50 && y >= 10 && y < 40;
            ASSERT_EQ(drawn.getPixel(x, y), inClip ? stamped.getPixel(x, y) : kWhite) << x << "," << y;
        }
}

// A pen from a hostile file: drawing must end at once and can only cover what the clip holds.
TEST(SurfaceWidePen, AHugePenAndLongLinesStayWithinTheClip)
{
    const struct {
        int width;
        Point a, b;
    } cases[] = {
        {20000, {0, 0}, {799, 479}},
        {20000, {400, -2000000000}, {400, 2000000000}},
        {INT_MAX, {INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}},
        {29812, {-30000, 240}, {30000, 240}},
    };
    for (const auto& c : cases) {
        Surface s(800, 480, kWhite);
        s.setClipRect({100, 100, 300, 200});
        s.selectPen({PS_SOLID, c.width, kInk});
        s.moveTo(c.a.x, c.a.y);
        s.lineTo(c.b.x, c.b.y);
        int inked = 0, outside = 0;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 800; ++x)
                if (s.getPixel(x, y) == kInk)
                    ++(x >= 100 && x < 300 && y >= 100 && y < 200 ? inked : outside);
        EXPECT_EQ(outside, 0);
        EXPECT_EQ(inked, 200 * 100) << "a pen this wide covers the whole clip";
    }
}

} // namespace
} // namespace qv
