// The curve and progress bar painters: layout stored for the compiler, data drawn only with
// a second work surface, placeholders, the hide bit and hostile blocks.
#include "model/document/draw_doc.h"
#include "model/paint/controls/curve_bar_table_painters.h"
#include "model/params/block_bytes.h"
#include "model/params/blocks/curve_block.h"
#include "model/params/blocks/progress_bar_block.h"
#include "model/vars/var_bank.h"
#include "paint_fixtures.h"

#include <climits>
#include <string>
#include <vector>

namespace qv {
namespace {

using namespace test;

constexpr ColorRef kBack = rgb(240, 240, 200);
constexpr ColorRef kGrid = rgb(0, 128, 0);
constexpr ColorRef kLabel = rgb(128, 0, 0);
constexpr ColorRef kInk = rgb(0, 0, 255);

// Address of the curve's samples and of the progress bar's value.
constexpr int kSamples = 100;
constexpr int kBarValue = 200;
constexpr int kHideByte = 300;

// A curve in (10, 10, 210, 130): top 100, bottom 0, margins 8, labels and grid off unless a
// test turns them on; one record bound to row 0 ("unsigned char" at kSamples).
struct CurveFixture {
    CurveFixture()
    {
        doc.m_varTable.AppendRow(std::to_string(kSamples), "unsigned char", "samples", "0", "");
        doc.m_varTable.AppendRow("65532", "unsigned int", "at the end", "0", "");
        curve = makeShape(ShapeKind::Curve, {10, 10, 210, 130});
        curve->m_pOwnerDoc = &doc;
        curve->m_logfont.lfHeight = 12;
        using namespace blocks::curve;
        set(kLabelColor.offset, kLabel);
        set(kGridColor.offset, kGrid);
        set(kBackColor.offset, kBack);
        set(kGridWidth.offset, 1);
        set(kNoGrid.offset, 1);
        set(kVerticalDivisions.offset, 4);
        set(kHorizontalDivisions.offset, 3);
        set(kNoLabels.offset, 1);
        set(kTopValue.offset, 100);
        set(kLabelCount.offset, 4);
        set(kBottomMargin.offset, 8);
        set(kLeftMargin.offset, 8);
        set(kPointCount.offset, 3);
        set(kCurveCount.offset, 1);
        record(0, 0, kInk, kPolyline, 1);
        ctx.varMem = &mem;
    }
    void set(int offset, std::int64_t v) { curve->SetParamI32(static_cast<std::size_t>(offset), static_cast<std::int32_t>(v)); }
    void record(int i, std::int32_t index, ColorRef color, int style, int size)
    {
        const int base = blocks::curve::kRecordBase + blocks::curve::kRecordSize * i;
        set(base + blocks::curve::kRecordIndex, index);
        set(base + blocks::curve::kRecordColor, color);
        curve->SetParamU8(static_cast<std::size_t>(base + blocks::curve::kRecordStyle), static_cast<std::uint8_t>(style));
        blockWriteU(curve->m_Params, base + blocks::curve::kRecordLineWidth, 2, static_cast<std::uint32_t>(size));
    }
    void samples(std::initializer_list<std::uint8_t> values)
    {
        int a = kSamples;
        for (std::uint8_t v : values)
            mem.writeByte(a++, v);
    }
    std::int16_t stored16(int offset) const
    {
        return static_cast<std::int16_t>(blockReadU(curve->m_Params, offset, 2));
    }
    // Paints with a second work surface (editor) or without one (compiler).
    void paint(bool withData = true)
    {
        target.reset(240, 150, kWhite);
        PaintObject(*curve, {target, &work1, withData ? &work2 : nullptr}, 1, ctx);
    }

    CDrawDoc doc;
    VarBank mem;
    PaintContext ctx;
    std::unique_ptr<CDrawObj> curve;
    Surface target, work1{240, 150}, work2{240, 150};
};

TEST(CurvePainter, LabelsRoundTheTopDownToTheStepAndStoreIt)
{
    CurveFixture f;
    f.set(blocks::curve::kNoLabels.offset, 0);
    f.paint(false);
    EXPECT_EQ(f.curve->ParamI32(blocks::curve::kTopValue.offset), 99);
    EXPECT_EQ(f.curve->ParamI32(blocks::curve::kLargestSize.offset), 1);

    // The label column holds "0", "33", "66", "99" right-aligned, bottom to top, each two
    // characters of the widest label character (plus one pixel) wide.
    Surface ref(240, 150, kWhite);
    ref.selectFont(f.curve->m_logfont);
    int d = 0;
    for (char c : std::string("0123456789-."))
        d = std::max(d, ref.textExtent(std::string(1, c)).cx + 1);
    ref.setTextColor(kLabel);
    ref.setBkMode(TRANSPARENT);
    const struct {
        const char* text;
        int top;
    } labels[] = {{"0", 110}, {"33", 79}, {"66", 42}, {"99", 10}};  // the top one held at the box
    for (const auto& l : labels)
        ref.drawText(l.text, Rect{18, l.top, 18 + 2 * d, l.top + 12}, DT_RIGHT | DT_SINGLELINE);
    for (int y = 10; y < 130; ++y)
        for (int x = 10; x < 18 + 2 * d; ++x)
            ASSERT_EQ(f.target.getPixel(x, y) == kLabel, ref.getPixel(x, y) == kLabel) << x << ", " << y;
    EXPECT_EQ(f.stored16(blocks::curve::kPlotLeft.offset), 18 + 2 * d) << "the plot starts right of the labels";
}

TEST(CurvePainter, GridAndPlotAreaForTheCompiler)
{
    CurveFixture f;
    f.set(blocks::curve::kNoGrid.offset, 0);
    f.paint(false);
    // Vertical lines from x 18 over a span of 200 - 8 - 1 = 191 in 4 divisions.
    for (int x : {18, 18 + 191 / 4, 18 + 191 * 2 / 4, 18 + 191 * 3 / 4})
        EXPECT_EQ(f.target.getPixel(x, 60), kGrid) << x;
    EXPECT_EQ(f.target.getPixel(19, 60), kBack);
    EXPECT_EQ(f.target.getPixel(18, 122), kBack) << "vertical lines stop at the bottom margin";
    // Horizontal lines above y = 122 - j x 111 / 3, one pixel thick.
    for (int y : {121, 84, 47})
        EXPECT_EQ(f.target.getPixel(100, y), kGrid) << y;
    EXPECT_EQ(f.target.getPixel(100, 122), kBack);
    EXPECT_EQ(f.target.getPixel(12, 121), kBack) << "left of the plot";
    EXPECT_EQ(f.target.getPixel(9, 60), kWhite) << "nothing outside the box";
    // plot left, bottom, width, height with the grid's width 1
    EXPECT_EQ(f.stored16(blocks::curve::kPlotLeft.offset), 19);
    EXPECT_EQ(f.stored16(blocks::curve::kPlotBottom.offset), 120);
    EXPECT_EQ(f.stored16(blocks::curve::kPlotWidth.offset), 190);
    EXPECT_EQ(f.stored16(blocks::curve::kPlotHeight.offset), 110);
    EXPECT_EQ(countPixels(f.target, kInk, f.target.bounds()), 0) << "the compiler's render has no data";
}

TEST(CurvePainter, CurveStylesFromTheVariableArray)
{
    // Without grid and labels the plot's left is 18 and its bottom 121; its width and height
    // shrink by the largest curve size s: 192 - s and 112 - s. The samples are 0, 50, 100.
    struct Probe {
        Rect area;
        bool ink;  // some pixel of the area has the curve's colour
    };
    struct Case {
        int style, size;
        std::vector<Probe> probes;
    };
    const Case cases[] = {
        // s 1: points (18, 121), (113, 66), (209, 10); the last pixel of a line is left out
        {blocks::curve::kPolyline, 1, {{{18, 121, 19, 122}, true}, {{65, 92, 66, 97}, true}, {{113, 66, 114, 67}, true},
                                     {{160, 36, 161, 42}, true}, {{208, 10, 209, 12}, true}, {{209, 10, 210, 11}, false},
                                     {{30, 20, 100, 60}, false}}},
        // s 3: points (18, 121), (112, 67), (207, 12); dots 3 x 3 above and right of them
        {blocks::curve::kDots, 3, {{{18, 119, 21, 122}, true}, {{21, 119, 22, 122}, false}, {{18, 118, 21, 119}, false},
                                 {{112, 65, 115, 68}, true}, {{112, 64, 115, 65}, false}, {{207, 10, 210, 13}, true},
                                 {{30, 20, 100, 110}, false}}},
        // s 2: points (18, 121), (113, 66), (208, 11); bars 2 wide down to the plot's bottom
        {blocks::curve::kBars, 2, {{{113, 66, 115, 122}, true}, {{113, 65, 115, 66}, false}, {{115, 66, 116, 122}, false},
                                 {{18, 121, 20, 122}, true}, {{208, 11, 210, 122}, true}, {{30, 20, 100, 110}, false}}},
        {7, 3, {{{0, 0, 240, 150}, false}}},  // unknown style: nothing
    };
    for (const Case& c : cases) {
        CurveFixture f;
        f.samples({0, 50, 100});
        f.record(0, 0, kInk, c.style, c.size);
        f.paint();
        for (const Probe& p : c.probes) {
            // A mark fills its whole area; a line passes through it.
            const int inked = countPixels(f.target, kInk, p.area);
            const bool whole = inked == p.area.width() * p.area.height();
            EXPECT_TRUE(p.ink ? whole || (c.style == blocks::curve::kPolyline && inked > 0) : inked == 0)
                << "style " << c.style << " area " << p.area.left << ", " << p.area.top << " .. " << p.area.right << ", "
                << p.area.bottom << ": " << inked;
        }
    }
}

TEST(CurvePainter, OutOfRangePointsAreHeldOrDroppedAndOrderCanBeReversed)
{
    struct Case {
        bool drop, reversed;
        std::vector<Point> inked, blank;
    };
    // Samples 200 (above the top), 50, 0; dots of size 1.
    const Case cases[] = {
        {false, false, {{18, 10}, {113, 66}, {209, 121}}, {}},
        {true, false, {{113, 66}, {209, 121}}, {{18, 10}}},
        {false, true, {{18, 121}, {113, 66}, {209, 10}}, {{18, 10}}},
        {true, true, {{18, 121}, {113, 66}}, {{209, 10}}},
    };
    for (const Case& c : cases) {
        CurveFixture f;
        f.samples({200, 50, 0});
        f.record(0, 0, kInk, blocks::curve::kDots, 1);
        f.curve->SetParamU8(blocks::curve::kStopOutOfRange.offset, c.drop ? 1 : 0);
        f.set(blocks::curve::kCurveType.offset, c.reversed ? 1 : 0);
        f.paint();
        for (Point p : c.inked)
            EXPECT_EQ(f.target.getPixel(p.x, p.y), kInk) << c.drop << c.reversed << " " << p.x << ", " << p.y;
        for (Point p : c.blank)
            EXPECT_NE(f.target.getPixel(p.x, p.y), kInk) << c.drop << c.reversed << " " << p.x << ", " << p.y;
    }
    // Both order flags set: not reversed.
    CurveFixture f;
    f.samples({200, 50, 0});
    f.record(0, 0, kInk, blocks::curve::kDots, 1);
    f.set(blocks::curve::kShiftDirection.offset, 1);
    f.set(blocks::curve::kCurveType.offset, 1);
    f.paint();
    EXPECT_EQ(f.target.getPixel(18, 10), kInk);
}

TEST(CurvePainter, ADroppedFirstPointDoesNotDrawALineFromElsewhere)
{
    CurveFixture f;
    f.samples({200, 50, 100});
    f.curve->SetParamU8(blocks::curve::kStopOutOfRange.offset, 1);
    f.target.moveTo(0, 0);
    f.paint();
    EXPECT_EQ(countPixels(f.target, kInk, {0, 0, 113, 66}), 0) << "the line starts at the first drawn point";
    EXPECT_GT(countPixels(f.target, kInk, {158, 35, 163, 42}), 0);
}

// The placeholder, pixel for pixel, as DrawInvalid draws it on a copy.
void expectPlaceholder(CDrawObj& obj, const PaintContext& ctx, const std::string& what)
{
    Surface shown(240, 150, kWhite), ref(240, 150, kWhite), w1(240, 150), w2(240, 150);
    auto copy = obj.Clone();
    PaintObject(obj, {shown, &w1, &w2}, 1, ctx);
    DrawInvalid(*copy, ref);
    EXPECT_GT(countPixels(ref, kWhite, ref.bounds()), 0);
    EXPECT_EQ(std::vector<std::uint32_t>(shown.bits(), shown.bits() + 240 * 150),
              std::vector<std::uint32_t>(ref.bits(), ref.bits() + 240 * 150))
        << what;
}

TEST(CurvePainter, UnboundRecordOrHideVariableShowsThePlaceholder)
{
    {
        CurveFixture f;
        f.set(blocks::curve::kCurveCount.offset, 2);
        f.record(1, -1, kInk, blocks::curve::kPolyline, 1);
        expectPlaceholder(*f.curve, f.ctx, "second record unbound");
    }
    {
        CurveFixture f;
        f.curve->SetParamU8(blocks::curve::kHideOption.offset, 1);
        f.set(blocks::curve::kHideIndex.offset, -1);
        f.set(blocks::curve::kHideAddress.offset, -1);
        expectPlaceholder(*f.curve, f.ctx, "hide on, hide variable unbound");
    }
    // A record past the count is not looked at.
    CurveFixture f;
    f.record(1, -1, kInk, blocks::curve::kPolyline, 1);
    f.paint();
    EXPECT_EQ(f.target.getPixel(20, 20), kBack);
}

TEST(CurvePainter, HideBitInRunModeOnly)
{
    struct Case {
        bool run, compiling, bit, shown;
    };
    const Case cases[] = {
        {true, false, false, false}, {true, false, true, true}, {false, false, false, true}, {true, true, false, true},
    };
    for (const Case& c : cases) {
        CurveFixture f;
        f.curve->SetParamU8(blocks::curve::kHideOption.offset, 1);
        f.set(blocks::curve::kHideIndex.offset, 0);
        f.set(blocks::curve::kHideAddress.offset, kHideByte);
        f.set(blocks::curve::kHideBit.offset, 10);  // bit 2 of the next byte
        f.mem.writeByte(kHideByte + 1, c.bit ? 0x04 : 0xFB);
        f.ctx.runMode = c.run;
        f.ctx.compiling = c.compiling;
        f.paint();
        EXPECT_EQ(f.target.getPixel(20, 20) == kBack, c.shown) << c.run << c.compiling << c.bit;
    }
}

TEST(CurvePainter, CurvesReadFromTheVariableTableStopAtTheMemoryEnd)
{
    // Row 1 is an "unsigned int" at 65532: one element fits, the rest lies past the end.
    CurveFixture f;
    f.mem.write(65532, 4, 100);
    f.record(0, 1, kInk, blocks::curve::kDots, 1);
    f.paint();
    EXPECT_EQ(f.target.getPixel(18, 10), kInk);
    EXPECT_EQ(countPixels(f.target, kInk, f.target.bounds()), 1);
    // The caller's look-up wins over the tables: an "unsigned short" at 65534.
    CurveFixture h;
    h.mem.write(65534, 2, 50);
    h.ctx.lookupVar = [](std::int32_t row) { return VarBinding{row == 0 ? 65534 : -1, 3}; };
    h.record(0, 0, kInk, blocks::curve::kDots, 1);
    h.paint();
    EXPECT_EQ(h.target.getPixel(18, 66), kInk);
    EXPECT_EQ(countPixels(h.target, kInk, h.target.bounds()), 1);
    // A row outside the table draws no curve but the frame.
    CurveFixture g;
    g.record(0, 57, kInk, blocks::curve::kPolyline, 1);
    g.paint();
    EXPECT_EQ(countPixels(g.target, kInk, g.target.bounds()), 0);
    EXPECT_EQ(g.target.getPixel(20, 20), kBack);
}

TEST(CurvePainter, HostileBlocksFinishAndStayDefined)
{
    struct Case {
        const char* what;
        std::vector<std::pair<int, std::int64_t>> fields;
        Rect position{10, 10, 210, 130};
    };
    using namespace blocks::curve;
    const Case cases[] = {
        {"top equals bottom, one label, one point", {{kTopValue.offset, 5}, {kBottomValue.offset, 5}, {kNoLabels.offset, 0}, {kLabelCount.offset, 1}, {kPointCount.offset, 1}}},
        {"no points, no divisions", {{kPointCount.offset, 0}, {kNoGrid.offset, 0}, {kVerticalDivisions.offset, 0}, {kHorizontalDivisions.offset, -3}}},
        {"top below bottom", {{kTopValue.offset, -50}, {kBottomValue.offset, 50}, {kNoLabels.offset, 0}}},
        {"extreme values and counts",
         {{kTopValue.offset, INT_MAX}, {kBottomValue.offset, INT_MIN}, {kNoLabels.offset, 0}, {kLabelCount.offset, INT_MAX}, {kLabelDecimals.offset, INT_MAX},
          {kNoGrid.offset, 0}, {kGridWidth.offset, INT_MAX}, {kVerticalDivisions.offset, INT_MAX}, {kHorizontalDivisions.offset, INT_MAX},
          {kPointCount.offset, INT_MAX}, {kCurveCount.offset, INT_MAX}, {kBottomMargin.offset, INT_MIN}, {kLeftMargin.offset, INT_MAX}}},
        {"negative margins and sizes", {{kBottomMargin.offset, -100000}, {kLeftMargin.offset, -7}, {kNoGrid.offset, 0}, {kGridWidth.offset, -4}, {kPointCount.offset, -2}}},
        {"box spanning the int range",
         {{kNoLabels.offset, 0}, {kNoGrid.offset, 0}, {kVerticalDivisions.offset, INT_MAX}, {kPointCount.offset, 70000}},
         {INT_MIN, INT_MIN, INT_MAX, INT_MAX}},
    };
    for (const Case& c : cases) {
        CurveFixture f;
        f.curve->m_rcPosition = c.position;
        for (const auto& [offset, value] : c.fields)
            f.set(offset, value);
        for (int i = 0; i < kMaxRecords; ++i)
            f.record(i, i % 2, kInk, i % 3, 65535);
        f.paint();
        EXPECT_GE(f.curve->ParamI32(kLargestSize.offset), 0) << c.what;
    }
}

// ---- progress bar ---------------------------------------------------------------------

constexpr ColorRef kBar = rgb(200, 0, 0);

struct BarFixture {
    BarFixture()
    {
        using namespace blocks::progress_bar;
        bar = makeShape(ShapeKind::ProgressBar, {10, 10, 110, 60});
        bar->m_logfont.lfHeight = 12;
        bar->SetParam(kNoBack, 1);
        bar->SetParam(kBarColor, static_cast<std::int32_t>(kBar));
        bar->SetParam(kValueIndex, 0);
        bar->SetParam(kValueAddress, kBarValue);
        bar->SetParam(kValueType, 1);  // unsigned 8-bit
        bar->SetParam(kMaximum, 100);
        bar->SetParam(kBarDirection, kRight);
        ctx.varMem = &mem;
    }
    void value(std::uint8_t v) { mem.writeByte(kBarValue, v); }
    void paint(bool withData = true)
    {
        target.reset(120, 70, kWhite);
        PaintObject(*bar, {target, &work1, withData ? &work2 : nullptr}, 1, ctx);
    }
    // The bar's box on the target (empty when no bar colour shows).
    Rect barBox() const
    {
        Rect b{1 << 20, 1 << 20, -1, -1};
        for (int y = 0; y < target.height(); ++y)
            for (int x = 0; x < target.width(); ++x)
                if (target.getPixel(x, y) == kBar)
                    b = {std::min(b.left, x), std::min(b.top, y), std::max(b.right, x + 1), std::max(b.bottom, y + 1)};
        return b.right < 0 ? Rect{} : b;
    }

    VarBank mem;
    PaintContext ctx;
    std::unique_ptr<CDrawObj> bar;
    Surface target, work1{120, 70}, work2{120, 70};
};

TEST(ProgressBarPainter, BarLengthByDirectionValueAndLimits)
{
    using namespace blocks::progress_bar;
    struct Case {
        int direction, value, minimum, maximum, reverse;
        Rect expected;
    };
    const Case cases[] = {
        {kRight, 50, 0, 100, 0, {10, 10, 60, 60}},     // the left half
        {kLeft, 50, 0, 100, 0, {60, 10, 110, 60}},
        {kUp, 50, 0, 100, 0, {10, 35, 110, 60}},
        {kDown, 50, 0, 100, 0, {10, 10, 110, 35}},
        {kRight, 0, 0, 100, 0, {}},                     // at the minimum: no bar
        {kRight, 20, 30, 100, 0, {}},                   // below it
        {kRight, 250, 0, 100, 0, {10, 10, 110, 60}},    // cut to the maximum
        {kRight, 75, 50, 100, 0, {10, 10, 60, 60}},
        {kRight, 30, 0, 100, 1, {10, 10, 80, 60}},      // reversed: what is left to the maximum
        {kRight, 60, 50, 100, 1, {10, 10, 90, 60}},     // ... measured within the range
        {kRight, 100, 0, 100, 1, {}},
        {kRight, 1, 0, 200, 0, {}},                     // shorter than a pixel
        {9, 50, 0, 100, 0, {}},                         // unknown direction
        {kRight, 50, 50, 50, 0, {}},                    // empty range: never divides
    };
    for (const Case& c : cases) {
        BarFixture f;
        f.bar->SetParam(kBarDirection, static_cast<std::uint8_t>(c.direction));
        f.bar->SetParam(kMinimum, c.minimum);
        f.bar->SetParam(kMaximum, c.maximum);
        f.bar->SetParam(kReverse, c.reverse);
        f.value(static_cast<std::uint8_t>(c.value));
        f.paint();
        EXPECT_EQ(f.barBox(), c.expected) << "direction " << c.direction << " value " << c.value << " range " << c.minimum
                                          << ".." << c.maximum << " reverse " << c.reverse;
    }
}

TEST(ProgressBarPainter, BackgroundsAndTheCompilersRender)
{
    using namespace blocks::progress_bar;
    const ColorRef from = rgb(0, 0, 250), to = rgb(0, 250, 0);
    // Gradient top to bottom; the compiler's render (no second work surface) has no bar.
    {
        BarFixture f;
        f.value(50);
        f.bar->SetParam(kNoBack, 0);
        f.bar->SetParam(kGradientFrom, static_cast<std::int32_t>(from));
        f.bar->SetParam(kGradientTo, static_cast<std::int32_t>(to));
        f.bar->SetParam(kGradientDirection, 0);
        f.paint(false);
        EXPECT_EQ(f.target.getPixel(80, 10), from);
        EXPECT_EQ(f.target.getPixel(80, 10), f.target.getPixel(20, 10)) << "rows of one colour";
        EXPECT_NE(f.target.getPixel(80, 59), from);
        EXPECT_EQ(f.barBox(), Rect{});
        f.bar->SetParam(kGradientDirection, 1);
        f.paint(false);
        EXPECT_EQ(f.target.getPixel(10, 59), from) << "columns of one colour";
        f.paint();
        EXPECT_EQ(f.barBox(), (Rect{10, 10, 60, 60}));
    }
    // A picture background; without a picture the painter stops before the bar.
    {
        BarFixture f;
        f.value(50);
        f.bar->SetParam(kNoBack, 0);
        f.bar->SetParam(kPictureBack, 1);
        f.paint();
        EXPECT_EQ(f.barBox(), Rect{}) << "empty picture list";
        auto pic = std::make_shared<Picture>();
        pic->pixels.reset(2, 2, rgb(0, 200, 0));
        f.ctx.projectDir = "/nonexistent-project";
        f.bar->m_strFiles = {"\\UserPicture\\bar.bmp"};
        f.paint();
        EXPECT_EQ(f.barBox(), Rect{}) << "no picture loader: the file draws nothing";
        f.ctx.loadPicture = [&](const std::filesystem::path&) -> PicturePtr { return pic; };
        f.paint();
        EXPECT_EQ(f.target.getPixel(100, 50), rgb(0, 200, 0)) << "stretched over the box";
        EXPECT_EQ(f.barBox(), (Rect{10, 10, 60, 60}));
    }
}

TEST(ProgressBarPainter, UnboundValueOrHideShowsThePlaceholder)
{
    using namespace blocks::progress_bar;
    struct Case {
        const char* what;
        std::int32_t index, address;
        int type;
        bool hideUnbound;
    };
    const Case cases[] = {
        {"no index", -1, kBarValue, 1, false},
        {"no address", 0, -1, 1, false},
        {"past the memory's end", 0, 0xFFFF, 3, false},  // two bytes from the last one
        {"unknown type", 0, kBarValue, 9, false},
        {"hide on, hide variable unbound", 0, kBarValue, 1, true},
    };
    for (const Case& c : cases) {
        BarFixture f;
        f.bar->SetParam(kValueIndex, c.index);
        f.bar->SetParam(kValueAddress, c.address);
        f.bar->SetParam(kValueType, static_cast<std::uint8_t>(c.type));
        if (c.hideUnbound) {
            f.bar->SetParam(kHideOption, 1);
            f.bar->SetParam(kHideIndex, -1);
        }
        expectPlaceholder(*f.bar, f.ctx, c.what);
    }
}

TEST(ProgressBarPainter, HideBitInRunMode)
{
    using namespace blocks::progress_bar;
    for (const bool bit : {false, true}) {
        BarFixture f;
        f.value(50);
        f.bar->SetParam(kHideOption, 1);
        f.bar->SetParam(kHideIndex, 0);
        f.bar->SetParam(kHideAddress, kHideByte);
        f.bar->SetParam(kHideBit, 0);
        f.mem.writeByte(kHideByte, bit ? 1 : 0);
        f.ctx.runMode = true;
        f.paint();
        EXPECT_EQ(f.barBox().isEmpty(), !bit);
        f.ctx.runMode = false;
        f.paint();
        EXPECT_FALSE(f.barBox().isEmpty()) << "the editor ignores the hide bit";
    }
}

TEST(ProgressBarPainter, ExtremeLimitsAndBoxes)
{
    using namespace blocks::progress_bar;
    BarFixture f;
    f.bar->SetParam(kValueType, 4);  // signed 32-bit
    f.mem.write(kBarValue, 4, 0);
    f.bar->SetParam(kMinimum, INT_MIN);
    f.bar->SetParam(kMaximum, INT_MAX);
    f.bar->SetParam(kBarDirection, kRight);
    f.bar->m_rcPosition = {INT_MIN, 10, INT_MAX, 60};
    f.paint();
    // Half of a box 2^32 - 1 wide: the bar ends just left of x 0.
    EXPECT_EQ(f.target.getPixel(0, 20), kWhite);
    EXPECT_EQ(f.barBox(), Rect{});
    f.mem.write(kBarValue, 4, 1000);
    f.paint();
    EXPECT_EQ(f.barBox(), (Rect{0, 10, 120, 60}));
}

TEST(CurveAndBar, AreControlsPaintedWithTheControls)
{
    CurveFixture c;
    BarFixture b;
    for (CDrawObj* obj : {c.curve.get(), b.bar.get()}) {
        Surface s(240, 150, kWhite);
        PaintObject(*obj, {s}, 0, c.ctx);
        EXPECT_EQ(countNot(s, kWhite, s.bounds()), 0);
        EXPECT_EQ(obj->m_bControl, 1);
    }
}

} // namespace
} // namespace qv
