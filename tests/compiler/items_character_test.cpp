// Character control items read back by the offsets of their record, with their font tables.
#include "compiler/items/character_item.h"
#include "compiler/items/install_items.h"
#include "model/paint/control_font_registry.h"
#include "tests/compiler/items_fixture.h"
#include "tests/compiler/items_state_fixture.h"

#include <gtest/gtest.h>

namespace qv::test {
namespace {

// A 40 x 20 field bound to its string at 0x300, 16-pixel font and cell.
CDrawObj& field(ItemFixture& f, int x = 2, int y = 3, int w = 40, int h = 20)
{
    CDrawObj& o = f.addControl(ShapeKind::Character, x, y, w, h);
    o.SetParamI32(36, 5);
    o.SetParamI32(40, 0x300);
    o.SetParamI32(16, 16);
    o.SetParamI32(20, 16);
    o.SetParamI32(32, 20);
    o.m_logfont.lfHeight = -16;
    return o;
}

class CharacterItems : public ::testing::Test {
protected:
    std::uint32_t compile(ItemFixture& f, CDrawObj& o)
    {
        return f.compile([&](screen::ItemCompileArgs& a) { items::CompileCharacter(a, fonts); }, o);
    }
    ControlFontRegistry fonts;
};

TEST_F(CharacterItems, RecordFieldsOfAFullyOptionedField)
{
    ItemFixture f(511);
    CDrawObj& o = field(f);
    o.SetParamU8(96, 2);            // advanced password
    o.SetParamI32(0, 0x00FFFFFF);   // white font: 0xFFFE
    o.SetParamI32(4, 0x00FFFFFF);   // white background stays 0xFFFF
    o.SetParamI32(8, 1);            // transparent
    o.SetParamI32(24, 3);
    o.SetParamI32(28, 4);
    o.SetParamI32(48, 1);           // move on
    o.SetParamI32(52, 1);
    o.SetParamI32(56, 0x1234);
    o.SetParamI32(64, 1);           // hide on
    o.SetParamI32(68, 2);
    o.SetParamI32(72, 0x10040);     // low 16 bits only
    o.SetParamI32(324, 19);         // byte +2, bit 3
    o.SetParamI32(80, 1);           // show cursor
    o.SetParamI32(84, 2);
    o.SetParamI32(88, 0x0000FF00);  // green cursor
    for (int flag : {100, 104, 108, 128, 132, 136, 148, 152, 224})
        o.SetParamI32(flag, 1);
    o.SetParamI32(188, 1);          // write control at 0x400, bit 10
    o.SetParamI32(192, 3);
    o.SetParamI32(196, 0x400);
    o.SetParamI32(352, 10);
    o.SetParamI32(204, 100);        // keyboard position
    o.SetParamI32(208, 200);
    o.SetParamU8(216, 1);           // click operation: write 7 to 0x500
    o.SetParamI32(212, 4);
    o.SetParamU8(217, 7);
    o.SetParamI32(220, 0x500);
    o.SetParamI32(356, 1);          // conversion to an unsigned short at 0x600, hex, zero fill
    o.SetParamI32(360, 1);
    o.SetParamI32(364, 6);
    o.SetParamI32(368, 0x600);
    o.SetParamU8(372, 3);
    o.SetParamI32(376, 1);
    o.SetParamI32(380, -5);
    o.SetParamI32(384, 999);
    o.SetParamU8(388, 2);
    f.info.redrawFlags = 0x0112;
    f.info.regionItem = 3;

    const std::uint32_t at = compile(f, o);
    ASSERT_FALSE(f.ctx.aborted()) << f.ctx.failureMessage();
    EXPECT_EQ(f.ctx.header().writeOffset(), at + 84);
    // Digits only: 13 slots of an 8 x 16 cell (16 bytes of bits, 32-byte slots), one page.
    expectFields(f, at, {
        {0, 1, 13}, {1, 1, 2}, {2, 1, 2}, {3, 1, 0x01 | 0x02 | 0x04 | 0x08 | 0x10 | 0x80},
        {4, 2, 2}, {6, 2, 3}, {8, 2, 40}, {10, 2, 20},
        {12, 1, 0x12 | 0x20}, {13, 1, 0x01 | 0x01 | 0x02 | 0x04 | 0x08 | 0x10 | 0x20},
        {14, 2, 3}, {16, 2, 16}, {18, 2, 16}, {20, 4, 512}, {24, 4, 0},
        {28, 4, 0xFFFE}, {32, 4, 0xFFFF}, {36, 4, 0x300}, {40, 1, 3}, {42, 2, 0x42}, {44, 4, 0x1234},
        {48, 2, 20}, {50, 1, 3}, {51, 1, 4}, {52, 2, 2}, {54, 2, 0x07E0}, {56, 2, 32}, {58, 2, 0},
        {60, 1, 2}, {62, 2, 0x401}, {64, 2, 100}, {66, 2, 200}, {68, 2, 0x500}, {70, 1, 7},
        {71, 1, 0x01 | 0x02 | 0x04 | 3 << 3 | 2 << 6}, {72, 4, 0xFFFFFFFBu}, {76, 4, 999}, {80, 2, 0x600},
    });
    EXPECT_EQ(f.ctx.file().size(), 512u);
    EXPECT_EQ(f.ctx.pictureCount(), 1u);
}

// A hide bit above 7 names a later byte of the hide variable: bit & 7 in that byte.
TEST_F(CharacterItems, HideBitsAboveSevenNameALaterByte)
{
    for (const int bit : {0, 7, 8, 11, 15, 31}) {
        SCOPED_TRACE(bit);
        ItemFixture f;
        CDrawObj& o = field(f);
        o.SetParamI32(64, 1);
        o.SetParamI32(68, 2);
        o.SetParamI32(72, 0x40);
        o.SetParamI32(324, bit);
        const std::uint32_t at = compile(f, o);
        ASSERT_FALSE(f.ctx.aborted()) << f.ctx.failureMessage();
        expectFields(f, at, {{40, 1, static_cast<std::uint32_t>(bit % 8)}, {42, 2, static_cast<std::uint32_t>(0x40 + bit / 8)}});
    }
}

TEST_F(CharacterItems, ColourVariablesTakeThePlaceOfTheColours)
{
    ItemFixture f;
    CDrawObj& o = field(f);
    o.SetParamI32(156, 1);
    o.SetParamI32(160, 1);
    o.SetParamI32(164, 0x700);
    o.SetParamI32(172, 1);
    o.SetParamI32(176, 2);
    o.SetParamI32(180, 0x702);
    const std::uint32_t at = compile(f, o);
    ASSERT_FALSE(f.ctx.aborted());
    expectFields(f, at, {{13, 1, 0xC0}, {28, 4, 0x700}, {32, 4, 0x702}, {64, 2, 0}, {71, 1, 0}});
}

TEST_F(CharacterItems, WriteAddressOutsideTheBankLeavesItsFieldsUnwritten)
{
    ItemFixture f;
    CDrawObj& o = field(f);
    o.SetParamI32(188, 1);
    o.SetParamI32(192, 3);
    o.SetParamI32(196, 0x10000);
    o.SetParamI32(352, 9);
    const std::uint32_t at = compile(f, o);
    ASSERT_FALSE(f.ctx.aborted());
    expectFields(f, at, {{3, 1, 0}, {60, 1, 0}, {62, 2, 0}});
}

TEST_F(CharacterItems, TablesOfEnglishAndChineseAndTheirSharing)
{
    ItemFixture f(2047);
    CDrawObj& first = field(f);
    first.SetParamI32(112, 1);   // English: 128 slots
    first.SetParamI32(120, 1);   // Chinese: 8836 slots
    const std::uint32_t a = compile(f, first);
    ASSERT_FALSE(f.ctx.aborted()) << f.ctx.failureMessage();
    // Half cell 8 x 16: 16 bytes -> 32-byte slots, 4096 bytes; full 16 x 16: 32 -> 64,
    // 8836 x 64 = 565,504 raised to 277 pages.
    expectFields(f, a, {{3, 1, 0x60}, {12, 1, 0}, {20, 4, 4096}, {24, 4, 567296}, {56, 2, 32}, {58, 2, 64}});
    EXPECT_EQ(first.m_nFontKey, 4);
    const std::uint64_t written = f.ctx.file().size();
    EXPECT_EQ(written, 4096u + 567296u);

    CDrawObj& second = field(f, 2, 30);
    second.SetParamI32(112, 1);
    second.SetParamI32(120, 1);
    const std::uint32_t b = compile(f, second);
    ASSERT_FALSE(f.ctx.aborted());
    // Registered in the order ASCII (0), full width (1): the second names them.
    expectFields(f, b, {{12, 1, 0xC0}, {20, 4, 0}, {24, 4, 1}, {56, 2, 32}, {58, 2, 64}});
    EXPECT_EQ(f.ctx.file().size(), written) << "no second table";

    // The digits table is another table (font key 1) even with the same font.
    CDrawObj& digits = field(f, 2, 60);
    const std::uint32_t c = compile(f, digits);
    ASSERT_FALSE(f.ctx.aborted());
    expectFields(f, c, {{12, 1, 0}, {20, 4, 2048}, {24, 4, 0}, {58, 2, 0}});
    EXPECT_EQ(f.ctx.pictureCount(), 5u);   // one for every lookup
    EXPECT_EQ(f.ctx.fontCount(), 3u);
}

TEST_F(CharacterItems, HashPasswordDrawsHashInTheLastDigitSlot)
{
    std::string slots[2];
    for (int hash : {0, 1}) {
        ControlFontRegistry own;
        ItemFixture f(511);
        CDrawObj& o = field(f);
        o.SetParamI32(140, hash);
        const std::uint32_t at = f.compile([&](screen::ItemCompileArgs& a) { items::CompileCharacter(a, own); }, o);
        ASSERT_FALSE(f.ctx.aborted());
        EXPECT_EQ(f.u8(at + 13) & 0x20, hash ? 0x20 : 0);
        slots[hash] = f.image().substr(12 * 32, 32);
    }
    EXPECT_NE(slots[0], slots[1]);
}

TEST_F(CharacterItems, RefusedFields)
{
    const RefusedCase cases[]{
        {"no string", {40, 40, 80, 60}, [](CDrawRect& o) { o.SetParamI32(40, -1); },
         "编译出错!!\"字符\"控件的基本控制属性缺乏HMI变量"},
        {"click operation unbound", {40, 40, 80, 60}, [](CDrawRect& o) { o.SetParamU8(216, 1); o.SetParamI32(212, -1); },
         "编译出错!!\"字符\"控件的基本控制属性缺乏HMI变量"},
        {"conversion unbound", {40, 40, 80, 60}, [](CDrawRect& o) { o.SetParamI32(356, 1); o.SetParamI32(368, -1); },
         "编译出错!!\"字符\"控件的基本控制属性缺乏HMI变量"},
        {"hide unbound", {40, 40, 80, 60}, [](CDrawRect& o) { o.SetParamI32(64, 1); o.SetParamI32(72, -1); },
         "编译出错!!\"字符\"控件的隐藏控制属性缺乏HMI变量"},
        {"write unbound", {40, 40, 80, 60}, [](CDrawRect& o) { o.SetParamI32(188, 1); o.SetParamI32(192, -1); },
         "编译出错!!\"字符\"控件的写入控制属性缺乏HMI变量"},
        {"move unbound", {40, 40, 80, 60}, [](CDrawRect& o) { o.SetParamI32(48, 1); o.SetParamI32(56, -1); },
         "编译出错!!\"字符\"控件的移动控制属性缺乏HMI变量"},
        {"font colour unbound", {40, 40, 80, 60}, [](CDrawRect& o) { o.SetParamI32(156, 1); o.SetParamI32(160, -1); },
         "编译出错!!\"字符\"控件的颜色控制属性缺乏HMI变量"},
        {"background colour unbound", {40, 40, 80, 60},
         [](CDrawRect& o) { o.SetParamI32(172, 1); o.SetParamI32(180, -1); },
         "编译出错!!\"字符\"控件的颜色控制属性缺乏HMI变量"},
        {"6 x 5", {40, 40, 46, 45}, nullptr, "编译出错!!\"字符\"控件的长宽太小"},
        {"cell of a damaged block", {40, 40, 80, 60}, [](CDrawRect& o) { o.SetParamI32(20, 100000); },
         "编译出错!!\"字符\"控件的字体太大"},
        {"negative cell", {40, 40, 80, 60}, [](CDrawRect& o) { o.SetParamI32(16, -2); },
         "编译出错!!\"字符\"控件的字体太大"},
    };
    ControlFontRegistry fonts;
    for (const RefusedCase& k : cases) {
        ItemFixture f;
        CDrawObj& o = field(f, k.rect.left - kMargin, k.rect.top - kMargin, k.rect.width(), k.rect.height());
        if (k.change)
            k.change(static_cast<CDrawRect&>(o));
        const std::uint32_t at = compile(f, o);
        EXPECT_TRUE(f.ctx.aborted()) << k.name;
        EXPECT_EQ(f.ctx.failureMessage(), std::string(k.message) + "\r\n") << k.name;
        EXPECT_EQ(f.ctx.header().writeOffset(), at) << k.name;
    }
    ItemFixture f;
    compile(f, field(f, 0, 0, 6, 6));
    EXPECT_FALSE(f.ctx.aborted()) << "6 x 6 compiles";
}

} // namespace
} // namespace qv::test
