// The paint dispatch and the shared painting rules.
#include "model/paint/shape_painters.h"
#include "model/params/blocks/table_block.h"
#include "model/vars/var_bank.h"
#include "paint_fixtures.h"

namespace qv {
namespace {

using namespace test;

constexpr auto kBlue = static_cast<std::int32_t>(rgb(0, 0, 255));

int probeCalls = 0;
void probePainter(CDrawObj&, const PaintSurfaces&, const PaintContext&)
{
    ++probeCalls;
}

// Installs the probe for the button kind while a test runs.
struct ButtonProbe {
    KindPainter saved = PaintRuleFor(ShapeKind::Button).painter;
    ButtonProbe()
    {
        probeCalls = 0;
        SetKindPainter(ShapeKind::Button, probePainter);
    }
    ~ButtonProbe() { SetKindPainter(ShapeKind::Button, saved); }
};

TEST(PaintDispatch, PassAndKindDecideWhatIsPainted)
{
    ButtonProbe probe;
    struct Case {
        ShapeKind kind;
        int pass;
        bool painted, control;
    };
    const Case cases[] = {
        {ShapeKind::Rectangle, 0, true, false}, {ShapeKind::Rectangle, 1, false, false}, {ShapeKind::Rectangle, 2, true, false},
        {ShapeKind::Pipe, 0, true, false},      {ShapeKind::Pipe, 1, false, false},      {ShapeKind::Ellipse, 7, true, false},
        {ShapeKind::Button, 0, false, true},    {ShapeKind::Button, 1, true, true},      {ShapeKind::Button, 2, true, true},
        {ShapeKind::Reserved16, 1, false, true}, {KindFromCode(27), 0, false, false}, {KindFromCode(27), 1, false, false},
        {KindFromCode(-1), 2, false, false},
    };
    for (const Case& c : cases) {
        Surface s(60, 60, kWhite);
        auto obj = makeShape(c.kind, {10, 10, 50, 50});
        obj->SetParam(blocks::rectangle::kFillColor, static_cast<std::int32_t>(rgb(0, 0, 255)));
        obj->SetParam(blocks::pipe::kCentreColor, static_cast<std::int32_t>(rgb(0, 0, 255)));
        probeCalls = 0;
        PaintObject(*obj, {s}, c.pass, PaintContext{});
        const bool painted = countNot(s, kWhite, s.bounds()) > 0 || probeCalls > 0;
        EXPECT_EQ(painted, c.painted) << "kind " << c.kind << " pass " << c.pass;
        EXPECT_EQ(obj->m_bControl != 0, c.control) << "kind " << c.kind << " pass " << c.pass;
    }
}

TEST(PaintDispatch, UncreatablePenOrBrushPaintsNothing)
{
    Surface s(40, 40, kWhite);
    auto obj = makeShape(ShapeKind::Ellipse, {0, 0, 30, 30});
    obj->m_penInfo.style = 77;
    PaintObject(*obj, {s}, 0, {});
    EXPECT_EQ(countNot(s, kWhite, s.bounds()), 0);
}

TEST(PaintDispatch, ControlNumbersCountOnlyControlsInListOrder)
{
    ButtonProbe probe;
    std::vector<std::unique_ptr<CDrawObj>> objects;
    objects.push_back(makeShape(ShapeKind::Pipe, {40, 30, 80, 60}));
    objects.push_back(makeShape(ShapeKind::Button, {140, 30, 180, 60}));
    objects.push_back(makeShape(ShapeKind::Scale, {240, 30, 280, 60}));
    objects.push_back(makeShape(ShapeKind::Reserved17, {340, 30, 380, 60}));
    objects.push_back(makeShape(ShapeKind::Table, {440, 30, 480, 60}));
    Surface s(500, 80, kWhite);
    PaintContext ctx;
    ctx.showControlNumbers = true;
    PaintAll(objects, {s}, ctx);
    auto numberBox = [](int x) { return Rect{x - 32, 10, x, 30}; };
    constexpr ColorRef kRed = 0x0000FF;
    EXPECT_EQ(countPixels(s, kRed, numberBox(40)), 0);
    EXPECT_GT(countPixels(s, kRed, numberBox(140)), 0);
    EXPECT_EQ(countPixels(s, kRed, numberBox(240)), 0);
    EXPECT_GT(countPixels(s, kRed, numberBox(340)), 0);
    EXPECT_EQ(countPixels(s, kRed, numberBox(440)), 0);
    // "0" and "1": the digit shapes differ
    Surface zero(32, 20), one(32, 20);
    zero.bitBlt(0, 0, 32, 20, s, 108, 10);
    one.bitBlt(0, 0, 32, 20, s, 308, 10);
    EXPECT_NE(std::vector<std::uint32_t>(zero.bits(), zero.bits() + 640), std::vector<std::uint32_t>(one.bits(), one.bits() + 640));
    EXPECT_EQ(probeCalls, 1);
}

TEST(PaintDispatch, AnObjectThatCannotReachTheRepaintIsLeftOutOnlyWhenItStaysInItsBox)
{
    ButtonProbe probe;
    struct Case {
        ShapeKind kind;
        bool paintedOutOfReach;
        void (*setUp)(CDrawObj&);
    };
    const Case cases[] = {
        {ShapeKind::Rectangle, false, [](CDrawObj& o) { o.SetParam(blocks::rectangle::kFillColor, kBlue); }},
        {ShapeKind::Pipe, false, [](CDrawObj& o) { o.SetParam(blocks::pipe::kCentreColor, kBlue); }},
        {ShapeKind::Table, false, [](CDrawObj& o) {
             o.SetParam(blocks::table::kLineWidth, 2), o.SetParam(blocks::table::kRows, 3), o.SetParam(blocks::table::kColumns, 3);
         }},
        {ShapeKind::Scale, true, [](CDrawObj& o) {
             o.SetParam(blocks::scale::kColor, kBlue), o.SetParam(blocks::scale::kBaseLine, 1);
             o.SetParam(blocks::scale::kBaseWidth, 2), o.SetParam(blocks::scale::kMajorCount, 5);
             o.SetParam(blocks::scale::kMajorThickness, 2);
         }},
        {ShapeKind::Button, true, [](CDrawObj&) {}},
    };
    for (const Case& c : cases) {
        for (const bool reach : {true, false}) {
            std::vector<std::unique_ptr<CDrawObj>> objects;
            objects.push_back(makeShape(c.kind, {40, 30, 80, 60}));
            c.setUp(*objects.back());
            Surface s(120, 80, kWhite);
            PaintContext ctx;
            ctx.showControlNumbers = true;
            probeCalls = 0;
            PaintAll(objects, {s}, ctx, nullptr, [&](const CDrawObj&) { return reach; });
            const bool painted = countNot(s, kWhite, s.bounds()) > 0 || probeCalls > 0;
            EXPECT_EQ(painted, reach || c.paintedOutOfReach) << "kind " << c.kind << " reach " << reach;
        }
    }
}

TEST(PaintDispatch, NumberBoxAtThePageCornerIsClipped)
{
    auto obj = makeShape(ShapeKind::Button, {0, 0, 40, 40});
    Surface s(60, 60, kWhite);
    PaintControlNumber(*obj, s, 3); // box (-32, -20, 0, 0): nothing on the page, no fault
    EXPECT_EQ(countNot(s, kWhite, s.bounds()), 0);
}

TEST(PaintRules, UnboundPlaceholder)
{
    auto obj = makeShape(ShapeKind::Button, {50, 40, 10, 10});
    obj->m_logfont.lfHeight = 12;
    obj->m_penInfo.color = rgb(0, 0, 200);
    Surface s(80, 60, rgb(9, 9, 9));
    DrawInvalid(*obj, s);
    EXPECT_EQ(obj->m_rcPosition, (Rect{10, 10, 50, 40}));
    EXPECT_EQ(s.getPixel(10, 38), kWhite);  // below the two text lines
    EXPECT_EQ(s.getPixel(48, 38), kWhite);
    EXPECT_EQ(s.getPixel(49, 39), rgb(9, 9, 9)); // the fill stops one short, as with a null pen
    EXPECT_GT(countPixels(s, rgb(0, 0, 200), {10, 10, 50, 40}), 0);  // text in the pen colour
    EXPECT_GT(countPixels(s, rgb(255, 0, 0), {10, 10, 50, 40}), 0);  // on the brush colour
    EXPECT_EQ(InvalidControlText(), "无效控件");
}

TEST(PaintRules, VariableReadsAreBoundsChecked)
{
    VarBank bank;
    bank.writeTyped(0xFFFC, 4, -2);
    bank.writeByte(10, 0x05);
    PaintContext ctx;
    EXPECT_FALSE(ctx.readVar(0, 1)); // no memory attached
    ctx.varMem = &bank;
    EXPECT_EQ(ctx.readVar(0xFFFC, 4), -2);
    EXPECT_FALSE(ctx.readVar(0xFFFD, 4));  // would leave the bank
    EXPECT_FALSE(ctx.readVar(0xFFFF, 2));
    EXPECT_FALSE(ctx.readVar(-1, 0));
    EXPECT_FALSE(ctx.readVar(0, 9));       // unknown type code
    EXPECT_EQ(ctx.readBit(10, 2), true);
    EXPECT_EQ(ctx.readBit(9, 9), false);   // bit 9 of address 9 is bit 1 of address 10
    EXPECT_FALSE(ctx.readBit(0xFFFF, 8));
}

TEST(PaintRules, HandlesInvertAndRestore)
{
    auto obj = makeShape(ShapeKind::Rectangle, {10, 10, 40, 30});
    Surface s(60, 60, kWhite);
    PaintHandles(*obj, s, 1);
    EXPECT_EQ(s.getPixel(10, 10), 0u);
    EXPECT_EQ(s.getPixel(7, 7), 0u);
    EXPECT_EQ(s.getPixel(6, 6), kWhite);
    PaintHandles(*obj, s, 2);
    EXPECT_EQ(countNot(s, kWhite, s.bounds()), 0);
    PaintHandles(*obj, s, 0);
    EXPECT_EQ(countNot(s, kWhite, s.bounds()), 0);
}

} // namespace
} // namespace qv
