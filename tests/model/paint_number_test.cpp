// The real-time number and numeric input painters: value text, byte orders, layout,
// background, turned text, picture characters, run-mode hide and move, the keypad box.
#include "model/paint/controls/number_painters.h"
#include "model/paint/number_format.h"
#include "model/vars/var_bank.h"
#include "paint_fixtures.h"

#include <climits>
#include <cstring>
#include <functional>
#include <map>
#include <memory>

namespace qv {
namespace {

using namespace test;
using namespace blocks::number;

constexpr ColorRef kUnder = rgb(128, 128, 128);
constexpr ColorRef kBack = rgb(255, 255, 200);
constexpr ColorRef kInk = rgb(0, 0, 160);
constexpr Rect kPos{10, 10, 150, 40};
constexpr std::int32_t kValueAddress = 200;

// A real-time number bound to an unsigned short at kValueAddress, 16-pixel font, no border.
std::unique_ptr<CDrawObj> makeNumber(int type = 3)
{
    auto obj = test::makeShape(ShapeKind::RealTimeNumber, kPos);
    obj->m_logfont.lfHeight = 16;
    obj->SetParamI32(84, 0);
    obj->SetParamI32(80, kValueAddress);
    obj->SetParamU8(76, static_cast<std::uint8_t>(type));
    obj->SetParam(kFontColor, static_cast<std::int32_t>(kInk));
    obj->SetParam(kBackColor, static_cast<std::int32_t>(kBack));
    obj->SetParam(kBorderWidth, 0);
    obj->SetParam(kDigits, 5);
    obj->SetParam(kAlignment, kAlignStart);
    return obj;
}

struct Fixture {
    std::unique_ptr<VarBank> bank = std::make_unique<VarBank>();
    PaintContext ctx;
    Surface target{200, 100, kUnder};
    Surface work1{200, 100, rgb(255, 0, 255)};
    Surface work2{200, 100, rgb(0, 255, 255)};
    Fixture() { ctx.varMem = bank.get(); }
    Surface& paint(CDrawObj& obj)
    {
        target.clear(kUnder);
        PaintObject(obj, {target, &work1, &work2}, 1, ctx);
        return target;
    }
};

Rect inkBox(const Surface& s, ColorRef ink)
{
    Rect b{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            if (s.getPixel(x, y) == ink)
                b = {std::min(b.left, x), std::min(b.top, y), std::max(b.right, x + 1), std::max(b.bottom, y + 1)};
    return b.left == INT_MAX ? Rect{} : b;
}

bool samePixels(const Surface& a, const Surface& b)
{
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.getPixel(x, y) != b.getPixel(x, y))
                return false;
    return true;
}

bool showsPlaceholder(const Surface& s, const Rect& r)
{
    const int white = countPixels(s, 0x00FFFFFF, r);
    return white > r.width() * r.height() / 2;
}

TEST(RealTimeNumber, IntegerValueTextByTypeAndFormat)
{
    struct Case {
        int type;
        std::int64_t stored;
        int decimals, digits, fill;
        bool plus;
        std::string text;
    };
    const Case cases[] = {
        {2, 5, 2, 5, 0, false, "0.05"},
        {2, -5, 2, 5, 0, false, "-0.05"},
        {0, 0xFF, 0, 3, 0, false, "-1"},
        {1, 0xFF, 0, 3, 0, false, "255"},
        {5, 0xFFFFFFFF, 0, 10, 0, false, "4294967295"},
        {4, 0x80000000, 0, 10, 0, false, "-2147483648"},
        {3, 42, 1, 5, kFillZeros, true, "+0004.2"},
        {5, 123456, 0, 3, 0, false, "456"},
    };
    for (const Case& c : cases) {
        Fixture fx;
        auto obj = makeNumber(c.type);
        fx.bank->writeTyped(kValueAddress, c.type, c.stored);
        obj->SetParam(kDecimals, c.decimals);
        obj->SetParam(kDigits, c.digits);
        obj->SetParam(kFill, c.fill);
        obj->SetParam(kPlusSign, c.plus ? 1 : 0);
        EXPECT_EQ(RealTimeValueText(*obj, fx.ctx).value_or("?"), c.text) << c.stored;
    }
}

// Stores the number's bytes so that the given order reads them back.
void storeInOrder(VarBank& bank, std::int64_t address, double value, int order)
{
    static const int orders[8][8] = {{0, 1, 2, 3}, {1, 0, 3, 2}, {3, 2, 1, 0}, {2, 3, 0, 1},
                                     {0, 1, 2, 3, 4, 5, 6, 7}, {1, 0, 3, 2, 5, 4, 7, 6},
                                     {7, 6, 5, 4, 3, 2, 1, 0}, {6, 7, 4, 5, 2, 3, 0, 1}};
    unsigned char bytes[8];
    const float f = static_cast<float>(value);
    order >= 4 ? std::memcpy(bytes, &value, 8) : std::memcpy(bytes, &f, 4);
    for (int i = 0; i < (order >= 4 ? 8 : 4); ++i)
        bank.writeByte(address + orders[order][i], bytes[i]);
}

TEST(RealTimeNumber, FloatingPointByteOrders)
{
    for (int order = 0; order < 8; ++order) {
        Fixture fx;
        auto obj = makeNumber();
        obj->SetParam(kToFloat, 1);
        obj->SetParam(kFloatOrder, order);
        obj->SetParam(kDecimals, 2);
        obj->SetParam(kDigits, 6);
        storeInOrder(*fx.bank, kValueAddress, -12.5, order);
        EXPECT_EQ(RealTimeValueText(*obj, fx.ctx).value_or("?"), "-12.50") << "order " << order;
    }
    // Big-endian double (order 6) paints exactly as the little-endian one (order 4).
    Fixture little, big;
    auto a = makeNumber(), b = makeNumber();
    for (auto* o : {a.get(), b.get()}) {
        o->SetParam(kToFloat, 1);
        o->SetParam(kDecimals, 3);
    }
    a->SetParam(kFloatOrder, 4);
    b->SetParam(kFloatOrder, 6);
    storeInOrder(*little.bank, kValueAddress, 3.25, 4);
    storeInOrder(*big.bank, kValueAddress, 3.25, 6);
    EXPECT_TRUE(samePixels(little.paint(*a), big.paint(*b)));
    EXPECT_GT(countPixels(little.target, kInk, kPos), 0);
}

TEST(RealTimeNumber, UnusualNumbersAndUnreadableValues)
{
    struct Case {
        const char* what;
        std::function<void(CDrawObj&, VarBank&)> setUp;
        std::optional<std::string> text;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {"NaN stays a word", [&](CDrawObj& o, VarBank& m) { o.SetParam(kToFloat, 1); o.SetParam(kFloatOrder, 4); storeInOrder(m, kValueAddress, nan, 4); }, "nan"},
        {"1e308 is too long: hashes", [](CDrawObj& o, VarBank& m) { o.SetParam(kToFloat, 1); o.SetParam(kFloatOrder, 4); storeInOrder(m, kValueAddress, 1e308, 4); }, "#####"},
        {"unknown order reads as order 0", [](CDrawObj& o, VarBank& m) { o.SetParam(kToFloat, 1); o.SetParam(kFloatOrder, 99); o.SetParam(kDecimals, 1); storeInOrder(m, kValueAddress, 2.5, 0); }, "2.5"},
        {"double past the memory's end", [](CDrawObj& o, VarBank&) { o.SetParam(kToFloat, 1); o.SetParam(kFloatOrder, 4); o.SetParamI32(80, 0xFFFC); }, std::nullopt},
        {"int past the memory's end", [](CDrawObj& o, VarBank&) { o.SetParamU8(76, 4); o.SetParamI32(80, 0xFFFE); }, std::nullopt},
        {"unknown type code", [](CDrawObj& o, VarBank&) { o.SetParamU8(76, 9); }, std::nullopt},
    };
    for (const Case& c : cases) {
        Fixture fx;
        auto obj = makeNumber();
        c.setUp(*obj, *fx.bank);
        EXPECT_EQ(RealTimeValueText(*obj, fx.ctx), c.text) << c.what;
        // Whatever cannot be read shows the control as unbound.
        EXPECT_EQ(showsPlaceholder(fx.paint(*obj), kPos), !c.text.has_value()) << c.what;
    }
}

std::vector<std::string_view> charsOf(std::string_view s)
{
    std::vector<std::string_view> out;
    for (std::size_t i = 0; i < s.size(); ++i)
        out.push_back(s.substr(i, 1));
    return out;
}

TEST(RealTimeNumber, LineLayoutByAlignment)
{
    struct Case {
        const char* text;
        int alignment;
        std::int64_t length;
        std::vector<std::pair<std::size_t, std::int64_t>> cells;  // character, offset
    };
    // pitch 10, '.' 4
    const Case cases[] = {
        {"12.5", kAlignStart, 100, {{0, 0}, {1, 10}, {2, 20}, {3, 24}}},
        {"12.5", kAlignStart, 24, {{0, 0}, {1, 10}, {2, 20}}},         // '5' would pass the end
        {"12.5", kAlignCentre, 100, {{0, 33}, {1, 43}, {2, 53}, {3, 57}}},
        {"12345", kAlignCentre, 31, {{2, 0}, {3, 10}, {4, 20}}},       // leading ones dropped
        {"12.5", kAlignEnd, 100, {{3, 90}, {2, 86}, {1, 76}, {0, 66}}},
        {"12345", kAlignEnd, 25, {{4, 15}, {3, 5}}},
        {"12", 7, 100, {{0, 0}, {1, 10}}},                              // unknown: start
        {"12", kAlignCentre, 0, {}},
    };
    for (const Case& c : cases) {
        const auto chars = charsOf(c.text);
        const auto cells = LayoutNumberLine(chars, 10, 4, c.alignment, c.length);
        std::vector<std::pair<std::size_t, std::int64_t>> got;
        for (const NumberCell& cell : cells) {
            got.emplace_back(cell.charIndex, cell.offset);
            EXPECT_EQ(cell.length, chars[cell.charIndex] == "." ? 4 : 10);
        }
        EXPECT_EQ(got, c.cells) << c.text << " alignment " << c.alignment << " length " << c.length;
    }
}

TEST(RealTimeNumber, AlignmentPlacesTheInk)
{
    Fixture fx;
    fx.bank->writeTyped(kValueAddress, 3, 7);
    auto obj = makeNumber();
    obj->SetParam(kDigits, 1);
    std::map<int, Rect> boxes;
    for (int a : {kAlignStart, kAlignCentre, kAlignEnd}) {
        obj->SetParam(kAlignment, a);
        boxes[a] = inkBox(fx.paint(*obj), kInk);
    }
    EXPECT_LT(boxes[kAlignStart].left, kPos.left + 10);
    EXPECT_GT(boxes[kAlignEnd].right, kPos.right - 10);
    EXPECT_NEAR((boxes[kAlignCentre].left + boxes[kAlignCentre].right) / 2, (kPos.left + kPos.right) / 2, 6);
    for (const auto& [a, box] : boxes)
        EXPECT_TRUE(box.top >= kPos.top && box.bottom <= kPos.bottom) << a;
}

TEST(RealTimeNumber, BackgroundBorderAndTooSmallBoxes)
{
    Fixture fx;
    fx.bank->writeTyped(kValueAddress, 3, 1);
    fx.bank->writeTyped(300, 3, 0xF800);  // pure red in RGB565
    struct Case {
        const char* what;
        int border, threeD, transparent, fromVar;
        ColorRef corner, inside;  // kInvalidColor: nothing drawn
    };
    const ColorRef border = rgb(0, 100, 0);
    const Case cases[] = {
        {"plain background", 0, 0, 0, 0, kBack, kBack},
        {"flat border", 3, 0, 0, 0, border, kBack},
        {"3-D rings", 3, 1, 0, 0, border, kBack},
        {"transparent background", 0, 0, 1, 0, kUnder, kUnder},
        {"colour from the variable, no border", 3, 1, 0, 1, rgb(248, 0, 0), rgb(248, 0, 0)},
        {"border of more than half the height", 16, 0, 0, 0, kInvalidColor, kInvalidColor},
    };
    for (const Case& c : cases) {
        auto obj = makeNumber();
        obj->SetParam(kBorderWidth, c.border);
        obj->SetParam(kBorderColor, static_cast<std::int32_t>(border));
        obj->SetParam(kBorderType, c.threeD);
        obj->SetParam(kTransparent, c.transparent);
        obj->SetParam(kBackVarOn, c.fromVar);
        obj->SetParamI32(168, 300);
        const Surface& s = fx.paint(*obj);
        if (c.corner == kInvalidColor) {
            EXPECT_EQ(countNot(s, kUnder, s.bounds()), 0) << c.what;
            continue;
        }
        EXPECT_EQ(s.getPixel(kPos.left, kPos.top), c.corner) << c.what;
        EXPECT_EQ(s.getPixel(kPos.left + 4, kPos.top + 4), c.inside) << c.what;
        if (c.threeD && !c.fromVar)
            EXPECT_EQ(s.getPixel(kPos.right - 1, kPos.bottom - 1), invertColor(border)) << c.what;
    }
}

TEST(RealTimeNumber, FontColourFromTheVariable)
{
    Fixture fx;
    fx.bank->writeTyped(kValueAddress, 3, 8);
    fx.bank->writeTyped(302, 3, 0x07E0);  // pure green in RGB565
    auto obj = makeNumber();
    obj->SetParam(kFontVarOn, 1);
    obj->SetParamI32(152, 302);
    const Surface& s = fx.paint(*obj);
    EXPECT_GT(countPixels(s, rgb(0, 252, 0), kPos), 0);
    EXPECT_EQ(countPixels(s, kInk, s.bounds()), 0);
}

TEST(RealTimeNumber, TurnedTextReadsBottomToTop)
{
    Fixture fx;
    fx.bank->writeTyped(kValueAddress, 3, 12345);
    auto obj = makeNumber();
    obj->m_rcPosition = {20, 5, 50, 95};
    obj->SetParam(kTurned, 1);
    const Surface& s = fx.paint(*obj);
    const Rect box = inkBox(s, kInk);
    EXPECT_GT(box.height(), 2 * box.width());
    EXPECT_GE(box.top, 5);
    EXPECT_LE(box.bottom, 95);
    // The first digit sits at the bottom: the last rows hold ink, the top of the box none.
    EXPECT_GT(countPixels(s, kInk, {20, 70, 50, 95}), 0);
    EXPECT_EQ(countPixels(s, kInk, {20, 5, 50, 12}), 0);
    EXPECT_EQ(countPixels(s, rgb(255, 0, 255), s.bounds()) + countPixels(s, rgb(0, 255, 255), s.bounds()), 0);
}

TEST(RealTimeNumber, RunModeHideMoveAndLowBoxes)
{
    enum Look { Drawn, Nothing, Placeholder };
    struct Case {
        const char* what;
        bool run;
        std::function<void(CDrawObj&, VarBank&)> setUp;
        Look look;
    };
    const auto hide = [](std::uint8_t byte) {
        return [byte](CDrawObj& o, VarBank& m) {
            o.SetParam(kHideOn, 1);
            o.SetParamI32(124, 400);
            o.SetParam(kHideBit, 2);
            m.writeByte(400, byte);
        };
    };
    const auto move = [](std::int32_t address) {
        return [address](CDrawObj& o, VarBank& m) {
            o.SetParam(kMoveOn, 1);
            o.SetParamI32(120, address);
            m.writeTyped(500, 2, 100);
            m.writeTyped(502, 2, 50);
        };
    };
    const auto low = [](CDrawObj& o, VarBank&) { o.m_rcPosition = {10, 10, 150, 20}; };
    const Case cases[] = {
        {"hide bit set", true, hide(0x04), Drawn},
        {"hide bit clear", true, hide(0xFB), Nothing},
        {"hide ignored while editing", false, hide(0x00), Drawn},
        {"moved to the margins plus x, y", true, move(500), Drawn},
        {"move variable past the memory: stays", true, move(0xFFFE), Drawn},
        {"move address outside 0..0xFFFE", true, move(0xFFFF), Drawn},
        {"lower than the font while editing", false, low, Drawn},
        {"lower than the font in the simulator", true, low, Nothing},
    };
    for (const Case& c : cases) {
        Fixture fx;
        fx.ctx.runMode = c.run;
        fx.ctx.margins = {38, 38};
        fx.bank->writeTyped(kValueAddress, 3, 42);
        auto obj = makeNumber();
        obj->SetParam(kBorderWidth, 1);
        obj->SetParam(kBorderColor, static_cast<std::int32_t>(rgb(0, 100, 0)));
        c.setUp(*obj, *fx.bank);
        const Surface& s = fx.paint(*obj);
        const Look look = showsPlaceholder(s, obj->m_rcPosition.normalized()) ? Placeholder
                          : countPixels(s, kInk, s.bounds()) > 0                ? Drawn
                                                                                 : Nothing;
        EXPECT_EQ(look, c.look) << c.what;
        if (std::string_view(c.what) == "hide bit clear")
            EXPECT_EQ(countNot(s, kUnder, s.bounds()), 0);  // not even the background
    }
    // The move places the box's top-left corner at (38 + 100, 38 + 50), size kept.
    Fixture fx;
    fx.ctx.runMode = true;
    fx.ctx.margins = {38, 38};
    auto obj = makeNumber();
    obj->m_rcPosition = {0, 0, 40, 20};
    move(500)(*obj, *fx.bank);
    const Surface& s = fx.paint(*obj);
    EXPECT_EQ(s.getPixel(138, 88), kBack);
    EXPECT_EQ(s.getPixel(137, 88), kUnder);
    EXPECT_EQ(s.getPixel(176, 99), kBack);
    EXPECT_EQ(s.getPixel(178, 88), kUnder);
    EXPECT_EQ(obj->m_rcPosition, (Rect{0, 0, 40, 20}));  // the object itself stays
}

TEST(RealTimeNumber, UnboundReferencesShowThePlaceholder)
{
    struct Case {
        const char* what;
        int option, optionWidth, addressOffset;
    };
    const Case cases[] = {
        {"value", -1, 0, 80},
        {"hide", kHideOn.offset, 1, 124},
        {"write enable", kWriteOn.offset, 4, 184},
        {"move", kMoveOn.offset, 1, 120},
        {"font colour", kFontVarOn.offset, 4, 152},
        {"background colour", kBackVarOn.offset, 4, 168},
    };
    for (const Case& c : cases) {
        for (bool optionOn : {true, false}) {
            Fixture fx;
            auto obj = makeNumber();
            if (optionOn && c.option >= 0)
                c.optionWidth == 1 ? obj->SetParamU8(c.option, 1) : obj->SetParamI32(c.option, 1);
            obj->SetParamI32(c.addressOffset, -1);
            const bool required = c.option < 0 || optionOn;
            EXPECT_EQ(showsPlaceholder(fx.paint(*obj), kPos), required) << c.what << " option " << optionOn;
        }
    }
}

struct PictureFont {
    std::map<std::string, PicturePtr> pictures;
    PictureFont(PaintContext& ctx, CDrawObj& obj, int missing = -1)
    {
        obj.m_strFiles.clear();
        for (int i = 0; i < 14; ++i) {
            const std::string name = "c" + std::to_string(i) + ".bmp";
            obj.m_strFiles.push_back("\\UserPicture\\" + name);
            if (i == missing)
                continue;
            auto pic = std::make_shared<Picture>();
            pic->pixels.reset(i == 13 ? 4 : 8, 12, colourOf(i));
            pic->pixels.setPixel(0, 0, 0x00FFFFFF);  // one pixel in the key colour
            pictures[name] = pic;
        }
        ctx.projectDir = "/project";
        ctx.loadPicture = [this](const std::filesystem::path& p) -> PicturePtr {
            const auto it = pictures.find(p.filename().string());
            return it == pictures.end() ? nullptr : it->second;
        };
    }
    static ColorRef colourOf(int i) { return rgb(10 + 15 * i, 200 - 10 * i, 30); }
};

TEST(RealTimeNumber, PictureCharacters)
{
    struct Case {
        const char* what;
        int missing, transparent, vertical;
        std::vector<int> shown;  // picture entries whose colour appears
        std::vector<int> absent;
    };
    const Case cases[] = {
        {"one picture per character", -1, 0, 0, {1, 13, 5}, {0, 10}},
        {"turned", -1, 0, 1, {1, 13, 5}, {0}},
        {"a missing picture ends the line there", 5, 0, 0, {1, 13}, {5}},
        {"without picture 0 no character is drawn", 0, 0, 0, {}, {1, 13, 5}},
    };
    for (const Case& c : cases) {
        Fixture fx;
        fx.bank->writeTyped(kValueAddress, 3, 15);
        auto obj = makeNumber();
        obj->m_rcPosition = c.vertical ? Rect{20, 5, 50, 95} : kPos;
        obj->SetParam(kPictureFont, 1);
        obj->SetParam(kDecimals, 1);
        obj->SetParam(kDigits, 3);
        obj->SetParam(kTurned, static_cast<std::uint8_t>(c.vertical));
        obj->SetParam(kPictureTransparent, c.transparent);
        PictureFont font(fx.ctx, *obj, c.missing);
        const Surface& s = fx.paint(*obj);
        for (int i : c.shown)
            EXPECT_GT(countPixels(s, PictureFont::colourOf(i), s.bounds()), 0) << c.what << " entry " << i;
        for (int i : c.absent)
            EXPECT_EQ(countPixels(s, PictureFont::colourOf(i), s.bounds()), 0) << c.what << " entry " << i;
        if (c.vertical) {
            const Rect one = inkBox(s, PictureFont::colourOf(1)), five = inkBox(s, PictureFont::colourOf(5));
            EXPECT_GT(one.top, five.top) << "the first character sits lowest";
            EXPECT_EQ(one.width(), 12);  // the picture's height runs across the line
        }
    }
    // With the transparent option the key colour of each picture leaves the background.
    Fixture fx;
    fx.bank->writeTyped(kValueAddress, 3, 15);
    auto obj = makeNumber();
    obj->SetParam(kPictureFont, 1);
    obj->SetParam(kPictureTransparent, 1);
    obj->SetParam(kPictureKey, 0x00FFFFFF);
    PictureFont font(fx.ctx, *obj);
    const Surface& s = fx.paint(*obj);
    EXPECT_EQ(countPixels(s, 0x00FFFFFF, kPos), 0);
    EXPECT_GT(countPixels(s, PictureFont::colourOf(5), kPos), 0);
}

TEST(RealTimeNumber, HostileBlocksDoNotCrash)
{
    const Rect positions[] = {{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {150, 40, 10, 10}, {-100, -100, 3, 3}};
    for (const Rect& pos : positions)
        for (int vertical : {0, 1})
            for (int pictures : {0, 1}) {
                Fixture fx;
                fx.ctx.runMode = true;
                auto obj = makeNumber(4);
                obj->m_rcPosition = pos;
                obj->m_logfont.lfHeight = INT_MIN;
                obj->SetParam(kTurned, static_cast<std::uint8_t>(vertical));
                obj->SetParam(kPictureFont, pictures);
                obj->SetParam(kBorderWidth, INT_MAX);
                obj->SetParam(kAlignment, INT_MIN);
                obj->SetParam(kDigits, INT_MAX);
                obj->SetParam(kDecimals, INT_MIN);
                obj->SetParam(kHideBit, INT_MIN);
                obj->SetParam(kMoveOn, 1);
                obj->SetParamI32(120, 0);
                fx.bank->writeTyped(0, 2, -32768);
                fx.bank->writeTyped(2, 2, 32767);
                PictureFont font(fx.ctx, *obj);
                EXPECT_EQ(test::inkOutside(fx.paint(*obj), kUnder, pos), 0) << pos.left << " " << vertical << pictures;
                obj->SetParam(kBorderWidth, 2);
                EXPECT_EQ(test::inkOutside(fx.paint(*obj), kUnder, pos), 0) << pos.left << " " << vertical << pictures;
            }
}

// --- numeric input box ---------------------------------------------------------------------

using namespace blocks::numeric_input;

std::unique_ptr<CDrawObj> makeInput(int mode = kInputBox)
{
    auto obj = test::makeShape(ShapeKind::NumericInput, {10, 10, 190, 40});
    obj->m_logfont.lfHeight = 16;
    obj->SetParam(kTextColor, static_cast<std::int32_t>(kInk));
    obj->SetParam(blocks::numeric_input::kBackColor, static_cast<std::int32_t>(kBack));
    obj->SetParam(kMode, static_cast<std::uint8_t>(mode));
    return obj;
}

Surface paintInput(CDrawObj& obj, const PaintContext& ctx)
{
    Surface s(200, 60, kUnder);
    Surface w1(200, 60, 0), w2(200, 60, 0);
    PaintObject(obj, {s, &w1, &w2}, 1, ctx);
    return s;
}

PaintContext keypad(std::string text)
{
    PaintContext ctx;
    ctx.runMode = true;
    ctx.keypadText = std::move(text);
    return ctx;
}

TEST(NumericInput, TextsByModeAndOptions)
{
    // Each case paints a box and the box that shows the expected text plainly.
    struct Case {
        const char* what;
        std::function<void(CDrawObj&, PaintContext&)> setUp;
        std::string expected;  // painted as a plain left-aligned run-mode input box
        bool leftAligned;
    };
    auto edited = std::make_shared<CDrawRect>(Rect{0, 0, 10, 10});
    edited->SetParam(kMinimum, -150);
    edited->SetParam(kMaximum, 99999);
    edited->SetParam(kDecimals, 2);
    edited->SetParam(kDigits, 4);
    const Case cases[] = {
        {"typed text", [](CDrawObj& o, PaintContext& c) { o.SetParam(kLeftAligned, 1); c = keypad("-12.5"); }, "-12.5", true},
        {"password: one star per character", [](CDrawObj& o, PaintContext& c) { o.SetParam(kLeftAligned, 1); o.SetParam(kPassword, 1); c = keypad("1234"); }, "****", true},
        {"sample while editing", [](CDrawObj& o, PaintContext& c) { o.SetParam(kLeftAligned, 1); c.runMode = false; }, "123456789", true},
        {"password sample", [](CDrawObj& o, PaintContext& c) { o.SetParam(kLeftAligned, 1); o.SetParam(kPassword, 1); }, "*********", true},
        {"minimum of the edited control",
         [&](CDrawObj& o, PaintContext& c) { o.SetParam(kMode, kShowMinimum); c = keypad(""); c.inputTarget = edited.get(); }, "-1.50", true},
        {"maximum keeps the lowest digits",
         [&](CDrawObj& o, PaintContext& c) { o.SetParam(kMode, kShowMaximum); c = keypad(""); c.inputTarget = edited.get(); }, "99.99", true},
        {"right-aligned keeps at most 33 characters",
         [](CDrawObj& o, PaintContext& c) { o.m_logfont.lfHeight = 8; c = keypad(std::string(33, '1') + "2222"); }, std::string(33, '1'), false},
    };
    for (const Case& c : cases) {
        auto obj = makeInput();
        PaintContext ctx;
        c.setUp(*obj, ctx);
        const Surface got = paintInput(*obj, ctx);

        auto plain = makeInput();
        plain->m_logfont = obj->m_logfont;
        plain->SetParam(kLeftAligned, c.leftAligned ? 1 : 0);
        const Surface want = paintInput(*plain, keypad(c.expected));
        EXPECT_TRUE(samePixels(got, want)) << c.what;
        EXPECT_GT(countPixels(got, kInk, got.bounds()), 0) << c.what;
    }
}

TEST(NumericInput, NothingWithoutAnEditedControlOrRoom)
{
    for (int mode : {kShowMinimum, kShowMaximum}) {
        auto obj = makeInput(mode);
        const Surface s = paintInput(*obj, keypad("12"));
        EXPECT_EQ(countNot(s, kUnder, s.bounds()), 0) << mode;
    }
    auto low = makeInput();
    low->m_rcPosition = {10, 10, 190, 20};
    EXPECT_EQ(countNot(paintInput(*low, keypad("12")), kUnder, {0, 0, 200, 60}), 0);
    EXPECT_GT(countNot(paintInput(*low, PaintContext{}), kUnder, {0, 0, 200, 60}), 0);  // editing: drawn
}

TEST(NumericInput, PitchAndHeightStoredAndRightAlignment)
{
    auto obj = makeInput();
    obj->m_logfont.lfHeight = -16;
    const Surface s = paintInput(*obj, keypad("7"));
    const int pitch = obj->Param(kPitch);
    EXPECT_EQ(obj->Param(kCharHeight), 16);
    Surface measure(10, 10);
    measure.selectFont(obj->m_logfont);
    int widest = 0;
    for (char c : std::string_view("0123456789-.*"))
        widest = std::max(widest, measure.textExtent(std::string_view(&c, 1)).cx);
    EXPECT_EQ(pitch, widest + 1);
    // Right-aligned: the one character sits in the last pitch of the box.
    const Rect ink = inkBox(s, kInk);
    EXPECT_GE(ink.left, 190 - pitch);
    EXPECT_LE(ink.right, 190);
    EXPECT_EQ(s.getPixel(10, 10), kBack);
}

TEST(NumericInput, HostileValuesDoNotCrash)
{
    auto edited = std::make_shared<CDrawRect>(Rect{0, 0, 10, 10});
    edited->SetParam(kMinimum, INT_MIN);
    edited->SetParam(kDecimals, INT_MAX);
    edited->SetParam(kDigits, INT_MIN);
    for (const Rect& pos : {Rect{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, Rect{190, 40, 10, 10}, Rect{-5, -5, 2, 2}})
        for (int mode : {0, 1, 2, 200}) {
            auto obj = makeInput(mode);
            obj->m_rcPosition = pos;
            obj->m_logfont.lfHeight = INT_MIN;
            PaintContext ctx = keypad(std::string(5000, '9') + "\xB0");  // a lone lead byte at the end
            ctx.inputTarget = edited.get();
            EXPECT_EQ(test::inkOutside(paintInput(*obj, ctx), kUnder, pos), 0) << pos.left << " mode " << mode;
            obj->SetParam(kLeftAligned, 1);
            EXPECT_EQ(test::inkOutside(paintInput(*obj, ctx), kUnder, pos), 0) << pos.left << " mode " << mode;
        }
}

} // namespace
} // namespace qv
