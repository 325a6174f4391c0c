// Text on the Surface: mono glyphs in their cells, the DrawText layouts, same pixels on
// every thread.
#include "platform/surface/surface.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>
#include <thread>

namespace qv {
namespace {

constexpr ColorRef kWhite = 0x00FFFFFF;
constexpr ColorRef kInk = rgb(200, 10, 30);
constexpr ColorRef kBack = rgb(10, 220, 40);

LogFont fontOfHeight(int h, const char* face = "宋体")
{
    LogFont f;
    f.lfHeight = h;
    f.lfWeight = 400;
    f.lfCharSet = 134;
    f.setFaceName(face);
    return f;
}

Rect inkBox(const Surface& s, ColorRef background)
{
    Rect box{s.width(), s.height(), -1, -1};
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            if (s.getPixel(x, y) != background) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::max(box.bottom, y + 1);
            }
    return box;
}

TEST(SurfaceText, OnlyTextAndBackgroundColoursAppear)
{
    for (int mode : {OPAQUE, TRANSPARENT}) {
        Surface s(200, 40, kWhite);
        s.selectFont(fontOfHeight(16));
        s.setTextColor(kInk);
        s.setBkColor(kBack);
        s.setBkMode(mode);
        s.textOut(3, 3, "温度 Temp 123 & ok");
        s.selectFont(fontOfHeight(-20, "Arial"));
        s.textOut(3, 20, "Bold & 汉字 mixed");
        std::set<ColorRef> seen;
        for (int y = 0; y < s.height(); ++y)
            for (int x = 0; x < s.width(); ++x)
                seen.insert(s.getPixel(x, y));
        std::set<ColorRef> allowed{kWhite, kInk};
        if (mode == OPAQUE)
            allowed.insert(kBack);
        for (ColorRef c : seen)
            EXPECT_TRUE(allowed.count(c)) << "mode " << mode << " colour " << std::hex << c;
        EXPECT_TRUE(seen.count(kInk));
    }
}

// Every GB2312 character (rows A1..F7) draws its ink inside its h x h cell.
TEST(SurfaceText, Gb2312InkStaysInsideTheCell)
{
    for (int h : {12, 16, 24}) {
        Surface s(3 * h, 3 * h, kWhite);
        s.selectFont(fontOfHeight(h));
        s.setTextColor(0);
        s.setBkMode(TRANSPARENT);
        int checked = 0;
        for (int hi = 0xA1; hi <= 0xF7; ++hi) {
            if (hi >= 0xAA && hi <= 0xAF)
                continue; // rows GB2312 leaves empty
            for (int lo = 0xA1; lo <= 0xFE; ++lo) {
                const char ch[3] = {static_cast<char>(hi), static_cast<char>(lo), 0};
                s.clear(kWhite);
                s.textOut(h, h, ch);
                const Rect ink = inkBox(s, kWhite);
                if (ink.right < 0)
                    continue; // blank or undefined code point
                ++checked;
                ASSERT_GE(ink.left, h) << std::hex << hi << lo << " at " << std::dec << h;
                ASSERT_GE(ink.top, h) << std::hex << hi << lo << " at " << std::dec << h;
                ASSERT_LE(ink.right, 2 * h) << std::hex << hi << lo << " at " << std::dec << h;
                ASSERT_LE(ink.bottom, 2 * h) << std::hex << hi << lo << " at " << std::dec << h;
            }
        }
        EXPECT_GT(checked, 7000) << "glyphs found at height " << h;
    }
}

std::vector<std::uint32_t> renderSample()
{
    Surface s(240, 120, kWhite);
    s.selectFont(fontOfHeight(16));
    s.setTextColor(kInk);
    s.setBkColor(kBack);
    s.drawText("多行文本\r\n第二行 with Latin", Rect{4, 4, 236, 60}, DT_EDITCONTROL);
    LogFont bold = fontOfHeight(24, "Arial");
    bold.lfWeight = 700;
    bold.lfItalic = 1;
    bold.lfUnderline = 1;
    s.selectFont(bold);
    s.drawText("Centred 居中", Rect{0, 60, 240, 120}, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    return {s.bits(), s.bits() + 240 * 120};
}

TEST(SurfaceText, WorkerThreadRendersTheSameBytes)
{
    const auto mainPixels = renderSample();
    std::vector<std::uint32_t> workerPixels;
    std::thread worker([&] { workerPixels = renderSample(); });
    worker.join();
    EXPECT_EQ(mainPixels, workerPixels);
}

struct LayoutCase {
    const char* name;
    const char* text;
    unsigned format;
    Rect box;
    Rect expectInkWithin; // the ink must lie inside this box
    int expectLines;      // rows of 16-pixel cells holding ink
};

class DrawTextLayouts : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(DrawTextLayouts, InkLandsWhereTheFlagsSay)
{
    const LayoutCase& c = GetParam();
    Surface s(200, 100, kWhite);
    s.selectFont(fontOfHeight(16));
    s.setTextColor(0);
    s.setBkMode(TRANSPARENT);
    s.drawText(c.text, c.box, c.format);
    const Rect ink = inkBox(s, kWhite);
    ASSERT_GE(ink.right, 0) << c.name << ": nothing drawn";
    EXPECT_GE(ink.left, c.expectInkWithin.left) << c.name;
    EXPECT_GE(ink.top, c.expectInkWithin.top) << c.name;
    EXPECT_LE(ink.right, c.expectInkWithin.right) << c.name;
    EXPECT_LE(ink.bottom, c.expectInkWithin.bottom) << c.name;
    int lines = 0;
    for (int top = c.box.top; top + 16 <= s.height(); top += 16) {
        Surface band(200, 16, kWhite);
        band.bitBlt(0, 0, 200, 16, s, 0, top);
        if (inkBox(band, kWhite).right >= 0)
            ++lines;
    }
    EXPECT_EQ(lines, c.expectLines) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Flags, DrawTextLayouts,
    ::testing::Values(
        // two CJK characters are 32 pixels wide: centred in 100 x 48 they start at (34, 16)
        LayoutCase{"centred_single_line", "居中", DT_CENTER | DT_VCENTER | DT_SINGLELINE, {0, 0, 100, 48}, {34, 16, 66, 32}, 1},
        LayoutCase{"right_aligned", "右对齐", DT_RIGHT | DT_SINGLELINE, {0, 0, 100, 16}, {52, 0, 100, 16}, 1},
        LayoutCase{"line_breaks_without_wrap", "一行\r\n二行\n三行", DT_EDITCONTROL, {0, 0, 200, 100}, {0, 0, 32, 48}, 3},
        LayoutCase{"word_break_between_cjk", "一二三四五六七八", DT_WORDBREAK, {0, 0, 64, 100}, {0, 0, 64, 32}, 2},
        LayoutCase{"edit_control_hides_partial_last_line", "一二三四五六七八九十", DT_WORDBREAK | DT_EDITCONTROL,
                   {0, 0, 64, 40}, {0, 0, 64, 32}, 2},
        LayoutCase{"ampersand_is_literal", "A&B", DT_SINGLELINE, {0, 0, 200, 16}, {0, 0, 40, 16}, 1},
        LayoutCase{"clipped_to_rectangle", "一二三四五六七八", DT_SINGLELINE, {0, 0, 40, 16}, {0, 0, 40, 16}, 1}),
    [](const ::testing::TestParamInfo<LayoutCase>& info) { return std::string(info.param.name); });

TEST(SurfaceText, CalcRectMeasuresWithoutDrawing)
{
    Surface s(100, 100, kWhite);
    s.selectFont(fontOfHeight(16));
    Rect r{10, 10, 60, 10};
    const int h = s.drawText("一二三四五六", r, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_EQ(h, 32);
    EXPECT_EQ(r, (Rect{10, 10, 58, 42}));
    EXPECT_EQ(inkBox(s, kWhite).right, -1);
    EXPECT_EQ(s.textExtent("汉字ab").cy, 16);
}

// Text placed from a file anywhere in the int range: nothing wraps round onto the surface,
// and text that crosses an edge keeps the part inside.
TEST(SurfaceText, PositionsAtTheEdgesOfTheIntRange)
{
    LogFont underlined = fontOfHeight(16);
    underlined.lfUnderline = 1;
    underlined.lfStrikeOut = 1;
    struct Case {
        int x, y;
        unsigned align;
    };
    const Case cases[] = {
        {3, INT_MAX, TA_LEFT | TA_TOP},        {3, INT_MAX - 4, TA_LEFT | TA_TOP},
        {3, INT_MIN, TA_LEFT | TA_BASELINE},   {3, INT_MIN + 2, TA_LEFT | TA_BOTTOM},
        {INT_MAX, 3, TA_LEFT | TA_TOP},        {INT_MIN, 3, TA_RIGHT | TA_TOP},
        {INT_MIN + 1, 3, TA_CENTER | TA_TOP},  {INT_MAX, INT_MAX, TA_RIGHT | TA_BOTTOM},
    };
    for (const Case& c : cases) {
        Surface s(80, 40, kWhite);
        s.selectFont(underlined);
        s.setTextColor(kInk);
        s.setBkColor(kBack);
        s.setBkMode(OPAQUE);
        s.setTextAlign(c.align);
        s.textOut(c.x, c.y, "温度 Temp");
        EXPECT_EQ(inkBox(s, kWhite).right, -1) << c.x << "," << c.y;
    }
    for (int mode : {OPAQUE, TRANSPARENT}) {
        Surface s(80, 40, kWhite);
        s.selectFont(underlined);
        s.setTextColor(kInk);
        s.setBkColor(kBack);
        s.setBkMode(mode);
        s.drawText("一\n二\n三", Rect{0, INT_MAX - 20, 80, INT_MAX}, DT_NOCLIP);
        s.drawText("一\n二\n三", Rect{0, INT_MAX - 20, 80, INT_MAX}, DT_EDITCONTROL);
        EXPECT_EQ(inkBox(s, kWhite).right, -1);
    }
    // Crossing the top and left edges: the part inside is the same pixels as drawn in full.
    Surface full(80, 40, kWhite), cut(80, 40, kWhite);
    for (Surface* s : {&full, &cut}) {
        s->selectFont(underlined);
        s->setTextColor(kInk);
        s->setBkMode(TRANSPARENT);
    }
    full.textOut(10, 12, "温度 Temp");
    cut.textOut(-5, -7, "温度 Temp");
    for (int y = 0; y + 19 < 40; ++y)
        for (int x = 0; x + 15 < 80; ++x)
            ASSERT_EQ(cut.getPixel(x, y), full.getPixel(x + 15, y + 19)) << x << "," << y;
}

} // namespace
} // namespace qv
