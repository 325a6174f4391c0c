// The operation button painter: state faces, pictures, caption, latched keys, hide bit,
// unbound placeholder and hostile blocks.
#include "model/paint/controls/button_painter.h"
#include "model/vars/var_bank.h"
#include "paint_fixtures.h"

#include <climits>
#include <functional>
#include <memory>

namespace qv {
namespace {

using namespace test;
using namespace blocks::button;

constexpr ColorRef kUnder = rgb(128, 128, 128);  // what lies under the button
constexpr ColorRef kFrom = rgb(255, 0, 0), kTo = rgb(0, 0, 255), kBorder = rgb(0, 128, 0);
constexpr Rect kPos{10, 10, 90, 50};

struct Face {
    ColorRef from = kFrom, to = kTo;
    int direction = 0, border = 2;
    ColorRef borderColor = kBorder;
    int style = kRectangularFace;
    int noBorder = 0, noFace = 0;
};

void setFace(CDrawObj& obj, int state, const Face& f)
{
    const StateFields& s = kStates[static_cast<std::size_t>(state - 1)];
    obj.SetParam(s.gradientFrom, static_cast<std::int32_t>(f.from));
    obj.SetParam(s.gradientTo, static_cast<std::int32_t>(f.to));
    obj.SetParam(s.gradientDirection, static_cast<std::uint8_t>(f.direction));
    obj.SetParam(s.borderWidth, f.border);
    obj.SetParam(s.borderColor, static_cast<std::int32_t>(f.borderColor));
    obj.SetParam(s.faceStyle, static_cast<std::uint8_t>(f.style));
    obj.SetParam(s.noBorder, f.noBorder);
    obj.SetParam(s.noFace, f.noFace);
}

// A button in state 1 with every reference bound (index and address 0) and no caption.
std::unique_ptr<CDrawObj> makeButton(const Face& face = {})
{
    auto obj = test::makeShape(ShapeKind::Button, kPos);
    obj->m_strName.clear();
    obj->m_cornerSize = {16, 16};
    obj->SetParam(kState, 1);
    obj->SetParam(kLastPaintedState, 9);
    setFace(*obj, 1, face);
    return obj;
}

struct Painted {
    Surface target{100, 60, kUnder};
    Surface work1{100, 60, rgb(255, 0, 255)};  // stale content must never show
    Surface work2{100, 60, rgb(0, 255, 255)};
};

std::unique_ptr<Painted> paint(CDrawObj& obj, const PaintContext& ctx = {})
{
    auto p = std::make_unique<Painted>();
    PaintObject(obj, {p->target, &p->work1, &p->work2}, 1, ctx);
    return p;
}

bool untouched(const Surface& s)
{
    return countNot(s, kUnder, s.bounds()) == 0;
}

// The placeholder: a white box with dark text, instead of the face.
bool showsPlaceholder(const Surface& s)
{
    const int white = countPixels(s, kWhite, kPos);
    return white > kPos.width() * kPos.height() / 2 && white < kPos.width() * kPos.height();
}

TEST(ButtonPainter, RectangularFaceRingsGradientAndOptions)
{
    struct Case {
        const char* what;
        Face face;
        ColorRef topLeft, bottomRight, centre;  // centre: kInvalidColor = a gradient colour
    };
    const ColorRef gradient = kInvalidColor;
    const Case cases[] = {
        {"rings over the gradient", {}, kBorder, invertColor(kBorder), gradient},
        {"no border", {.noBorder = 1}, kFrom, gradient, gradient},
        {"no face: rings on what lies under", {.noFace = 1}, kBorder, invertColor(kBorder), kUnder},
        {"no gradient direction: what lies under shows", {.direction = 7}, kBorder, invertColor(kBorder), kUnder},
    };
    for (const Case& c : cases) {
        auto obj = makeButton(c.face);
        const auto p = paint(*obj);
        const Surface& s = p->target;
        EXPECT_EQ(s.getPixel(kPos.left, kPos.top), c.topLeft) << c.what;
        EXPECT_EQ(s.getPixel(kPos.left + 1, kPos.top), c.face.noBorder ? kFrom : kBorder) << c.what;
        const ColorRef br = s.getPixel(kPos.right - 1, kPos.bottom - 1);
        const ColorRef mid = s.getPixel(50, 30);
        if (c.bottomRight == gradient)
            EXPECT_GT(blueOf(br), redOf(br)) << c.what;
        else
            EXPECT_EQ(br, c.bottomRight) << c.what;
        if (c.centre == gradient)
            EXPECT_TRUE(redOf(mid) > 0 && blueOf(mid) > 0 && greenOf(mid) == 0) << c.what;
        else
            EXPECT_EQ(mid, c.centre) << c.what;
        EXPECT_EQ(s.getPixel(kPos.right, kPos.bottom), kUnder) << c.what;  // nothing outside
        EXPECT_EQ(countPixels(s, rgb(255, 0, 255), s.bounds()) + countPixels(s, rgb(0, 255, 255), s.bounds()), 0) << c.what;
        EXPECT_EQ(obj->Param(kLastPaintedState), 1) << c.what;
    }
}

TEST(ButtonPainter, HorizontalGradientRunsLeftToRight)
{
    auto obj = makeButton({.direction = 1, .noBorder = 1});
    const auto p = paint(*obj);
    EXPECT_EQ(p->target.getPixel(kPos.left, 30), kFrom);
    EXPECT_EQ(p->target.getPixel(kPos.left, kPos.bottom - 1), kFrom);
    EXPECT_GT(blueOf(p->target.getPixel(kPos.right - 1, 20)), 200);
}

TEST(ButtonPainter, RoundFaceKeepsCornersAndDrawsTheOutline)
{
    struct Case {
        const char* what;
        Face face;
        ColorRef topMiddle;  // kInvalidColor: a gradient colour
    };
    const Case cases[] = {
        {"outline in the border colour", {.border = 3, .style = 0}, kBorder},
        {"no border option: the pen band stays see-through", {.border = 3, .style = 0, .noBorder = 1}, kUnder},
        {"border width 0: no outline", {.border = 0, .style = 0}, kUnder},
        {"no face: only the outline", {.border = 3, .style = 2, .noFace = 1}, kBorder},
    };
    for (const Case& c : cases) {
        auto obj = makeButton(c.face);
        const LogPen pen = obj->m_penInfo;
        const LogBrush brush = obj->m_brushInfo;
        const auto p = paint(*obj);
        const Surface& s = p->target;
        EXPECT_EQ(s.getPixel(kPos.left, kPos.top), kUnder) << c.what;
        EXPECT_EQ(s.getPixel(kPos.right - 1, kPos.bottom - 1), kUnder) << c.what;
        EXPECT_EQ(s.getPixel(50, kPos.top), c.topMiddle) << c.what;
        const ColorRef mid = s.getPixel(50, 30);
        if (c.face.noFace)
            EXPECT_EQ(mid, kUnder) << c.what;
        else
            EXPECT_TRUE(redOf(mid) > 0 && blueOf(mid) > 0 && greenOf(mid) == 0) << c.what;
        // The painter's pens are its own: the stored pen and brush stay as they were.
        EXPECT_EQ(obj->m_penInfo, pen) << c.what;
        EXPECT_EQ(obj->m_brushInfo, brush) << c.what;
    }
}

TEST(ButtonPainter, BlackColoursAreRaisedToOneAndStoredBack)
{
    const StateFields& f = kStates[0];
    {
        auto obj = makeButton({.from = 0, .noBorder = 1});
        const auto p = paint(*obj);
        EXPECT_EQ(obj->Param(f.gradientFrom), 1);
        EXPECT_EQ(p->target.getPixel(50, kPos.top), 1u);
    }
    {
        auto obj = makeButton({.from = 0, .border = 2, .borderColor = 0, .style = 0});
        const auto p = paint(*obj);
        EXPECT_EQ(obj->Param(f.gradientFrom), 1);
        EXPECT_EQ(obj->Param(f.borderColor), 1);
        EXPECT_EQ(p->target.getPixel(50, kPos.top), 1u);  // the outline survives the black key
    }
}

TEST(ButtonPainter, StateByteSelectsTheAppearance)
{
    struct Case {
        int state;
        bool drawn;
    };
    for (const Case c : {Case{0, false}, Case{1, true}, Case{2, true}, Case{3, true}, Case{4, false}, Case{255, false}}) {
        auto obj = makeButton();
        obj->m_strName = "OK";
        for (int s = 1; s <= 3; ++s)
            setFace(*obj, s, {.from = rgb(40 * s, 0, 0), .to = rgb(40 * s, 0, 0), .noBorder = 1});
        obj->SetParam(kState, static_cast<std::uint8_t>(c.state));
        const auto p = paint(*obj);
        if (!c.drawn) {
            EXPECT_TRUE(untouched(p->target)) << c.state;           // neither face nor caption
            EXPECT_EQ(obj->Param(kLastPaintedState), 9) << c.state;
            continue;
        }
        EXPECT_EQ(p->target.getPixel(kPos.left + 1, kPos.top + 1), rgb(40 * c.state, 0, 0)) << c.state;
        EXPECT_EQ(obj->Param(kLastPaintedState), c.state) << c.state;
    }
}

TEST(ButtonPainter, CaptionCentredInTheTextColour)
{
    auto obj = makeButton({.noBorder = 1, .noFace = 1});
    obj->m_strName = "按钮";
    obj->SetParam(kTextColor, static_cast<std::int32_t>(rgb(0, 0, 200)));
    const auto p = paint(*obj);
    const int ink = countPixels(p->target, rgb(0, 0, 200), kPos);
    EXPECT_GT(ink, 20);
    EXPECT_EQ(countPixels(p->target, rgb(0, 0, 200), p->target.bounds()), ink);
    // Centred: as much ink left of the middle as right of it, give or take a stroke.
    const int left = countPixels(p->target, rgb(0, 0, 200), {kPos.left, kPos.top, 50, kPos.bottom});
    EXPECT_NEAR(left, ink - left, ink / 4);
}

struct PictureFixture {
    ColorRef colour = rgb(0, 200, 0);
    std::shared_ptr<Picture> pic = std::make_shared<Picture>();
    PaintContext ctx;
    PictureFixture()
    {
        pic->pixels.reset(4, 2, colour);
        pic->pixels.fillRect({2, 0, 4, 2}, kWhite);  // right half in the key colour
        ctx.projectDir = "/project";
        ctx.loadPicture = [this](const std::filesystem::path& p) -> PicturePtr {
            return p.filename() == "a.bmp" ? pic : nullptr;
        };
    }
};

TEST(ButtonPainter, PictureAppearanceAndMissingPictures)
{
    struct Case {
        const char* what;
        std::vector<std::string> files;
        int transparent;
        ColorRef left, right;  // kInvalidColor: nothing drawn at all
    };
    const Case cases[] = {
        {"stretched over the button", {"\\UserPicture\\a.bmp"}, 0, rgb(0, 200, 0), kWhite},
        {"key colour left out", {"\\UserPicture\\a.bmp"}, 1, rgb(0, 200, 0), kUnder},
        {"no entry for the state", {}, 0, kInvalidColor, kInvalidColor},
        {"file cannot be read", {"\\UserPicture\\gone.bmp"}, 0, kInvalidColor, kInvalidColor},
    };
    for (const Case& c : cases) {
        PictureFixture fx;
        auto obj = makeButton();
        obj->m_strName = "OK";
        obj->m_strFiles = c.files;
        obj->SetParam(kStates[0].usePicture, 1);
        obj->SetParam(kStates[0].pictureTransparent, c.transparent);
        obj->SetParam(kStates[0].transparentColor, static_cast<std::int32_t>(kWhite));
        const auto p = paint(*obj, fx.ctx);
        if (c.left == kInvalidColor) {
            EXPECT_TRUE(untouched(p->target)) << c.what;  // not even the caption
            EXPECT_EQ(obj->Param(kLastPaintedState), 9) << c.what;
            continue;
        }
        EXPECT_EQ(p->target.getPixel(kPos.left + 2, kPos.top + 2), c.left) << c.what;
        EXPECT_EQ(p->target.getPixel(kPos.right - 2, kPos.bottom - 2), c.right) << c.what;
        EXPECT_EQ(obj->Param(kLastPaintedState), 1) << c.what;
    }
}

TEST(ButtonPainter, LatchedKeyboardKeysAreDrawnPressedOnlyInTheSimulator)
{
    struct Case {
        const char* function;
        bool PaintContext::*latch;
        bool run, compiling;
        int state;
    };
    const Case cases[] = {
        {"键盘\"Shift\"", &PaintContext::shiftLatch, true, false, 3},
        {"键盘\"Capslk\"", &PaintContext::capsLock, true, false, 3},
        {"键盘\"Ins\"", &PaintContext::insertMode, true, false, 3},
        {"键盘\"PingYinSwitch\"", &PaintContext::pinyinMode, true, false, 3},
        {"键盘\"Shift\"", &PaintContext::capsLock, true, false, 1},   // another key's latch
        {"键盘\"Shift\"", &PaintContext::shiftLatch, false, false, 1}, // editing view
        {"键盘\"Shift\"", &PaintContext::shiftLatch, true, true, 1},   // compile render
        {"Shift", &PaintContext::shiftLatch, true, false, 1},
    };
    for (const Case& c : cases) {
        auto obj = makeButton();
        setFace(*obj, 3, {.from = rgb(0, 90, 0), .to = rgb(0, 90, 0), .noBorder = 1});
        obj->m_strFiles = {"", "", "", c.function};
        PaintContext ctx;
        ctx.runMode = c.run;
        ctx.compiling = c.compiling;
        ctx.*c.latch = true;
        const auto p = paint(*obj, ctx);
        EXPECT_EQ(obj->Param(kState), c.state) << c.function;
        EXPECT_EQ(p->target.getPixel(50, 30) == rgb(0, 90, 0), c.state == 3) << c.function;
    }
}

TEST(ButtonPainter, HideBitInTheSimulator)
{
    enum Look { Drawn, Hidden, Placeholder };
    struct Case {
        bool run;
        std::int32_t address, bit;
        std::uint8_t byte;
        Look look;
    };
    const Case cases[] = {
        {true, 100, 3, 0x08, Drawn},   {true, 100, 3, 0xF7, Hidden},     {false, 100, 3, 0x00, Drawn},
        {true, 100, 11, 0x00, Drawn},  // bit 11 is bit 3 of the next byte
        {true, 0x10000, 0, 0x00, Drawn},      // outside 0..0xFFFF: the hide test is not used
        {true, 0xFFFF, 8, 0x00, Placeholder}, // the bit's byte lies past the memory
        {true, 100, -1, 0x00, Placeholder},
    };
    for (const Case& c : cases) {
        auto bank = std::make_unique<VarBank>();
        bank->writeByte(100, c.byte);
        bank->writeByte(101, 0x08);
        auto obj = makeButton({.noBorder = 1});
        obj->SetParam(kHideOption, 1);
        obj->SetParamI32(184, c.address);
        obj->SetParam(kHideBit, c.bit);
        PaintContext ctx;
        ctx.runMode = c.run;
        ctx.varMem = bank.get();
        const auto p = paint(*obj, ctx);
        const Look look = untouched(p->target) ? Hidden : showsPlaceholder(p->target) ? Placeholder : Drawn;
        EXPECT_EQ(look, c.look) << c.address << " bit " << c.bit;
    }
}

TEST(ButtonPainter, UnboundRequiredReferencesShowThePlaceholder)
{
    struct Case {
        const char* what;
        std::function<void(CDrawObj&)> setUp;
        bool placeholder;
    };
    const Case cases[] = {
        {"all bound", [](CDrawObj&) {}, false},
        {"hide option, index -1", [](CDrawObj& o) { o.SetParam(kHideOption, 1); o.SetParamI32(172, -1); }, true},
        {"hide option, address -1", [](CDrawObj& o) { o.SetParam(kHideOption, 1); o.SetParamI32(184, -1); }, true},
        {"hide unbound, option off", [](CDrawObj& o) { o.SetParamI32(172, -1); }, false},
        {"write enable unbound", [](CDrawObj& o) { o.SetParam(kWriteEnableOption, 1); o.SetParamI32(220, -1); }, true},
        {"operates its variable, unbound",
         [](CDrawObj& o) { o.m_strFiles = {"", "", "", "操作变量"}; o.SetParamI32(128, -1); }, true},
        {"another function, variable unbound",
         [](CDrawObj& o) { o.m_strFiles = {"", "", "", "切换画面"}; o.SetParamI32(164, -1); }, false},
    };
    for (const Case& c : cases) {
        auto obj = makeButton({.noBorder = 1});
        c.setUp(*obj);
        const auto p = paint(*obj);
        EXPECT_EQ(showsPlaceholder(p->target), c.placeholder) << c.what;
    }
}

TEST(ButtonPainter, MissingWorkSurfacesGiveTheSamePixels)
{
    for (const Face& face : {Face{.border = 3, .style = 0}, Face{}}) {
        auto a = makeButton(face);
        auto b = makeButton(face);
        const auto withWork = paint(*a);
        Surface alone(100, 60, kUnder);
        PaintObject(*b, {alone}, 1, PaintContext{});
        EXPECT_EQ(countNot(alone, kUnder, alone.bounds()), countNot(withWork->target, kUnder, alone.bounds()));
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 100; ++x)
                ASSERT_EQ(alone.getPixel(x, y), withWork->target.getPixel(x, y)) << x << "," << y;
    }
}

TEST(ButtonPainter, HostileBlocksDoNotCrash)
{
    const Rect positions[] = {{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {90, 50, 10, 10}, {-50, -50, 5, 5}, {0, 0, 0, 0}};
    const int widths[] = {INT_MAX, INT_MIN, -1, 1 << 20};
    for (const Rect& pos : positions)
        for (int width : widths)
            for (int style : {0, 1}) {
                auto obj = makeButton({.direction = 1, .border = width, .style = style});
                obj->m_rcPosition = pos;
                obj->m_cornerSize = {INT_MAX, INT_MIN};
                obj->m_strName = "很长的按钮文字很长的按钮文字";
                obj->m_logfont.lfHeight = INT_MIN;
                const auto p = paint(*obj);
                EXPECT_EQ(test::inkOutside(p->target, kUnder, pos), 0)
                    << pos.left << "," << pos.top << " width " << width << " style " << style;
            }
}

} // namespace
} // namespace qv
