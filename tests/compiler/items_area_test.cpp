// Area control items: the 12-byte head of every function code and the editing form with its
// font tables, read back by the record's offsets.
#include "compiler/items/area_item.h"
#include "compiler/items/font_tables.h"
#include "model/paint/control_font_registry.h"
#include "tests/compiler/items_state_fixture.h"

#include <gtest/gtest.h>

#include <bit>
#include <fstream>
#include <limits>

namespace qv::test {
namespace {

TEST(ItemsArea, HeadOfEachFunctionCode)
{
    struct Case {
        std::uint8_t code;
        std::uint8_t flag;      // block +1
        const char* text;       // the window the control opens
        std::uint8_t argument;
    };
    const Case cases[]{
        {0, 1, "", 0},         {3, 1, "", 0},          {5, 1, "", 0},          {2, 0, "", 0},
        {2, 7, "", 1},         {1, 0, "b.drw", 1},     {1, 0, "k.dlg", 0},     {1, 0, "none.drw", 0xFF},
    };
    for (const Case& c : cases) {
        ItemFixture f;
        f.input.screens = windowsNamed({"a.drw", "b.drw"});
        f.input.subWindows = windowsNamed({"k.dlg"});
        ControlFontRegistry fonts;
        CDrawObj& o = f.addControl(ShapeKind::AreaControl, 5, 7, 30, 6);
        o.SetParamU8(0, c.code);
        o.SetParamU8(1, c.flag);
        o.m_strName = c.text;
        const std::uint32_t at =
            f.compile([&](screen::ItemCompileArgs& a) { items::CompileAreaControl(a, fonts); }, o);
        ASSERT_FALSE(f.ctx.aborted()) << f.ctx.failureMessage();
        EXPECT_EQ(f.ctx.header().writeOffset(), at + 12) << int(c.code);
        expectFields(f, at, {{0, 1, 12}, {1, 1, 2}, {2, 1, c.code}, {3, 1, c.argument}, {4, 2, 5}, {6, 2, 7},
                             {8, 2, 30}, {10, 2, 6}});
        EXPECT_EQ(f.ctx.file().size(), 0u);
    }
}

TEST(ItemsArea, GlyphSlotSizes)
{
    struct Case {
        std::uint32_t bytes, mask, slot;
    };
    const Case cases[]{{16, 2047, 32}, {32, 2047, 64}, {7, 511, 8}, {8, 511, 16}, {300, 511, 512},
                       {511, 511, 512}, {1022, 511, 1024}, {1023, 511, 1536}, {512, 511, 1024}, {1000, 511, 1024}, {2048, 2047, 4096}};
    for (const Case& c : cases)
        EXPECT_EQ(items::glyphSlotSize(c.bytes, c.mask), c.slot) << c.bytes << " " << c.mask;
}

class EditForm : public ::testing::Test {
protected:
    std::uint32_t compileEditForm(ItemFixture& f, int fontHeight)
    {
        CDrawObj& o = f.addControl(ShapeKind::AreaControl, 0, 0, 40, 40);
        o.SetParamU8(0, 4);
        o.SetParamI32(4, 0x00FFFFFF);   // white: 0xFFFF would be the key
        o.SetParamI32(8, 0x000000FF);
        o.m_logfont.lfHeight = fontHeight;
        return f.compile([&](screen::ItemCompileArgs& a) { items::CompileAreaControl(a, fonts); }, o);
    }
    ControlFontRegistry fonts;
};

TEST_F(EditForm, SixteenPixelFontTablesAndSharingTheSecondTime)
{
    ItemFixture f(2047);
    const std::uint32_t first = compileEditForm(f, -16);
    ASSERT_FALSE(f.ctx.aborted()) << f.ctx.failureMessage();
    EXPECT_EQ(f.ctx.header().writeOffset(), first + 48);
    expectFields(f, first, {{3, 1, 0}, {12, 2, 16}, {14, 2, 16}, {16, 4, 4096}, {20, 4, 567296},
                            {24, 4, 0}, {28, 4, 0}, {32, 4, 0}, {36, 4, 0}, {40, 2, 0xFFFE}, {42, 2, 0xF800},
                            {44, 2, 32}, {46, 2, 64}});
    EXPECT_EQ(f.ctx.file().size(), 4096u + 567296u);
    EXPECT_EQ(f.ctx.fontCount(), 2u);

    const std::uint32_t second = compileEditForm(f, -16);
    ASSERT_FALSE(f.ctx.aborted());
    expectFields(f, second, {{3, 1, 0xC0}, {16, 4, 0}, {20, 4, 1}});
    EXPECT_EQ(f.ctx.file().size(), 4096u + 567296u);
    EXPECT_EQ(f.ctx.fontCount(), 2u);

    // Half-width slots of 32 bytes: 0x82, then 16 bytes of glyph bits.
    const std::string image = f.image();
    auto slotBits = [&](int code) {
        int lit = 0;
        for (int i = 1; i <= 16; ++i)
            lit += std::popcount(std::uint8_t(image[code * 32 + i]));
        return lit;
    };
    for (int code : {0, 32, 65, 127})
        EXPECT_EQ(std::uint8_t(image[code * 32]), 0x82) << code;
    EXPECT_EQ(slotBits(' '), 0);
    EXPECT_GT(slotBits('A'), 8);
    EXPECT_EQ(std::uint8_t(image[65 * 32 + 17]), 0x82);   // unused slot bytes stay 0x82
}

TEST_F(EditForm, OddFontHeightRoundsTheFullWidthCellUp)
{
    ItemFixture f(2047);
    const std::uint32_t at = compileEditForm(f, 15);
    ASSERT_FALSE(f.ctx.aborted());
    // Half cell 8 x 15 = 15 bytes -> 16; full cell 16 x 15 = 30 bytes -> 32.
    expectFields(f, at, {{12, 2, 16}, {14, 2, 15}, {44, 2, 16}, {46, 2, 32}, {16, 4, 2048},
                         {20, 4, 8836 * 32 + 2048 - (8836 * 32) % 2048}});
}

TEST_F(EditForm, ArrowPicturesFromTheSystemFolder)
{
    ItemFixture f(511);
    f.paint.loadPicture = [](const std::filesystem::path& p) -> PicturePtr {
        if (p.filename() != "up1.bmp" && p.filename() != "down0.bmp")
            return nullptr;
        auto pic = std::make_shared<Picture>();
        pic->pixels.reset(2, 2, 0x0000FF00);
        return pic;
    };
    std::filesystem::create_directories(f.dir.path() / "images" / "sys");
    for (const char* name : {"up1.bmp", "down0.bmp"})
        std::ofstream(f.dir.path() / "images" / "sys" / name) << "x";
    const std::uint32_t at = compileEditForm(f, -8);
    ASSERT_FALSE(f.ctx.aborted()) << f.ctx.failureMessage();
    // An 8 x 8 cell: 0x82 and 128 pixel bytes, one page each.
    expectFields(f, at, {{24, 4, 0}, {28, 4, 512}, {32, 4, 512}, {36, 4, 0}});
    EXPECT_EQ(f.ctx.pictureCount(), 2u);   // one for each font lookup; the arrows count none
    const std::string image = f.image();
    const std::size_t arrows = f.u32(at + 16) + f.u32(at + 20);
    ASSERT_EQ(image.size(), arrows + 1024);
    EXPECT_EQ(pixelAt(image, arrows + 1), 0x07E0);
}

TEST_F(EditForm, RefusedControls)
{
    {
        ItemFixture f;
        CDrawObj& o = f.addControl(ShapeKind::AreaControl, 0, 0, 6, 5);
        f.compile([&](screen::ItemCompileArgs& a) { items::CompileAreaControl(a, fonts); }, o);
        EXPECT_EQ(f.ctx.failureMessage(), "编译出错!!\"区域控制\"控件的长宽太小\r\n");
    }
    {
        ItemFixture f;
        const std::uint32_t at = compileEditForm(f, std::numeric_limits<std::int32_t>::min());
        EXPECT_TRUE(f.ctx.aborted());
        EXPECT_EQ(f.ctx.header().writeOffset(), at);
        EXPECT_EQ(f.ctx.file().size(), 0u);
    }
}

} // namespace
} // namespace qv::test
