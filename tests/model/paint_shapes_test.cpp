// Shape, pipe, joint and scale painters, gradients, rotation and the font registry.
#include "model/paint/control_font_registry.h"
#include "model/paint/gradient.h"
#include "model/paint/shape_painters.h"
#include "paint_fixtures.h"

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

namespace qv {
namespace {

using namespace test;

constexpr ColorRef kInk = rgb(0, 0, 160);

Rect inkBox(const Surface& s, ColorRef bg)
{
    Rect b{1 << 20, 1 << 20, -1, -1};
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            if (s.getPixel(x, y) != bg)
                b = {std::min(b.left, x), std::min(b.top, y), std::max(b.right, x + 1), std::max(b.bottom, y + 1)};
    return b;
}

TEST(ShapePainters, LineEndsPulledInByHalfThePen)
{
    struct Case {
        Rect pos;
        int wx, wy;
        Point start, end;
    };
    const Case cases[] = {
        {{10, 10, 50, 30}, 3, 3, {12, 12}, {49, 29}},
        {{50, 30, 10, 10}, 3, 3, {49, 29}, {12, 12}}, // bottom-right to top-left: 1 in at the start, 2 at the end
        {{10, 10, 50, 30}, 0, 0, {10, 10}, {50, 30}},
        {{10, 30, 50, 10}, 4, 2, {12, 29}, {48, 11}},
    };
    for (const Case& c : cases) {
        const auto [a, b] = LineEndPoints(c.pos, c.wx, c.wy);
        EXPECT_EQ(a, c.start);
        EXPECT_EQ(b, c.end);
    }
}

TEST(ShapePainters, CircleInsideAWideBox)
{
    Surface s(140, 60, kWhite);
    s.selectPen({PS_SOLID, 1, kInk});
    s.selectBrush(kNullBrush);
    PaintCircle(s, 10, 10, 110, 50);
    EXPECT_EQ(inkBox(s, kWhite), (Rect{40, 10, 80, 50}));
}

TEST(ShapePainters, RectangleBorderRings)
{
    struct Case {
        int border, threeD, transparent;
        ColorRef atEdge, atInner, atCentre;
    };
    const ColorRef border = rgb(10, 20, 30), fill = rgb(200, 100, 0);
    const Case cases[] = {
        {0, 1, 0, fill, fill, fill},                           // no border even with 3-D
        {3, 1, 0, border, border, fill},                       // top-left edges keep the colour
        {3, 0, 1, border, border, kWhite},                     // transparent: only the border
    };
    for (const Case& c : cases) {
        auto obj = makeShape(ShapeKind::Rectangle, {10, 10, 50, 40});
        obj->SetParam(blocks::rectangle::kBorderWidth, c.border);
        obj->SetParam(blocks::rectangle::kBorderColor, static_cast<std::int32_t>(border));
        obj->SetParam(blocks::rectangle::kBorder3dWord, c.threeD);
        obj->SetParam(blocks::rectangle::kTransparent, c.transparent);
        obj->SetParam(blocks::rectangle::kFillColor, static_cast<std::int32_t>(fill));
        Surface s(60, 60, kWhite);
        PaintObject(*obj, {s}, 0, {});
        EXPECT_EQ(s.getPixel(10, 20), c.atEdge) << c.border;
        EXPECT_EQ(s.getPixel(12, 20), c.atInner) << c.border;
        EXPECT_EQ(s.getPixel(30, 25), c.atCentre) << c.border;
        EXPECT_EQ(s.getPixel(9, 20), kWhite);
        EXPECT_EQ(s.getPixel(50, 20), kWhite);
        if (c.threeD && c.border == 3) {
            EXPECT_EQ(s.getPixel(49, 20), invertColor(border)); // bottom-right edges take the inverse
        }
    }
}

// The plain rule, ring by ring over the whole box: what the ring painter must match pixel for
// pixel however it saves work.
void everyRing(Surface& s, const Rect& r, int width, ColorRef c)
{
    const Rect box = r.normalized();
    const std::int64_t n = std::min<std::int64_t>({width, (std::min(box.width64(), box.height64()) + 1) / 2, kMaxBorderRings});
    for (std::int64_t i = 0; i < n; ++i)
        s.draw3dRect(Rect::saturated(box.left + i, box.top + i, box.right - i, box.bottom - i), c, invertColor(c));
}

TEST(ShapePainters, RingsOfHostileBoxesMatchTheRingByRingRule)
{
    struct Case {
        Rect box;
        int width;
    };
    const Case cases[] = {
        {{5, 4, 35, 24}, 3},
        {{5, 4, 35, 24}, INT_MAX},                     // held to the box
        {{35, 24, 5, 4}, 2},                           // mirrored box
        {{5, 4, 35, 24}, -7},                          // negative width: nothing
        {{-5000, 2, 12, 300}, 100},                    // far left edge: all rings still counted
        {{INT_MIN, INT_MIN, 20, 15}, INT_MAX},         // sizes past the int range
        {{INT_MIN, 3, INT_MAX, 20}, 6},
        {{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, 50},    // every ring outside
        {{100, 100, 200, 200}, 10},                    // wholly off the surface
    };
    const ColorRef c = rgb(30, 60, 90);
    for (const Case& k : cases) {
        Surface got(40, 30, kWhite), want(40, 30, kWhite);
        DrawRings3d(got, k.box, k.width, c);
        everyRing(want, k.box, k.width, c);
        EXPECT_TRUE(std::equal(got.bits(), got.bits() + 40 * 30, want.bits()))
            << k.box.left << "," << k.box.top << "," << k.box.right << "," << k.box.bottom << " w" << k.width;
    }
    // A box past the int range still shows its bottom-right rings where they cross the surface.
    Surface s(40, 30, kWhite);
    DrawRings3d(s, {INT_MIN, INT_MIN, 20, 15}, INT_MAX, c);
    EXPECT_EQ(countPixels(s, invertColor(c), {0, 0, 20, 15}), 20 * 15);
}

TEST(ShapePainters, RectangleWithFileBorderPastTheIntRange)
{
    const ColorRef border = rgb(10, 20, 30);
    auto obj = makeShape(ShapeKind::Rectangle, {INT_MIN, INT_MIN, INT_MAX, INT_MAX});
    obj->SetParam(blocks::rectangle::kBorderWidth, INT_MAX);
    obj->SetParam(blocks::rectangle::kBorderColor, static_cast<std::int32_t>(border));
    obj->SetParam(blocks::rectangle::kBorder3dWord, 1);
    obj->SetParam(blocks::rectangle::kTransparent, 1);
    Surface s(30, 30, kWhite);
    PaintObject(*obj, {s}, 0, {}); // every ring lies outside: only the inside-frame pen's band shows
    obj->m_rcPosition = {INT_MIN, INT_MIN, 20, 20};
    Surface t(30, 30, kWhite);
    PaintObject(*obj, {t}, 0, {});
    EXPECT_EQ(t.getPixel(19, 19), invertColor(border));
    EXPECT_EQ(t.getPixel(0, 0), invertColor(border));
    EXPECT_EQ(t.getPixel(20, 20), kWhite);
}

TEST(Gradients, BandsStepTowardTheTarget)
{
    const ColorRef from = rgb(0, 100, 255), to = rgb(255, 0, 55);
    Surface one(4, 1, kWhite);
    FillGradientVertical(one, from, to, {0, 0, 4, 1});
    EXPECT_EQ(one.getPixel(3, 0), from);
    Surface two(4, 2, kWhite);
    FillGradientVertical(two, from, to, {0, 0, 4, 2});
    EXPECT_EQ(two.getPixel(0, 1), rgb(0 + (1 + 255 - 0) / 2, 100 + (1 + 0 - 100) / 2, 255 + (1 + 55 - 255) / 2));
    Surface cols(3, 5, kWhite);
    FillGradientHorizontal(cols, from, to, {0, 0, 3, 5});
    EXPECT_EQ(cols.getPixel(0, 4), from);
    Surface none(3, 3, kWhite);
    FillGradientVertical(none, from, to, {2, 0, 2, 3});
    FillGradientHorizontal(none, from, to, {0, 2, 3, 2});
    EXPECT_EQ(countNot(none, kWhite, none.bounds()), 0);
}

TEST(Gradients, HorizontalPipeShadesToItsCentreLine)
{
    auto pipe = makeShape(ShapeKind::Pipe, {0, 0, 10, 20});
    const ColorRef edge = rgb(20, 20, 20), centre = rgb(220, 220, 220);
    pipe->SetParam(blocks::pipe::kEdgeColor, static_cast<std::int32_t>(edge));
    pipe->SetParam(blocks::pipe::kCentreColor, static_cast<std::int32_t>(centre));
    Surface s(10, 20, kWhite);
    PaintObject(*pipe, {s}, 0, {});
    EXPECT_EQ(s.getPixel(5, 0), edge);
    EXPECT_EQ(s.getPixel(5, 10), centre);
    for (int y = 1; y < 10; ++y)
        EXPECT_GT(redOf(s.getPixel(5, y)), redOf(s.getPixel(5, y - 1))) << y;
    for (int y = 11; y < 20; ++y)
        EXPECT_LT(redOf(s.getPixel(5, y)), redOf(s.getPixel(5, y - 1))) << y;
}

TEST(PipeJoint, EachCornerLeavesTheOppositeQuarterEmpty)
{
    // corner -> the quarter (0 TL, 1 TR, 2 BL, 3 BR) that no arm passes through
    const int emptyQuarter[4] = {3, 2, 1, 0};
    for (int corner = 0; corner < 4; ++corner) {
        for (bool withWork : {true, false}) {
            auto joint = makeShape(ShapeKind::PipeJoint, {0, 0, 40, 40});
            joint->SetParam(blocks::pipe::kEdgeColor, static_cast<std::int32_t>(rgb(0, 0, 90)));
            joint->SetParam(blocks::pipe::kCentreColor, static_cast<std::int32_t>(rgb(0, 0, 250)));
            joint->SetParam(blocks::pipe::kOrientation, corner);
            Surface s(40, 40, kWhite);
            Surface work(40, 40, rgb(1, 2, 3)); // stale content must not show
            PaintObject(*joint, {s, withWork ? &work : nullptr}, 0, {});
            for (int q = 0; q < 4; ++q) {
                const Rect quarter{(q % 2) * 20 + 2, (q / 2) * 20 + 2, (q % 2) * 20 + 18, (q / 2) * 20 + 18};
                const int ink = countNot(s, kWhite, quarter);
                if (q == emptyQuarter[corner])
                    EXPECT_EQ(ink, 0) << "corner " << corner << " quarter " << q;
                else
                    EXPECT_GT(ink, 50) << "corner " << corner << " quarter " << q;
                EXPECT_EQ(countPixels(s, rgb(1, 2, 3), quarter), 0);
            }
        }
    }
    auto bad = makeShape(ShapeKind::PipeJoint, {0, 0, 40, 40});
    bad->SetParam(blocks::pipe::kOrientation, 4);
    Surface s(40, 40, kWhite);
    PaintObject(*bad, {s}, 0, {});
    EXPECT_EQ(countNot(s, kWhite, s.bounds()), 0);
}

// Without a work surface the joint works on a scratch the size of what the target shows,
// never the size of the object: the pixels match those drawn through a work surface.
TEST(PipeJoint, ScratchCoversOnlyTheShownPart)
{
    const Rect boxes[] = {{-30, -20, 70, 60}, {-1000000000, -1000000000, 1000000000, 1000000000},
                          {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {-1000000000, 5, 35, 1000000000}};
    for (const Rect& box : boxes) {
        for (int corner = 0; corner < 4; ++corner) {
            auto joint = makeShape(ShapeKind::PipeJoint, box);
            joint->SetParam(blocks::pipe::kEdgeColor, static_cast<std::int32_t>(rgb(0, 0, 90)));
            joint->SetParam(blocks::pipe::kCentreColor, static_cast<std::int32_t>(rgb(0, 0, 250)));
            joint->SetParam(blocks::pipe::kOrientation, corner);
            Surface viaWork(40, 40, kWhite), viaScratch(40, 40, kWhite);
            Surface work(40, 40, rgb(1, 2, 3));
            PaintObject(*joint, {viaWork, &work}, 0, {});
            PaintObject(*joint, {viaScratch}, 0, {});
            int differ = 0;
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 40; ++x)
                    differ += viaWork.getPixel(x, y) != viaScratch.getPixel(x, y);
            EXPECT_EQ(differ, 0) << box.left << "," << box.top << " corner " << corner;
        }
    }
}

// Positions and thicknesses at the ends of the int range paint promptly and never overflow.
TEST(Scale, HostileBoxesAndThicknesses)
{
    const Rect boxes[] = {{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {INT_MAX - 3, INT_MIN, INT_MAX, INT_MIN + 2},
                          {-1000000000, 0, 1000000000, 30}};
    for (const Rect& box : boxes) {
        for (int orientation = 0; orientation < 4; ++orientation) {
            auto scale = makeShape(ShapeKind::Scale, box);
            scale->SetParam(blocks::scale::kOrientation, static_cast<std::uint8_t>(orientation));
            scale->SetParam(blocks::scale::kMajorCount, 1024);
            scale->SetParam(blocks::scale::kMinorCount, 63);
            scale->SetParam(blocks::scale::kMajorThickness, INT32_MAX);
            scale->SetParam(blocks::scale::kMinorThickness, INT32_MAX);
            scale->SetParam(blocks::scale::kBaseLine, 1);
            scale->SetParam(blocks::scale::kBaseWidth, INT32_MAX);
            Surface s(40, 40, kWhite);
            PaintObject(*scale, {s}, 0, {});
            auto pipe = makeShape(ShapeKind::Pipe, box);
            pipe->SetParam(blocks::pipe::kOrientation, orientation % 2);
            PaintObject(*pipe, {s}, 0, {});
        }
    }
}

TEST(Scale, TickCountsAndDegenerateFiles)
{
    struct Case {
        int orientation, majors, minors;
        int expectMajor, expectMinor;
    };
    const Case cases[] = {
        {0, 5, 4, 5, 16}, {1, 5, 4, 5, 16}, {2, 5, 4, 5, 16}, {3, 3, 1, 3, 2},
        {0, 1, 4, 0, 0},  {0, 0, 4, 0, 0},  {0, -5, 4, 0, 0}, {9, 5, 4, 0, 0},
    };
    const ColorRef c = rgb(0, 0, 0);
    for (const Case& k : cases) {
        const bool vertical = k.orientation <= 1;
        auto scale = makeShape(ShapeKind::Scale, vertical ? Rect{0, 0, 20, 81} : Rect{0, 0, 81, 20});
        scale->SetParam(blocks::scale::kColor, 0);
        scale->SetParam(blocks::scale::kOrientation, static_cast<std::uint8_t>(k.orientation));
        scale->SetParam(blocks::scale::kMajorCount, k.majors);
        scale->SetParam(blocks::scale::kMinorCount, k.minors);
        scale->SetParam(blocks::scale::kMajorThickness, 1);
        scale->SetParam(blocks::scale::kMinorThickness, 1);
        Surface s(90, 90, kWhite);
        PaintObject(*scale, {s}, 0, {});
        int major = 0, minor = 0;
        for (int i = 0; i < 81; ++i) {
            // a major tick crosses the whole scale; a minor one only its tick half
            const bool near = vertical ? s.getPixel(k.orientation == 0 ? 1 : 18, i) == c : s.getPixel(i, k.orientation == 2 ? 1 : 18) == c;
            const bool far = vertical ? s.getPixel(k.orientation == 0 ? 18 : 1, i) == c : s.getPixel(i, k.orientation == 2 ? 18 : 1) == c;
            major += near && far;
            minor += far && !near;
        }
        EXPECT_EQ(major, k.expectMajor) << k.orientation << "/" << k.majors;
        EXPECT_EQ(minor, k.expectMinor) << k.orientation << "/" << k.majors;
    }
    // An absurd tick count from a damaged file finishes promptly.
    auto huge = makeShape(ShapeKind::Scale, {0, 0, 20, 81});
    huge->SetParam(blocks::scale::kMajorCount, 2000000000);
    huge->SetParam(blocks::scale::kMinorCount, 2000000000);
    Surface s(90, 90, kWhite);
    PaintObject(*huge, {s}, 0, {});
}

TEST(CopyRotated90, BlockTurnsCounterClockwise)
{
    Surface src(3, 2, kWhite);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            src.setPixel(x, y, rgb(x * 50, y * 50, 7));
    Surface dst(10, 10, kWhite);
    CopyRotated90(dst, 4, 999, -999, 8, src, 0, 0, 3, 2);
    // w x h = 3 x 2 becomes 2 x 3: source (j, i) lands at (4 + i, 7 - j)
    EXPECT_EQ(inkBox(dst, kWhite), (Rect{4, 5, 6, 8}));
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 3; ++j)
            EXPECT_EQ(dst.getPixel(4 + i, 7 - j), src.getPixel(j, i));
}

TEST(ControlFontRegistry, NumbersDistinctFontsInOrderWithoutLimit)
{
    ControlFontRegistry reg;
    std::vector<std::unique_ptr<CDrawObj>> objs;
    for (int i = 0; i < 300; ++i) {
        objs.push_back(makeShape(ShapeKind::Button, {0, 0, 10, 10}));
        objs.back()->m_nFontKey = 1;
        objs.back()->m_logfont.lfHeight = 10 + i;
        EXPECT_EQ(reg.FindOrAddControlFont(*objs.back()), -1);
    }
    auto again = makeShape(ShapeKind::Button, {0, 0, 10, 10});
    again->m_nFontKey = 1;
    again->m_logfont.lfHeight = 10 + 257;
    EXPECT_EQ(reg.FindOrAddControlFont(*again), 257);
    again->m_nFontKey = 2;  // same font, other key: a new entry
    EXPECT_EQ(reg.FindOrAddControlFont(*again), -1);
    EXPECT_EQ(reg.Count(), 301);
    EXPECT_EQ(reg.Calls(), 302);
    reg.Clear();
    EXPECT_EQ(reg.Count(), 0);
}

TEST(PicturePainter, TransparentPictureIgnoresStaleWorkContentAndOverhangIsClipped)
{
    auto pic = std::make_shared<Picture>();
    pic->pixels.reset(2, 2, rgb(0, 200, 0));
    pic->pixels.setPixel(1, 1, kWhite);     // the bottom-right pixel is the key colour
    pic->opaque = {1, 1, 1, 0};             // and transparent in the picture itself
    PaintContext ctx;
    ctx.projectDir = "/nonexistent-project";
    ctx.loadPicture = [&](const std::filesystem::path&) -> PicturePtr { return pic; };
    auto shape = makeShape(ShapeKind::Picture, {20, 20, 40, 40});
    shape->m_strFiles = {"\\UserPicture\\a.bmp"};
    shape->m_bTransparent = 1;
    shape->m_clrTransparent = kWhite;
    Surface target(50, 50, rgb(9, 9, 9));
    Surface work(50, 50, rgb(255, 0, 255)); // stale content in the work surface
    PaintObject(*shape, {target, &work}, 0, ctx);
    EXPECT_EQ(target.getPixel(25, 25), rgb(0, 200, 0));
    EXPECT_EQ(target.getPixel(35, 35), rgb(9, 9, 9)); // the keyed quarter keeps the target
    EXPECT_EQ(countPixels(target, rgb(255, 0, 255), target.bounds()), 0);

    shape->m_bTransparent = 0;
    shape->m_rcPosition = {40, 40, 60, 60};           // overhangs the right and bottom edges
    PaintObject(*shape, {target, &work}, 0, ctx);
    EXPECT_EQ(target.getPixel(45, 45), rgb(0, 200, 0));

    shape->m_strFiles.clear();                        // no picture: nothing, no fault
    PaintObject(*shape, {target, &work}, 0, ctx);
}

// Without a work surface, a transparent picture shows the same pixels as composed in one,
// whatever the size of its box (no surface the size of the box is made).
TEST(PicturePainter, TransparentPictureWithoutWorkSurfaceMatchesTheComposedOne)
{
    auto pic = std::make_shared<Picture>();
    pic->pixels.reset(3, 2, rgb(0, 200, 0));
    pic->pixels.setPixel(1, 0, kWhite); // the key
    pic->opaque = {1, 1, 1, 1, 1, 0};
    PaintContext ctx;
    ctx.projectDir = "/nonexistent-project";
    ctx.loadPicture = [&](const std::filesystem::path&) -> PicturePtr { return pic; };
    const Rect cases[] = {
        {20, 20, 40, 40}, {40, 40, 20, 20}, {40, 40, 60, 60}, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {INT_MIN, 5, 30, 25},
    };
    for (const Rect& pos : cases) {
        auto shape = makeShape(ShapeKind::Picture, pos);
        shape->m_strFiles = {"\\UserPicture\\a.bmp"};
        shape->m_bTransparent = 1;
        shape->m_clrTransparent = kWhite;
        Surface direct(50, 50, rgb(9, 9, 9)), composed(50, 50, rgb(9, 9, 9)), work(50, 50, rgb(255, 0, 255));
        PaintObject(*shape, {direct}, 0, ctx);
        PaintObject(*shape, {composed, &work}, 0, ctx);
        EXPECT_TRUE(std::equal(direct.bits(), direct.bits() + 50 * 50, composed.bits())) << pos.left << "," << pos.top;
        EXPECT_GT(countPixels(direct, rgb(0, 200, 0), direct.bounds()), 0) << pos.left << "," << pos.top;
    }
}

// One lookup serves the picture rule and the control painters: every way a stored name can
// fail gives no picture and draws nothing.
TEST(PicturePainter, StoredNamesThatGiveNoPicture)
{
    auto good = std::make_shared<Picture>();
    good->pixels.reset(2, 2, rgb(0, 200, 0));
    auto empty = std::make_shared<Picture>();
    std::vector<std::string> asked;
    PaintContext ctx;
    ctx.projectDir = "/nonexistent-project";
    ctx.loadPicture = [&](const std::filesystem::path& p) -> PicturePtr {
        asked.push_back(p.filename().string());
        const std::string name = p.filename().string();
        return name == "good.bmp" ? good : name == "empty.bmp" ? empty : nullptr;
    };
    struct Case {
        std::string name;
        bool found;
    };
    const Case cases[] = {
        {"\\UserPicture\\good.bmp", true}, {"", false}, {"..\\good.bmp", false},
        {"\\UserPicture\\missing.bmp", false}, {"\\UserPicture\\empty.bmp", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LoadStoredPicture(ctx, c.name) != nullptr, c.found) << c.name;
        Surface target(10, 10, kWhite);
        EXPECT_EQ(PaintPictureByRule(ctx, {target}, c.name, {0, 0, 10, 10}, true, kWhite), c.found) << c.name;
        EXPECT_EQ(countNot(target, kWhite, target.bounds()) > 0, c.found) << c.name;
    }
    EXPECT_EQ(std::count(asked.begin(), asked.end(), "good.bmp"), 2); // "..": never reaches the loader
    PaintContext noLoader;
    EXPECT_EQ(LoadStoredPicture(noLoader, "\\UserPicture\\good.bmp"), nullptr);
}

} // namespace
} // namespace qv
