// Real-time number items read back from the image with the item layout written out here.
#include "tests/compiler/items_fixture.h"

namespace qv::test {
namespace {

std::unique_ptr<CDrawRect> number(Rect r)
{
    auto o = controlAt(ShapeKind::RealTimeNumber, r);
    o->SetParamI32(84, 1);              // value variable row
    o->SetParamI32(80, 400);            // its address
    o->SetParamU8(76, 4);               // its type code
    o->SetParamI32(96, 8);              // glyph cell 8 x 16
    o->SetParamI32(100, 16);
    o->SetParamI32(140, 4);             // decimal point cell width
    o->SetParamI32(32, 0x00FFFFFF);     // white digits
    o->SetParamI32(56, 0x000000FF);     // red background
    o->SetParamI32(68, 5);
    o->SetParamI32(72, 2);
    o->SetParamI32(64, 1);              // leading zeros
    o->SetParamI32(60, 2);              // right aligned
    o->SetParamU8(104, 2);
    return o;
}

// A hide bit above 7 names a later byte of the hide variable: bit & 7 in that byte.
TEST(ItemsNumber, HideBitsAboveSevenNameALaterByte)
{
    for (const int bit : {0, 7, 8, 11, 15, 31}) {
        SCOPED_TRACE(bit);
        auto o = number({40, 41, 80, 61});
        o->SetParamU8(107, 1);          // hide on
        o->SetParamI32(112, 2);
        o->SetParamI32(124, 0x300);
        o->SetParamI32(360, bit);
        const CompiledItem c = compileOneControl(std::move(o));
        ASSERT_TRUE(c.ok) << c.log;
        EXPECT_EQ(c.u8(44), bit % 8);
        EXPECT_EQ(c.u16(46), 0x300 + bit / 8);
    }
}

// Shown as a float: 0x80 with the byte order's five low bits, 0x40 with the limit.
TEST(ItemsNumber, FloatByteOrderKeepsItsFiveLowBits)
{
    const struct {
        int order, limit;
        std::uint8_t stored;
    } cases[] = {{0, 0, 0x80}, {3, 1, 0xC3}, {0x15, 0, 0x95}, {0x1F, 1, 0xDF}, {0x25, 0, 0x85}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.order);
        auto o = number({40, 41, 80, 61});
        o->SetParamI32(396, 1);
        o->SetParamI32(392, k.order);
        o->SetParamI32(400, k.limit);
        const CompiledItem c = compileOneControl(std::move(o));
        ASSERT_TRUE(c.ok) << c.log;
        EXPECT_EQ(c.u8(51), k.stored);
    }
}

// Slot bytes for n glyph bytes on pages of mask m + 1, as the panel lays them out.
std::uint32_t slotFor(std::uint32_t n, std::uint32_t m)
{
    if (n > m)
        return (n / m) * (m + 1) + ((n % m + m) & ~m);
    std::uint32_t s = 8;
    while (s <= n)
        s *= 2;
    return s;
}

TEST(ItemsNumber, PlainBackgroundFieldsAndGlyphTable)
{
    auto o = number({40, 41, 80, 61});
    o->SetParamI32(40, 0);              // no border: the background is a plain colour
    const CompiledItem c = compileOneControl(std::move(o));
    ASSERT_TRUE(c.ok) << c.log;
    EXPECT_EQ(c.u8(0), 3);
    EXPECT_EQ(c.u8(1), 2);
    EXPECT_EQ(c.u8(2), 2 << 6);
    EXPECT_EQ(c.u8(3), 2);
    EXPECT_EQ(c.u16(4), 2);
    EXPECT_EQ(c.u16(6), 3);
    EXPECT_EQ(c.u16(8), 40);
    EXPECT_EQ(c.u16(10), 20);
    EXPECT_EQ(c.u16(14), 0xFFFF);
    EXPECT_EQ(c.u8(16), 1 + 4 * 2);
    EXPECT_EQ(c.u8(17), 5);
    EXPECT_EQ(c.u8(19), 4);
    EXPECT_EQ(c.u32(20), 0xF800u);      // red as RGB565
    EXPECT_EQ(c.u8(50), 1);
    EXPECT_EQ(c.u16(24), 8);
    EXPECT_EQ(c.u16(26), 16);
    EXPECT_EQ(c.u32(28), 400u);
    EXPECT_EQ(c.u32(32), 0xFFFEu);      // white would read as the key colour
    EXPECT_EQ(c.u16(48), 4);

    // 8 x 16 bits = 16 bytes a glyph: 32-byte slots, 14 of them in one page at 512 bytes.
    const std::uint32_t slot = slotFor(16, c.pageMask);
    EXPECT_EQ(c.u32(40), slot);
    EXPECT_EQ(c.u32(36), (14 * slot + c.pageMask) & ~c.pageMask);
    // The table follows the background picture (no control picture here); every slot opens
    // with 0x82 and the space glyph has no lit pixel.
    const std::uint64_t table = c.controlPicture;
    ASSERT_LE(table + c.u32(36), c.image.size());
    for (std::uint32_t i = 0; i < 14; ++i)
        EXPECT_EQ(std::uint8_t(c.image[table + i * slot]), 0x82) << i;
    for (std::uint32_t k = 1; k <= 16; ++k)
        EXPECT_EQ(std::uint8_t(c.image[table + 12 * slot + k]), 0) << k;
    int lit = 0;
    for (std::uint32_t k = 1; k <= 16; ++k)
        lit += std::uint8_t(c.image[table + 8 * slot + k]) != 0;   // "8" has pixels
    EXPECT_GT(lit, 0);
}

TEST(ItemsNumber, BorderGivesABackgroundPictureBeforeTheTable)
{
    auto o = number({40, 40, 46, 46});   // 6 x 6 is the smallest
    o->SetParamI32(40, 1);
    o->SetParamI32(44, 0x00F8FCF8);      // border in the key colour
    o->SetParamI32(36, 0);
    const CompiledItem c = compileOneControl(std::move(o));
    ASSERT_TRUE(c.ok) << c.log;
    const std::uint32_t picture = c.u32(20);
    EXPECT_EQ(picture, pictureBytes(2 * 36, c.pageMask));
    EXPECT_EQ(c.u8(50), 0);
    EXPECT_EQ(c.u8(2) & 0x3F, 1);
    EXPECT_EQ(std::uint8_t(c.image[c.controlPicture + picture]), 0x82);   // the table's first slot
}

TEST(ItemsNumber, WritingGroupAndVariableColours)
{
    auto o = number({40, 40, 80, 60});
    o->SetParamU8(36, 1);                // writing allowed
    o->SetParamI32(192, 10);
    o->SetParamI32(196, 20);
    o->SetParamI32(200, -100);
    o->SetParamI32(204, 100);
    o->SetParamI32(228, 1);
    o->SetParamU8(260, 3);
    o->SetParamI32(256, 0x1234);
    o->SetParamI32(144, 1);              // font colour from address 600
    o->SetParamI32(148, 0);
    o->SetParamI32(152, 600);
    o->SetParamI32(160, 1);              // background colour from address 700
    o->SetParamI32(164, 0);
    o->SetParamI32(168, 700);
    o->SetParamI32(396, 1);              // float, order 2, limited
    o->SetParamI32(392, 2);
    o->SetParamI32(400, 1);
    const CompiledItem c = compileOneControl(std::move(o));
    ASSERT_TRUE(c.ok) << c.log;
    EXPECT_EQ(c.u8(13) & 0xC0, 0xC0);
    EXPECT_EQ(c.u32(20), 700u);
    EXPECT_EQ(c.u32(32), 600u);
    EXPECT_EQ(c.u8(18) & 2, 2);
    EXPECT_EQ(c.u8(51), 0x80 + 2 + 0x40);
    EXPECT_EQ(c.u16(60), 10);
    EXPECT_EQ(c.u16(62), 20);
    EXPECT_EQ(c.u32(64), std::uint32_t(-100));
    EXPECT_EQ(c.u32(68), 100u);
    EXPECT_EQ(c.u8(72), 1);
    EXPECT_EQ(c.u8(73), 3);
    EXPECT_EQ(c.u16(74), 0x1234);
}

TEST(ItemsNumber, MissingDigitPictureStopsTheCompileWithAMessage)
{
    auto o = number({40, 40, 80, 60});
    o->SetParamI32(136, 1);              // picture font
    o->m_strFiles.assign(14, "\\UserPicture\\gone.bmp");
    screen::WindowRenderServices services{[](const std::filesystem::path&) -> PicturePtr { return nullptr; }, {}};
    const CompiledItem c = compileOneControl(std::move(o), nullptr, std::move(services));
    EXPECT_FALSE(c.ok);
    EXPECT_NE(c.log.find("编译出错!!\"实时数值\"控件的数字图片无法打开"), std::string::npos) << c.log;
}

TEST(ItemsNumber, RefusedControlsSayWhy)
{
    const RefusedCase cases[] = {
        {"no value address", {40, 40, 80, 60}, [](CDrawRect& o) { o.SetParamI32(80, -1); },
         "编译出错!!\"实时数值\"控件的基本控制属性缺乏HMI变量"},
        {"moving without variable", {40, 40, 80, 60}, [](CDrawRect& o) { o.SetParamU8(106, 1); o.SetParamI32(120, -1); },
         "编译出错!!\"实时数值\"控件的移动控制属性缺乏HMI变量"},
        {"colour variable missing", {40, 40, 80, 60}, [](CDrawRect& o) { o.SetParamI32(160, 1); o.SetParamI32(164, -1); },
         "编译出错!!\"实时数值\"控件的颜色控制属性缺乏HMI变量"},
        {"7 x 5", {40, 40, 47, 45}, nullptr, "编译出错!!\"实时数值\"控件的长宽太小"},
        {"6 x 5", {40, 40, 46, 45}, nullptr, "编译出错!!\"实时数值\"控件的长宽太小"},
        {"huge glyph cell", {40, 40, 80, 60}, [](CDrawRect& o) { o.SetParamI32(96, 0x7FFFFFFF); },
         "编译出错!!\"实时数值\"控件的字符大小无效"},
    };
    expectEachRefused(cases, number);
}

} // namespace
} // namespace qv::test
