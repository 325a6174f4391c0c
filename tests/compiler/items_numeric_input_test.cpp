// Numeric input box items read back by the offsets of their record, with their glyph blocks.
#include "compiler/items/install_items.h"
#include "compiler/items/numeric_input_item.h"
#include "tests/compiler/items_fixture.h"
#include "tests/compiler/items_state_fixture.h"

#include <gtest/gtest.h>

#include <bit>

namespace qv::test {
namespace {

CDrawObj& inputBox(ItemFixture& f, int w, int h, int cellW, int cellH)
{
    CDrawObj& o = f.addControl(ShapeKind::NumericInput, 2, 3, w, h);
    o.SetParamI32(16, cellW);
    o.SetParamI32(20, cellH);
    o.m_logfont.lfHeight = -cellH;
    return o;
}

int litBits(const std::string& image, std::size_t from, std::size_t count)
{
    int n = 0;
    for (std::size_t i = from; i < from + count; ++i)
        n += std::popcount(static_cast<unsigned>(std::uint8_t(image[i])));
    return n;
}

TEST(ItemsNumericInput, RecordFields)
{
    ItemFixture f(511);
    CDrawObj& o = inputBox(f, 20, 10, 8, 16);
    o.SetParamI32(0, 0x00FFFFFF);   // white text: 0xFFFF, no substitution
    o.SetParamI32(4, 1);            // password style
    o.SetParamI32(8, 0x000000FF);   // red background
    o.SetParamI32(12, 1);           // left aligned
    o.SetParamU8(24, 3);            // function
    f.info.redrawFlags = 0x0110;
    const std::uint32_t at = f.compile(&items::CompileNumericInput, o);
    ASSERT_FALSE(f.ctx.aborted()) << f.ctx.failureMessage();
    EXPECT_EQ(f.ctx.header().writeOffset(), at + 32);
    // 8 x 16 cell: 16 bytes of bits, so 32-byte slots (16 would leave no room for the 0x82);
    // 13 x 32 = 416 bytes, one 512-byte page.
    expectFields(f, at, {{0, 1, 5}, {1, 1, 2}, {2, 1, 5}, {3, 1, 0x10}, {4, 2, 2}, {6, 2, 3}, {8, 2, 20},
                         {10, 2, 10}, {12, 4, 0xFFFF}, {16, 4, 0xF800}, {20, 2, 8}, {22, 2, 16}, {24, 4, 512},
                         {28, 2, 32}, {30, 1, 3}, {31, 1, 0}});
    EXPECT_EQ(f.ctx.file().size(), 512u);
}

TEST(ItemsNumericInput, GlyphBlockSlotsAndPages)
{
    struct Case {
        const char* what;
        std::uint32_t pageMask;
        int cellW, cellH;
        std::uint32_t stride, length;
    };
    const Case cases[]{
        {"small cell", 511, 6, 8, 8, 512},                       // 6 bytes of bits
        {"8 x 16", 2047, 8, 16, 32, 2048},
        {"cell past a page", 511, 64, 72, 1024, 13 * 1024},      // 576 bytes: two pages a slot
        {"empty cell", 511, 0, 12, 8, 512},
    };
    for (const Case& c : cases) {
        ItemFixture f(c.pageMask);
        CDrawObj& o = inputBox(f, 30, 30, c.cellW, c.cellH);
        const std::uint32_t at = f.compile(&items::CompileNumericInput, o);
        ASSERT_FALSE(f.ctx.aborted()) << c.what << ": " << f.ctx.failureMessage();
        EXPECT_EQ(f.u16(at + 28), c.stride) << c.what;
        EXPECT_EQ(f.u32(at + 24), c.length) << c.what;
        const std::string image = f.image();
        ASSERT_EQ(image.size(), c.length) << c.what;
        const std::size_t bits = (std::size_t(c.cellW) * c.cellH + 7) / 8;
        for (std::size_t g = 0; g < 13; ++g) {
            const std::size_t slot = g * c.stride;
            EXPECT_EQ(std::uint8_t(image[slot]), 0x82) << c.what << " slot " << g;
            // A page start inside the slot is skipped, so the data ends later by one byte a page.
            const std::size_t end = slot + 1 + bits + bits / (c.pageMask + 1);
            for (std::size_t i = end; i < slot + c.stride; ++i)
                ASSERT_EQ(std::uint8_t(image[i]), 0x82) << c.what << " slot " << g << " byte " << i - slot;
            for (std::size_t p = slot + c.pageMask + 1; p < slot + c.stride; p += c.pageMask + 1)
                EXPECT_EQ(std::uint8_t(image[p]), 0x82) << c.what << " page start in slot " << g;
        }
        for (std::size_t i = 13 * std::size_t{c.stride}; i < image.size(); ++i)
            ASSERT_EQ(std::uint8_t(image[i]), 0x82) << c.what << " padding byte " << i;
    }
}

TEST(ItemsNumericInput, GlyphsAreTheBoxFontsCharacters)
{
    ItemFixture f(511);
    CDrawObj& o = inputBox(f, 30, 30, 8, 16);
    const std::uint32_t at = f.compile(&items::CompileNumericInput, o);
    ASSERT_FALSE(f.ctx.aborted());
    const std::string image = f.image();
    const std::uint32_t stride = f.u16(at + 28);
    const auto lit = [&](int slot) { return litBits(image, std::size_t(slot) * stride + 1, 16); };
    EXPECT_GT(lit(1), 0) << "\"1\" draws something";
    EXPECT_GT(lit(8), lit(1)) << "\"8\" has more ink than \"1\"";
    EXPECT_GT(lit(12), 0) << "\"*\"";
    EXPECT_GT(lit(10), 0) << "\"-\"";
    EXPECT_GT(lit(11), 0) << "\".\"";
    EXPECT_NE(image.substr(10 * stride, stride), image.substr(11 * stride, stride));
}

TEST(ItemsNumericInput, RefusedBoxes)
{
    const RefusedCase cases[]{
        {"6 x 5", {40, 40, 46, 45}, nullptr, "编译出错!!\"编辑框\"控件的长宽太小"},
        {"5 x 8", {40, 40, 45, 48}, nullptr, "编译出错!!\"编辑框\"控件的长宽太小"},
        {"negative cell", {40, 40, 80, 60}, [](CDrawRect& o) { o.SetParamI32(16, -4); },
         "编译出错!!\"编辑框\"控件的字符大小无效"},
        {"cell of a damaged block", {40, 40, 80, 60}, [](CDrawRect& o) { o.SetParamI32(20, 1 << 20); },
         "编译出错!!\"编辑框\"控件的字符大小无效"},
        {"stride beyond 16 bits", {40, 40, 80, 60}, [](CDrawRect& o) { o.SetParamI32(16, 1024); o.SetParamI32(20, 1024); },
         "编译出错!!\"编辑框\"控件的字符大小无效"},
    };
    expectEachRefused(cases, [](Rect r) {
        auto o = controlAt(ShapeKind::NumericInput, r);
        o->SetParamI32(16, 8);
        o->SetParamI32(20, 16);
        return o;
    });
    const CompiledItem six = compileOneControl(controlAt(ShapeKind::NumericInput, {40, 40, 46, 46}));
    EXPECT_TRUE(six.ok) << six.log;
}

// In a whole window the box counts one picture and its block keeps the image page-aligned.
TEST(ItemsNumericInput, InAWindowTheBlockFollowsTheBackground)
{
    auto box = controlAt(ShapeKind::NumericInput, {40, 40, 70, 56});
    box->SetParamI32(16, 8);
    box->SetParamI32(20, 16);
    const CompiledItem c = compileOneControl(std::move(box));
    ASSERT_TRUE(c.ok) << c.log;
    EXPECT_EQ(c.u8(0), 5);
    EXPECT_EQ(c.u32(24), 512u);
    EXPECT_EQ(std::uint8_t(c.image[c.controlPicture]), 0x82);
    EXPECT_EQ(c.controlPicture % (c.pageMask + 1), 0u);
    EXPECT_EQ(startMapU32(c.image, 0xC4), 2u);   // the background's one tile and the box
}

} // namespace
} // namespace qv::test
