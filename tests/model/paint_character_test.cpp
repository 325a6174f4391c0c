// Character control and area control painters: layout, wrapping, shown classes, caret,
// conversion text, placeholder, run-mode hide and move, background copy and candidate bar.
#include "model/paint/controls/character_painters.h"
#include "model/paint/pinyin.h"
#include "model/vars/var_bank.h"
#include "paint_fixtures.h"

#include <climits>
#include <functional>

namespace qv {
namespace {

using namespace blocks::character;
using namespace test;

constexpr ColorRef kPaper = rgb(0, 90, 0);
constexpr ColorRef kBack = rgb(230, 230, 200);
constexpr ColorRef kInk = rgb(0, 0, 160);
constexpr ColorRef kCaret = rgb(250, 0, 250);
constexpr int kTextAddress = 100;

class CharacterPaint : public ::testing::Test {
protected:
    void SetUp() override
    {
        ctx.varMem = &live;
        fb.liveBank = &live;
        fb.runBank = &run;
        ctx.feedback = &fb;
        obj = makeShape(ShapeKind::Character, {10, 10, 110, 60});
        obj->m_logfont.lfHeight = 16;  // full cell 16, one-byte cell 8
        obj->SetParam(kFontColor, static_cast<std::int32_t>(kInk));
        obj->SetParam(kBackColor, static_cast<std::int32_t>(kBack));
        obj->SetParamI32(36, 0);                 // string variable row
        obj->SetParamI32(40, kTextAddress);      // its address
        obj->SetParamU8(44, 1);
        obj->SetParam(kStringLength, 32);
        obj->SetParam(kEnglish, 1);
        obj->SetParam(kChinese, 1);
    }

    void setText(std::string_view gbk, VarBank& bank)
    {
        std::vector<std::uint8_t> bytes(gbk.begin(), gbk.end());
        bytes.push_back(0);
        bank.writeBytes(kTextAddress, bytes);
    }
    void setText(std::string_view gbk) { setText(gbk, live); }

    std::string textIn(const VarBank& bank)
    {
        std::string t;
        for (int i = 0; i < 40; ++i) {
            const auto b = bank.readByte(kTextAddress + i);
            if (!b || *b == 0)
                break;
            t.push_back(static_cast<char>(*b));
        }
        return t;
    }

    void paint() { PaintObject(*obj, {surface}, 1, ctx); }
    int inkIn(const Rect& r) const { return countPixels(surface, kInk, r); }

    VarBank live, run;
    PaintFeedback fb;
    PaintContext ctx;
    Surface surface{260, 160, kPaper};
    std::unique_ptr<CDrawObj> obj;
};

TEST_F(CharacterPaint, TwoByteCharacterWrapsWhole)
{
    obj->m_rcPosition = {10, 10, 50, 60};
    setText("123中");
    ctx.runMode = true;
    ctx.inputTarget = obj.get();
    ctx.caret = {12, 30}; // a click on the second line's first cell
    paint();
    EXPECT_EQ(inkIn({34, 10, 50, 26}), 0) << "no half of the wide character at the line's end";
    EXPECT_GT(inkIn({10, 26, 26, 42}), 0);
    ASSERT_TRUE(fb.caret && fb.caretIndex);
    EXPECT_EQ(*fb.caret, (Point{10, 26}));
    EXPECT_EQ(*fb.caretIndex, 3);
}

TEST_F(CharacterPaint, ShownClassesKeepTheirPlaces)
{
    struct Case {
        const char* text;
        int allSingle, digits, dot, minus;
        std::array<bool, 3> inked; // the first three one-byte cells
    };
    const Case cases[] = {
        {"a1.", 0, 1, 0, 0, {false, true, false}},
        {"a1.", 0, 0, 1, 0, {false, false, true}},
        {"-a1", 0, 0, 0, 1, {true, false, false}},
        {"a1.", 1, 0, 0, 0, {true, true, true}},
    };
    for (const Case& c : cases) {
        surface.clear(kPaper);
        obj->SetParam(kEnglish, c.allSingle);
        obj->SetParam(kDigits, c.digits);
        obj->SetParam(kDecimalPoint, c.dot);
        obj->SetParam(kMinus, c.minus);
        setText(c.text);
        paint();
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(inkIn({10 + 8 * i, 10, 18 + 8 * i, 26}) > 0, c.inked[static_cast<std::size_t>(i)])
                << c.text << " cell " << i;
    }
}

TEST_F(CharacterPaint, StringLengthCapsTheTextAndCaretGoesAfterIt)
{
    setText("12345");
    obj->SetParam(kStringLength, 3);
    obj->SetParam(kShowCursor, 1);
    obj->SetParam(kCursorWidth, 2);
    obj->SetParam(kCursorColor, static_cast<std::int32_t>(kCaret));
    obj->m_nRunState = 1;
    ctx.runMode = true;
    ctx.inputTarget = obj.get();
    ctx.caret = {100, 50}; // inside the control, after the text
    paint();
    EXPECT_GT(inkIn({26, 10, 34, 26}), 0);
    EXPECT_EQ(inkIn({35, 10, 50, 26}), 0);
    ASSERT_TRUE(fb.caret && fb.caretIndex);
    EXPECT_EQ(*fb.caret, (Point{34, 10}));
    EXPECT_EQ(*fb.caretIndex, 3);
    EXPECT_EQ(countPixels(surface, kCaret, surface.bounds()), 2 * 16);
    EXPECT_EQ(surface.getPixel(34, 10), kCaret);

    // Outside run mode neither the caret nor the hit test moves anything.
    fb = {};
    fb.liveBank = &live;
    ctx.runMode = false;
    ctx.caret = {-1, -1};
    surface.clear(kPaper);
    paint();
    EXPECT_FALSE(fb.caret);
    EXPECT_EQ(countPixels(surface, kCaret, surface.bounds()), 0);
}

TEST_F(CharacterPaint, MaskShowsTheSameAsStars)
{
    obj->SetParam(kPasswordStyle, 1);
    setText("ab中");
    paint();
    const Surface masked = surface;
    obj->SetParam(kPasswordStyle, 0);
    setText("***");
    surface.clear(kPaper);
    paint();
    int differing = 0;
    for (int y = 0; y < surface.height(); ++y)
        for (int x = 0; x < surface.width(); ++x)
            differing += masked.getPixel(x, y) != surface.getPixel(x, y);
    EXPECT_EQ(differing, 0);
    EXPECT_GT(countNot(surface, kBack, {10, 10, 110, 60}), 0);
}

TEST_F(CharacterPaint, UnboundReferencesShowThePlaceholder)
{
    struct Case {
        const char* what;
        std::function<void(CDrawObj&)> set;
        bool invalid;
    };
    const Case cases[] = {
        {"string row", [](CDrawObj& o) { o.SetParamI32(36, -1); }, true},
        {"string address", [](CDrawObj& o) { o.SetParamI32(40, -1); }, true},
        {"hide", [](CDrawObj& o) { o.SetParam(kHideOn, 1); o.SetParamI32(68, -1); }, true},
        {"hide bound", [](CDrawObj& o) { o.SetParam(kHideOn, 1); }, false},
        {"move", [](CDrawObj& o) { o.SetParam(lowByte(kMoveOn), 1); o.SetParamI32(56, -1); }, true},
        {"font colour", [](CDrawObj& o) { o.SetParam(kFontVarOn, 1); o.SetParamI32(160, -1); }, true},
        {"background colour", [](CDrawObj& o) { o.SetParam(kBackVarOn, 1); o.SetParamI32(180, -1); }, true},
        {"write enable", [](CDrawObj& o) { o.SetParam(kWriteOn, 1); o.SetParamI32(192, -1); }, true},
        {"further", [](CDrawObj& o) { o.SetParam(kClickOn, 1); o.SetParamI32(220, -1); }, true},
        {"further off", [](CDrawObj& o) { o.SetParamI32(220, -1); }, false},
        {"conversion", [](CDrawObj& o) { o.SetParam(kConvertOn, 1); o.SetParamI32(364, -1); }, true},
    };
    for (const Case& c : cases) {
        SetUp();
        surface.clear(kPaper);
        c.set(*obj);
        paint();
        EXPECT_EQ(surface.getPixel(12, 57), c.invalid ? kWhite : kBack) << c.what;
    }
}

TEST_F(CharacterPaint, HideBitOnlyInLiveRunMode)
{
    obj->SetParam(kHideOn, 1);
    obj->SetParamI32(72, 300);
    obj->SetParam(kHideBit, 11); // bit 3 of byte 301
    struct Case {
        bool runMode, compiling, bit;
        bool drawn;
    };
    const Case cases[] = {
        {true, false, false, false}, {true, false, true, true}, {false, false, false, true}, {true, true, false, true}};
    for (const Case& c : cases) {
        surface.clear(kPaper);
        live.writeByte(301, c.bit ? 0x08 : 0xF7);
        ctx.runMode = c.runMode;
        ctx.compiling = c.compiling;
        paint();
        EXPECT_EQ(surface.getPixel(12, 57) == kBack, c.drawn) << c.runMode << c.compiling << c.bit;
    }
    // A hide bit past the memory's end cannot be read: the placeholder, not a silent hide.
    obj->SetParam(kHideBit, INT_MAX);
    ctx.runMode = true;
    ctx.compiling = false;
    paint();
    EXPECT_EQ(surface.getPixel(12, 57), kWhite);
}

TEST_F(CharacterPaint, MoveVariableAndColourVariables)
{
    obj->SetParam(lowByte(kMoveOn), 1);
    obj->SetParamI32(56, 400);
    live.write(400, 2, 100);
    live.write(402, 2, 50);
    obj->SetParam(kBackVarOn, 1);
    obj->SetParamI32(180, 500);
    obj->SetParamU8(184, 3);
    live.write(500, 2, 0xF800); // RGB565 red
    ctx.runMode = true;
    paint();
    EXPECT_EQ(surface.getPixel(140, 90), rgb(248, 0, 0)); // margins 38 + (100, 50)
    EXPECT_EQ(surface.getPixel(20, 20), kPaper);
    EXPECT_EQ(obj->m_rcPosition, (Rect{10, 10, 110, 60})); // only the painted rectangle moves
    EXPECT_EQ(obj->Param(kCellHeight), 16);
    EXPECT_EQ(obj->Param(kCellWidth), 16);
}

TEST_F(CharacterPaint, ConversionRewritesBothBanksAndClampsOnlyWhileTheKeyboardIsIdle)
{
    obj->SetParam(kConvertOn, 1);
    obj->SetParamI32(368, 200);
    obj->SetParamU8(372, 4);
    obj->SetParam(kKeyboardWrite, 1);
    obj->SetParam(kConvertMin, 0);
    obj->SetParam(kConvertMax, 1000);
    struct Case {
        bool keyboardIdle;
        std::int32_t value, stored;
        const char* text;
    };
    const Case cases[] = {{true, 5000, 1000, "1000"}, {false, 5000, 5000, "5000"}, {true, -7, 0, "0"}, {true, 12, 12, "12"}};
    for (const Case& c : cases) {
        live.write(200, 4, static_cast<std::uint32_t>(c.value));
        run.write(200, 4, static_cast<std::uint32_t>(c.value));
        setText("", live);
        setText("9", run);
        ctx.keyboardIdle = c.keyboardIdle;
        paint();
        EXPECT_EQ(static_cast<std::int32_t>(*live.read(200, 4)), c.stored);
        EXPECT_EQ(static_cast<std::int32_t>(*run.read(200, 4)), c.stored);
        EXPECT_EQ(textIn(live), c.text);
        EXPECT_EQ(textIn(run), c.text);
        ASSERT_TRUE(fb.convertClamp);
        EXPECT_TRUE(*fb.convertClamp);
    }
    // The compiler keeps no banks: the text still shows the value, nothing is written.
    ctx.feedback = nullptr;
    setText("", live);
    live.write(200, 4, 77);
    surface.clear(kPaper);
    paint();
    EXPECT_EQ(textIn(live), "");
    EXPECT_GT(inkIn({10, 10, 26, 26}), 0);
}

TEST(InputValueText, FormatsParsesAndKeeps)
{
    struct Case {
        std::int32_t value;
        const char* current;
        int type;
        bool hex, zeroFill;
        int letterCase;
        bool caps;
        std::int32_t size;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {1234, "", 4, false, false, 0, false, 32, "1234"},
        {1234, "1234", 4, false, false, 0, false, 32, std::nullopt},  // already holds the value
        {-1, "5", 4, false, false, 0, false, 32, ""},                 // all ones: empty
        {255, "7", 1, false, false, 0, false, 32, ""},                // all ones of one byte
        {255, "", 1, false, false, 0, false, 32, std::nullopt},
        {-5, "", 0, false, false, 0, false, 32, "-5"},
        {251, "-5", 1, false, false, 0, false, 32, "251"},
        {-2, "", 5, false, false, 0, false, 32, "4294967294"},
        {0x1F, "", 3, true, false, 0, false, 32, "1F"},
        {0x1F, "", 3, true, true, 0, false, 32, "001F"},
        {0x1F, "1f", 3, true, false, 0, false, 32, std::nullopt},
        {0xAB, "", 1, true, false, 1, true, 32, "ab"},
        {0xAB, "", 1, true, false, 2, false, 32, "ab"},
        {0xAB, "", 1, true, false, 2, true, 32, "AB"},
        {0, "", 4, true, false, 0, false, 32, "0"},                    // one digit, not an empty text
        {123456, "", 4, false, false, 0, false, 4, "123"},            // size - 1 characters
        {123456, "", 4, false, false, 0, false, 0, std::nullopt},     // no room at all
    };
    for (const Case& c : cases) {
        InputTextFormat f;
        f.typeCode = c.type;
        f.hex = c.hex;
        f.zeroFill = c.zeroFill;
        f.letterCase = c.letterCase;
        f.capsOrShift = c.caps;
        EXPECT_EQ(FormatInputValue(c.value, c.current, f, c.size), c.expected) << c.value << " '" << c.current << "'";
    }
}

TEST_F(CharacterPaint, HostileBlockValuesEndTheWalk)
{
    struct Case {
        const char* what;
        std::function<void(CDrawObj&)> set;
    };
    const Case cases[] = {
        {"huge length", [](CDrawObj& o) { o.SetParam(kStringLength, INT_MAX); }},
        {"text at the memory's end", [](CDrawObj& o) { o.SetParamI32(40, 0xFFFE); }},
        {"address past the memory", [](CDrawObj& o) { o.SetParamI32(40, INT_MAX); }},
        {"huge font", [](CDrawObj& o) { o.m_logfont.lfHeight = INT_MIN; }},
        {"zero font", [](CDrawObj& o) { o.m_logfont.lfHeight = 0; }},
        {"zero width", [](CDrawObj& o) { o.m_rcPosition = {10, 10, 10, 60}; }},
        {"narrower than a cell", [](CDrawObj& o) { o.m_rcPosition = {10, 10, 14, 160}; }},
        {"negative spacing", [](CDrawObj& o) { o.SetParam(kCharSpacing, -100); o.SetParam(kLineSpacing, INT_MIN); }},
        {"huge spacing", [](CDrawObj& o) { o.SetParam(kCharSpacing, INT_MAX); o.SetParam(kLineSpacing, INT_MAX); }},
        {"edge rectangle", [](CDrawObj& o) { o.m_rcPosition = {INT_MIN, INT_MIN, INT_MAX, INT_MAX}; }},
        {"huge caret", [](CDrawObj& o) { o.SetParam(kCursorWidth, INT_MAX); }},
        {"conversion at the edge", [](CDrawObj& o) { o.SetParam(kConvertOn, 1); o.SetParamI32(368, 0xFFFF); o.SetParamU8(372, 9); }},
    };
    std::string text(300, '\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = i % 7 == 0 ? '\r' : i % 7 == 1 ? '\n' : i % 3 == 0 ? static_cast<char>(0xB0) : '7';
    for (const Case& c : cases) {
        SetUp();
        for (std::int64_t a = 0xFFF0; a < 0x10000; ++a)
            live.writeByte(a, 0xC4);
        setText(text);
        obj->SetParam(kShowCursor, 1);
        obj->m_nRunState = 1;
        ctx.runMode = true;
        ctx.caret = {12, 12};
        c.set(*obj);
        surface.clear(kPaper);
        paint();
        // The walk ends inside the box: only the ink of a glyph drawn at a line's end may
        // overhang its cell, by less than a cell of this 16-pixel font.
        const Rect box = obj->m_rcPosition.normalized();
        EXPECT_EQ(test::inkOutside(surface, kPaper, Rect::saturated(box.left, box.top, std::int64_t{box.right} + 16, box.bottom)), 0)
            << c.what;
    }
}

// --- area control ---------------------------------------------------------------------------

TEST(AreaPaint, OutlineInTheEditorBackgroundCopyInRunMode)
{
    auto area = makeShape(ShapeKind::AreaControl, {50, 50, 70, 70});
    area->SetParam(blocks::area::kBehaviour, blocks::area::kBackgroundCopy);
    Surface back(100, 100, rgb(1, 2, 3));
    back.setPixel(12, 12, rgb(200, 100, 50));
    PaintContext ctx;
    Surface s(100, 100, kPaper);
    PaintObject(*area, {s}, 1, ctx);
    EXPECT_EQ(s.getPixel(50, 50), 0u);                 // the pen
    EXPECT_EQ(s.getPixel(60, 60), rgb(255, 0, 0));     // the brush

    struct Case {
        int option;
        bool withBackground;
        ColorRef corner, inside;
    };
    const Case cases[] = {
        {blocks::area::kBackgroundCopy, true, rgb(200, 100, 50), rgb(1, 2, 3)},
        {blocks::area::kBackgroundCopy, false, kPaper, kPaper},
        {0, true, kPaper, kPaper},
    };
    ctx.runMode = true;
    for (const Case& c : cases) {
        s.clear(kPaper);
        area->SetParam(blocks::area::kBehaviour, static_cast<std::uint8_t>(c.option));
        ctx.runBackground = c.withBackground ? &back : nullptr;
        PaintObject(*area, {s}, 1, ctx);
        EXPECT_EQ(s.getPixel(50, 50), c.corner) << c.option << c.withBackground;
        EXPECT_EQ(s.getPixel(60, 60), c.inside);
        EXPECT_EQ(s.getPixel(49, 49), kPaper);
    }
}

class CandidateBar : public ::testing::Test {
protected:
    void SetUp() override
    {
        edited = makeShape(ShapeKind::Character, {0, 0, 10, 10});
        edited->SetParam(kChinese, 1);
        bar = makeShape(ShapeKind::AreaControl, {0, 0, 253, 30}); // room for 8 candidates of pitch 24
        bar->m_logfont.lfHeight = 16;
        bar->SetParam(blocks::area::kBehaviour, blocks::area::kCandidateBar);
        bar->SetParam(blocks::area::kTextColor, static_cast<std::int32_t>(kInk));
        bar->SetParam(blocks::area::kBackColor, static_cast<std::int32_t>(kBack));
        ctx.runMode = true;
        ctx.pinyinMode = true;
        ctx.inputTarget = edited.get();
        ctx.feedback = &fb;
        ctx.baseDir = "/nonexistent-base";
        ctx.loadPicture = [this](const std::filesystem::path& p) -> PicturePtr {
            arrows.push_back(p.filename().string());
            auto pic = std::make_shared<Picture>();
            pic->pixels.reset(2, 2, rgb(0, 250, 0));
            return pic;
        };
    }
    void paint() { PaintObject(*bar, {surface}, 1, ctx); }

    std::unique_ptr<CDrawObj> edited, bar;
    PaintContext ctx;
    PaintFeedback fb;
    Surface surface{300, 40, kPaper};
    std::vector<std::string> arrows;
};

TEST_F(CandidateBar, PagesOfSixWithArrowsAtBothEnds)
{
    ctx.pinyinLetters = "yi";
    std::string letters = "yi";
    const int count = static_cast<int>(LookupPinyin(letters).size() / 2);
    ASSERT_GT(count, 8);
    const int pages = (8 + count - 3) / 6;
    struct Case {
        int askedPage, page;
        const char *up, *down;
    };
    const Case cases[] = {{0, 0, "up0.bmp", "down1.bmp"}, {1000, pages - 1, "up1.bmp", "down0.bmp"}, {-3, 0, "up0.bmp", "down1.bmp"}};
    for (const Case& c : cases) {
        fb = {};
        arrows.clear();
        ctx.pinyinPage = c.askedPage;
        paint();
        ASSERT_TRUE(fb.pinyinPage);
        EXPECT_EQ(*fb.pinyinPage, c.page);
        EXPECT_EQ(fb.pinyinPitch, 24);
        EXPECT_EQ(static_cast<int>(fb.pinyinCandidates.size()) / 2, count);
        EXPECT_EQ(arrows, (std::vector<std::string>{c.up, c.down}));
    }
    const int x0 = 253 - 8 * 24 + 4;
    EXPECT_EQ(surface.getPixel(x0 + 1, 12), rgb(0, 250, 0));            // up arrow cell
    EXPECT_EQ(surface.getPixel(x0 + 7 * 24 + 1, 12), rgb(0, 250, 0));   // down arrow: the last cell
    EXPECT_GT(countPixels(surface, kInk, {x0 + 24, 0, x0 + 7 * 24, 40}), 0);
    EXPECT_GT(countPixels(surface, kInk, {0, 0, 20, 40}), 0);            // the typed letters
    EXPECT_EQ(surface.getPixel(0, 0), kBack);
}

TEST_F(CandidateBar, NothingWithoutAnEditedTwoByteControl)
{
    struct Case {
        const char* what;
        std::function<void()> set;
        bool clearsLatch;
    };
    const Case cases[] = {
        {"one-byte control", [this] { edited->SetParam(kChinese, 0); }, true},
        {"no latch", [this] { ctx.pinyinMode = false; }, false},
        {"no target", [this] { ctx.inputTarget = nullptr; }, false},
        {"target not a character control", [this] { edited->SetKind(ShapeKind::NumericInput); }, false},
        {"too narrow for three", [this] { bar->m_rcPosition = {0, 0, 120, 30}; }, false},
        {"lower than the font", [this] { bar->m_rcPosition = {0, 0, 253, 10}; }, false},
    };
    for (const Case& c : cases) {
        SetUp();
        surface.clear(kPaper);
        fb = {};
        c.set();
        paint();
        EXPECT_EQ(fb.clearPinyinLatch, c.clearsLatch) << c.what;
        EXPECT_TRUE(fb.pinyinCandidates.empty()) << c.what;
        EXPECT_TRUE(arrows.empty()) << c.what;
    }
}

} // namespace
} // namespace qv
