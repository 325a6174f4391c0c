// Exact pixels of the Surface primitives: what each call covers, and nothing else.
#include "platform/surface/picture_image.h"
#include "platform/surface/surface.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <utility>

namespace qv {
namespace {

constexpr ColorRef kWhite = 0x00FFFFFF;
constexpr ColorRef kBlack = 0x00000000;
constexpr ColorRef kRed = rgb(255, 0, 0);
constexpr ColorRef kBlue = rgb(0, 0, 255);

bool in(int x, int y, int l, int t, int r, int b) // inclusive box
{
    return x >= l && x <= r && y >= t && y <= b;
}

struct PixelCase {
    std::string name;
    std::function<void(Surface&)> draw;
    std::function<ColorRef(int x, int y)> expected;
};

class PixelTable : public ::testing::TestWithParam<PixelCase> {};

TEST_P(PixelTable, CoversExactlyTheExpectedPixels)
{
    const PixelCase& c = GetParam();
    Surface s(60, 40, kWhite);
    c.draw(s);
    int wrong = 0;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            if (s.getPixel(x, y) != c.expected(x, y) && ++wrong <= 5)
                ADD_FAILURE() << c.name << ": pixel (" << x << "," << y << ") is " << std::hex << s.getPixel(x, y)
                              << ", expected " << c.expected(x, y);
    EXPECT_EQ(wrong, 0);
}

void penAndBrush(Surface& s, Pen p, Brush b)
{
    s.selectPen(p);
    s.selectBrush(b);
}

// A triangle from k pixels up and left of the surface: its diagonal edge crosses x + y = 40.
PixelCase farTriangle(std::string name, int k)
{
    return {std::move(name),
            [k](Surface& s) {
                penAndBrush(s, {PS_SOLID, 1, kBlack}, {BS_SOLID, kRed});
                const Point pts[] = {{-k, -k}, {k + 40, -k}, {-k, k + 40}};
                s.polygon(pts, 3);
            },
            [](int x, int y) { return x + y == 40 ? kBlack : x + y <= 38 ? kRed : kWhite; }};
}

INSTANTIATE_TEST_SUITE_P(
    Primitives, PixelTable,
    ::testing::Values(
        PixelCase{"rectangle_1px_pen",
                  [](Surface& s) {
                      penAndBrush(s, {PS_SOLID, 1, kBlack}, {BS_SOLID, kRed});
                      s.rectangle({10, 10, 30, 20});
                  },
                  [](int x, int y) {
                      if (in(x, y, 11, 11, 28, 18))
                          return kRed;
                      return in(x, y, 10, 10, 29, 19) ? kBlack : kWhite;
                  }},
        PixelCase{"rectangle_null_pen_fill_one_smaller",
                  [](Surface& s) {
                      penAndBrush(s, kNullPen, {BS_SOLID, kRed});
                      s.rectangle({10, 10, 30, 20});
                  },
                  [](int x, int y) { return in(x, y, 10, 10, 28, 18) ? kRed : kWhite; }},
        PixelCase{"rectangle_inside_frame_width3_stays_inside",
                  [](Surface& s) {
                      penAndBrush(s, {PS_INSIDEFRAME, 3, kBlack}, {BS_SOLID, kRed});
                      s.rectangle({10, 10, 30, 20});
                  },
                  [](int x, int y) {
                      if (in(x, y, 13, 13, 26, 16))
                          return kRed;
                      return in(x, y, 10, 10, 29, 19) ? kBlack : kWhite;
                  }},
        PixelCase{"rectangle_from_bottom_right_is_normalised",
                  [](Surface& s) {
                      penAndBrush(s, {PS_SOLID, 1, kBlack}, kNullBrush);
                      s.rectangle({30, 20, 10, 10});
                  },
                  [](int x, int y) {
                      return in(x, y, 10, 10, 29, 19) && !in(x, y, 11, 11, 28, 18) ? kBlack : kWhite;
                  }},
        PixelCase{"fill_rect_half_open",
                  [](Surface& s) { s.fillRect({5, 6, 8, 9}, kBlue); },
                  [](int x, int y) { return in(x, y, 5, 6, 7, 8) ? kBlue : kWhite; }},
        PixelCase{"fill_rect_respects_clip",
                  [](Surface& s) {
                      s.setClipRect({0, 0, 7, 40});
                      s.fillRect({5, 6, 20, 9}, kBlue);
                  },
                  [](int x, int y) { return in(x, y, 5, 6, 6, 8) ? kBlue : kWhite; }},
        PixelCase{"draw3drect_corners",
                  [](Surface& s) { s.draw3dRect({10, 10, 20, 16}, kRed, kBlue); },
                  [](int x, int y) {
                      // top row without its last pixel, left column without its last pixel
                      if ((y == 10 && in(x, y, 10, 10, 18, 10)) || (x == 10 && in(x, y, 10, 10, 10, 14)))
                          return kRed;
                      if ((x == 19 && in(x, y, 19, 10, 19, 15)) || (y == 15 && in(x, y, 10, 15, 19, 15)))
                          return kBlue;
                      return kWhite;
                  }},
        PixelCase{"cosmetic_line_leaves_out_last_pixel",
                  [](Surface& s) {
                      s.selectPen({PS_SOLID, 1, kBlack});
                      s.moveTo(2, 3);
                      s.lineTo(12, 3);
                  },
                  [](int x, int y) { return (y == 3 && x >= 2 && x <= 11) ? kBlack : kWhite; }},
        PixelCase{"wide_line_round_caps_cover_both_ends",
                  [](Surface& s) {
                      s.selectPen({PS_SOLID, 3, kBlack});
                      s.moveTo(10, 10);
                      s.lineTo(20, 10);
                  },
                  [](int x, int y) {
                      if (in(x, y, 10, 9, 20, 11))
                          return kBlack;
                      // caps: the one-pixel tips left of the start and right of the end
                      return ((x == 9 || x == 21) && y == 10) ? kBlack : kWhite;
                  }},
        PixelCase{"null_pen_line_draws_nothing",
                  [](Surface& s) {
                      s.selectPen(kNullPen);
                      s.moveTo(0, 0);
                      s.lineTo(50, 30);
                  },
                  [](int, int) { return kWhite; }},
        PixelCase{"polygon_square_fill_and_outline",
                  [](Surface& s) {
                      penAndBrush(s, {PS_SOLID, 1, kBlack}, {BS_SOLID, kRed});
                      const Point pts[] = {{10, 10}, {20, 10}, {20, 20}, {10, 20}};
                      s.polygon(pts, 4);
                  },
                  [](int x, int y) {
                      if (in(x, y, 10, 10, 20, 20) && (x == 10 || x == 20 || y == 10 || y == 20))
                          return kBlack;
                      return in(x, y, 11, 11, 19, 19) ? kRed : kWhite;
                  }},
        // Shapes reaching far past the surface, up to the whole int range: only the rows
        // and steps inside the clip are worked out, and nothing overflows.
        PixelCase{"huge_rectangle_wide_pen_fills_surface",
                  [](Surface& s) {
                      penAndBrush(s, {PS_SOLID, 3, kBlack}, {BS_SOLID, kRed});
                      s.rectangle({-1000000000, -1000000000, 1000000000, 1000000000});
                  },
                  [](int, int) { return kRed; }},
        PixelCase{"huge_rectangle_wide_pen_edge_inside",
                  [](Surface& s) {
                      penAndBrush(s, {PS_SOLID, 3, kBlack}, {BS_SOLID, kRed});
                      s.rectangle({-1000000000, 10, 1000000000, 1000000000});
                  },
                  [](int, int y) { return y < 9 ? kWhite : y <= 11 ? kBlack : kRed; }},
        PixelCase{"int_range_rectangle_and_ellipse",
                  [](Surface& s) {
                      penAndBrush(s, {PS_SOLID, 1, kBlack}, {BS_SOLID, kRed});
                      s.rectangle({INT_MIN, INT_MIN, INT_MAX, INT_MAX});
                      s.selectBrush({BS_SOLID, kBlue});
                      s.ellipse({INT_MIN, INT_MIN, INT_MAX, INT_MAX});
                  },
                  [](int, int) { return kBlue; }},
        PixelCase{"huge_ellipse_top_edge_inside",
                  [](Surface& s) {
                      penAndBrush(s, {PS_SOLID, 1, kBlack}, {BS_SOLID, kRed});
                      s.ellipse({30 - 1000000000, 10, 30 + 1000000000, 2000000010});
                  },
                  [](int x, int y) {
                      // the top row is the tip at the centre columns; the next one spans the
                      // surface and is outline wherever the tip is not above it
                      const bool tip = x == 29 || x == 30;
                      if (y == 10)
                          return tip ? kBlack : kWhite;
                      return y < 10 ? kWhite : (y == 11 && !tip) ? kBlack : kRed;
                  }},
        PixelCase{"huge_lines_cross_the_surface",
                  [](Surface& s) {
                      s.selectPen({PS_SOLID, 1, kBlack});
                      s.moveTo(-1000000000, 5);
                      s.lineTo(1000000000, 5);
                      s.moveTo(25, 1000000000);
                      s.lineTo(25, -1000000000);
                      s.moveTo(INT_MIN, INT_MIN);
                      s.lineTo(INT_MAX, INT_MAX);
                      s.selectPen({PS_SOLID, 3, kBlue});
                      s.moveTo(1000000000, 20);
                      s.lineTo(-1000000000, 20);
                  },
                  [](int x, int y) {
                      if (y >= 19 && y <= 21)
                          return kBlue;
                      return (y == 5 || x == 25 || x == y) ? kBlack : kWhite;
                  }},
        PixelCase{"far_dotted_line_keeps_its_phase",
                  [](Surface& s) {
                      s.selectPen({PS_DOT, 1, kBlack});
                      s.moveTo(-600000000, 7); // a whole number of 6-pixel periods left of x = 0
                      s.lineTo(1000000000, 7);
                  },
                  [](int x, int y) { return y == 7 && x % 6 < 3 ? kBlack : kWhite; }},
        farTriangle("huge_triangle_fill_and_diagonal_edge", 1000000000),
        // Around where the fill's crossings leave 64 bits.
        farTriangle("triangle_last_in_64_bits", (1 << 20) - 1),
        farTriangle("triangle_first_in_128_bits", 1 << 20),
        farTriangle("triangle_past_64_bit_products", 1 << 24),
        PixelCase{"rows_copied_down_within_clip_and_row",
                  [](Surface& s) {
                      const std::uint32_t row[] = {toPixel(kRed), toPixel(kBlue), toPixel(kBlack)};
                      s.fillRows({5, 2, 9, 4}, row); // four wide, the row three: column 8 is left
                      s.setClipRect({11, 6, 60, 40});
                      s.fillRows({10, 5, 13, 8}, row); // column 10 and row 5 are clipped
                  },
                  [](int x, int y) {
                      const ColorRef band[] = {kRed, kBlue, kBlack};
                      if (in(x, y, 5, 2, 7, 3))
                          return band[x - 5];
                      if (in(x, y, 11, 6, 12, 7))
                          return band[x - 10];
                      return kWhite;
                  }},
        PixelCase{"int_range_polygon_fills_surface",
                  [](Surface& s) {
                      penAndBrush(s, {PS_SOLID, 1, kBlack}, {BS_SOLID, kRed});
                      const Point pts[] = {{INT_MIN, INT_MIN}, {INT_MAX, INT_MIN}, {INT_MAX, INT_MAX}, {INT_MIN, INT_MAX}};
                      s.polygon(pts, 4);
                  },
                  [](int, int) { return kRed; }}),
    [](const ::testing::TestParamInfo<PixelCase>& info) { return info.param.name; });

std::vector<std::pair<int, int>> inkOf(const Surface& s, ColorRef background)
{
    std::vector<std::pair<int, int>> out;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            if (s.getPixel(x, y) != background)
                out.emplace_back(x, y);
    return out;
}


class RoundShapes : public ::testing::TestWithParam<Rect> {};

// Ellipses and round rectangles are mirror-symmetric and touch every side of their box,
// for odd and even sizes, with and without a pen.
TEST_P(RoundShapes, SymmetricAndTouchingAllSides)
{
    const Rect box = GetParam();
    using Draw = std::function<void(Surface&)>;
    const Draw draws[] = {
        [&](Surface& s) { penAndBrush(s, {PS_SOLID, 1, kBlack}, {BS_SOLID, kRed}); s.ellipse(box); },
        [&](Surface& s) { penAndBrush(s, {PS_INSIDEFRAME, 4, kBlack}, {BS_SOLID, kRed}); s.ellipse(box); },
        [&](Surface& s) { penAndBrush(s, {PS_SOLID, 1, kBlack}, {BS_SOLID, kRed}); s.roundRect(box, 12, 8); },
    };
    for (const Draw& draw : draws) {
        Surface s(60, 60, kWhite);
        draw(s);
        int minX = 1000, minY = 1000, maxX = -1, maxY = -1;
        for (auto [x, y] : inkOf(s, kWhite)) {
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
            const int mx = box.left + box.right - 1 - x;
            const int my = box.top + box.bottom - 1 - y;
            EXPECT_EQ(s.getPixel(mx, y), s.getPixel(x, y)) << "left-right mirror of " << x << "," << y;
            EXPECT_EQ(s.getPixel(x, my), s.getPixel(x, y)) << "top-bottom mirror of " << x << "," << y;
        }
        EXPECT_EQ(minX, box.left);
        EXPECT_EQ(maxX, box.right - 1);
        EXPECT_EQ(minY, box.top);
        EXPECT_EQ(maxY, box.bottom - 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, RoundShapes,
                         ::testing::Values(Rect{10, 10, 41, 31}, Rect{10, 10, 40, 30}, Rect{5, 5, 55, 13},
                                           Rect{20, 5, 27, 50}));

TEST(SurfaceBlit, TransparentBltKeysOnlyTheExactColour)
{
    Surface src(3, 1, kWhite);
    src.setPixel(0, 0, 0x000000);
    src.setPixel(1, 0, 0x000001);
    src.setPixel(2, 0, 0x010000);
    Surface dst(3, 1, kRed);
    dst.transparentBlt({0, 0, 3, 1}, src, {0, 0, 3, 1}, 0x000000);
    EXPECT_EQ(dst.getPixel(0, 0), kRed);
    EXPECT_EQ(dst.getPixel(1, 0), 0x000001u);
    EXPECT_EQ(dst.getPixel(2, 0), 0x010000u);
}

TEST(SurfaceBlit, DstInvertTwiceRestores)
{
    Surface s(16, 16, kWhite);
    s.fillRect({2, 2, 9, 12}, rgb(12, 200, 77));
    const std::vector<std::uint32_t> before(s.bits(), s.bits() + 16 * 16);
    s.patBltInvert({1, 1, 11, 7});
    EXPECT_EQ(s.getPixel(3, 3), invertColor(rgb(12, 200, 77)));
    s.patBltInvert({1, 1, 11, 7});
    EXPECT_EQ(std::vector<std::uint32_t>(s.bits(), s.bits() + 16 * 16), before);
}

TEST(SurfaceBlit, SrcAndAndStretchNearest)
{
    Surface src(2, 2, kWhite);
    src.setPixel(0, 0, kRed);
    src.setPixel(1, 1, kBlue);
    Surface dst(4, 4, kBlack);
    dst.stretchBlt({0, 0, 4, 4}, src, {0, 0, 2, 2});
    EXPECT_EQ(dst.getPixel(1, 1), kRed);
    EXPECT_EQ(dst.getPixel(2, 1), kWhite);
    EXPECT_EQ(dst.getPixel(3, 3), kBlue);

    Surface a(1, 1, rgb(0xF0, 0x0F, 0xFF));
    Surface b(1, 1, rgb(0x3C, 0xFF, 0x00));
    b.bitBlt(0, 0, 1, 1, a, 0, 0, RasterOp::SrcAnd);
    EXPECT_EQ(b.getPixel(0, 0), rgb(0x30, 0x0F, 0x00));
}

TEST(SurfaceBlit, OutOfRangeBlitsAndPixelsAreHarmless)
{
    Surface s(8, 8, kWhite);
    Surface src(4, 4, kRed);
    s.bitBlt(-100, -100, 1000, 1000, src, -5, -5);
    s.stretchBlt({-10, -10, 100, 100}, src, {0, 0, 4, 4});
    s.setPixel(-1, 3, kBlack);
    s.setPixel(8, 3, kBlack);
    EXPECT_EQ(s.getPixel(-1, 0), kInvalidColor);
    EXPECT_EQ(s.getPixel(0, 0), kRed);

    // Offsets and sizes at the ends of the int range neither wrap nor reach memory.
    Surface t(8, 8, kWhite);
    t.bitBlt(INT_MAX, INT_MAX, INT_MAX, INT_MAX, src, INT_MIN, INT_MIN);
    t.bitBlt(0, 0, 8, 8, src, INT_MAX, INT_MIN);
    t.stretchBlt({INT_MAX, INT_MIN, INT_MIN, INT_MAX}, src, {INT_MIN, INT_MIN, INT_MAX, INT_MAX});
    t.transparentBlt({INT_MIN, INT_MIN, INT_MAX, INT_MAX}, src, {INT_MAX, 0, INT_MIN, 4}, kBlue);
    t.draw3dRect({INT_MIN, INT_MIN, INT_MAX, INT_MAX}, kBlack, kBlack);
    t.roundRect({INT_MIN, INT_MIN, INT_MAX, INT_MAX}, INT_MIN, INT_MIN);
    EXPECT_EQ(t.getPixel(7, 7), kWhite); // nothing of the source is in reach; the shapes' edges are far away
}

// A picture with a transparent pixel and a key-coloured one, stretched anywhere in the int
// range: the same pixels as the plain stretch less what it leaves out.
TEST(SurfacePicture, StretchedPictureLeavesOutTransparentAndKeyPixels)
{
    Picture pic;
    pic.pixels.reset(3, 2, kRed);
    pic.pixels.setPixel(1, 0, kBlue);  // the key
    pic.pixels.setPixel(2, 1, kBlack); // transparent below
    pic.opaque = {1, 1, 1, 1, 1, 0};
    const Rect cases[] = {
        {2, 3, 14, 11},
        {14, 11, 2, 3},                                // mirrored
        {INT_MIN + 3, 1, 12, 9},                       // far left edge: the same sampling near the surface
        {INT_MIN, INT_MIN, INT_MAX, INT_MAX},
        {-40, -40, 200, 200},
    };
    for (const Rect& dst : cases) {
        Surface plain(16, 12, kWhite), drawn(16, 12, kWhite), keyed(16, 12, kWhite);
        plain.stretchBlt(dst, pic.pixels, pic.pixels.bounds());
        drawPicture(drawn, pic, dst);
        drawPictureKeyed(keyed, pic, dst, kBlue);
        int shown = 0;
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 16; ++x) {
                const ColorRef p = plain.getPixel(x, y);
                EXPECT_EQ(drawn.getPixel(x, y), p == kBlack ? kWhite : p) << x << "," << y;
                EXPECT_EQ(keyed.getPixel(x, y), p == kBlack || p == kBlue ? kWhite : p) << x << "," << y;
                shown += keyed.getPixel(x, y) == kRed;
            }
        EXPECT_GT(shown, 0) << dst.left << "," << dst.top;
    }
    Surface clipped(16, 12, kWhite);
    clipped.setClipRect({4, 4, 8, 8});
    drawPictureKeyed(clipped, pic, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, kBlue);
    EXPECT_EQ(clipped.getPixel(3, 3), kWhite);
    EXPECT_EQ(clipped.getPixel(8, 8), kWhite);
}

} // namespace
} // namespace qv
