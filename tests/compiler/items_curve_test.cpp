// Curve items read back by the offsets of their record, with their chart pictures.
#include "compiler/items/curve_item.h"
#include "compiler/screen/control_regions.h"
#include "tests/compiler/items_fixture.h"
#include "tests/compiler/items_state_fixture.h"

#include <gtest/gtest.h>

namespace qv::test {
namespace {

// Row r of the project's table lives at 0x100 * (r + 1) with type code r % 6.
void projectTable(ItemFixture& f)
{
    f.paint.lookupVar = [](std::int32_t row) {
        return row < 0 || row > 100 ? VarBinding{} : VarBinding{0x100 * (row + 1), static_cast<std::uint8_t>(row % 6)};
    };
}

CDrawObj& chart(ItemFixture& f, int w, int h, int curves)
{
    CDrawObj& o = f.addControl(ShapeKind::Curve, 2, 3, w, h);
    o.SetParamI32(8, 0x00FFFFFF);    // white chart
    o.SetParamI32(24, 2);
    o.SetParamI32(28, 2);
    o.SetParamI32(44, 2);
    o.SetParamI32(80, curves);
    for (int i = 0; i < curves; ++i)
        o.SetParamI32(84 + 12 * i, i);
    return o;
}

std::uint16_t blockU16(const CDrawObj& o, int at) { return std::uint16_t(o.ParamU8(at) | o.ParamU8(at + 1) << 8); }

TEST(ItemsCurve, RecordFieldsAndCurveEntries)
{
    ItemFixture f(511);
    projectTable(f);
    CDrawObj& o = chart(f, 30, 20, 2);
    o.SetParamI32(4, 0x000000FF);    // red grid
    o.SetParamI32(36, 100);
    o.SetParamI32(48, -10);
    o.SetParamI32(76, 50);
    o.SetParamU8(853, 1);            // hide on: 0x20, bit 11 -> byte 0x21, bit 3
    o.SetParamI32(860, 1);
    o.SetParamI32(872, 0x20);
    o.SetParamI32(916, 11);
    o.SetParamU8(876, 1);            // shift right
    o.SetParamU8(880, 1);            // history curve
    o.SetParamI32(884, 1000);        // 20 intervals of 50 ms
    o.SetParamI32(948, 1);
    o.SetParamI32(88, 0x00FFFFFF);   // curve 0: white stays 0xFFFF
    o.SetParamU8(92, 2);
    o.SetParamU8(94, 0x34);
    o.SetParamU8(95, 0x12);
    o.SetParamI32(100, 0x00FF0000);  // curve 1: blue
    f.info.redrawFlags = 0x0110;
    f.info.regionItem = 4;

    const std::uint32_t at = f.compile(&items::CompileCurve, o);
    ASSERT_FALSE(f.ctx.aborted()) << f.ctx.failureMessage();
    EXPECT_EQ(f.ctx.header().writeOffset(), at + 56 + 2 * 12);
    // Labels and grid on a filled chart: a one-bit mask, 600 bits in 75 bytes, one page.
    expectFields(f, at, {
        {0, 1, 6}, {1, 1, 2}, {2, 1, 2}, {3, 1, 1}, {4, 2, 2}, {6, 2, 3}, {8, 2, 30}, {10, 2, 20},
        {12, 4, 512}, {24, 4, 100}, {28, 4, 0xFFFFFFF6u}, {32, 4, 50}, {36, 1, 3}, {38, 2, 0x21},
        {40, 1, 0x10}, {41, 1, 1}, {42, 2, 4}, {44, 2, 20}, {46, 2, 20}, {48, 1, 2}, {49, 1, 1},
        {52, 2, 0xFFFF}, {54, 2, 0xF800},
        {56, 4, 0x100}, {60, 4, 0xFFFF}, {64, 1, 2}, {65, 1, 0}, {66, 2, 0x1234},
        {68, 4, 0x200}, {72, 4, 0x001F}, {76, 1, 0}, {77, 1, 1}, {78, 2, 0},
    });
    // The plot area as the painter laid it out, on the panel.
    expectFields(f, at, {{16, 2, std::uint16_t(blockU16(o, 64) - kMargin)}, {18, 2, std::uint16_t(blockU16(o, 66) - kMargin)},
                         {20, 2, blockU16(o, 68)}, {22, 2, blockU16(o, 70)}});
    EXPECT_GT(blockU16(o, 68), 0);
    EXPECT_EQ(f.ctx.pictureCount(), 1u);
}

TEST(ItemsCurve, PictureKindByBackgroundLabelsAndGrid)
{
    struct Case {
        const char* what;
        bool keyed, transparent, bare;
        std::uint8_t kind;
        bool picture;
    };
    const Case cases[]{
        {"filled with labels: mask", false, false, false, 2, true},
        {"filled, bare: the panel fills it", false, false, true, 1, false},
        {"over what lies behind: colour picture", false, true, false, 0, true},
        {"over what lies behind, bare: still a picture", false, true, true, 0, true},
        {"over a changing background, bare: nothing", true, true, true, 0, false},
        {"over a changing background with labels: picture", true, true, false, 0, true},
        {"filled over a changing background: mask", true, false, false, 2, true},
    };
    for (const Case& c : cases) {
        ItemFixture f(511);
        projectTable(f);
        CDrawObj& o = chart(f, 30, 20, 1);
        o.SetParamI32(16, c.transparent);
        o.SetParamI32(20, c.bare);
        o.SetParamI32(32, c.bare);
        f.info.redrawFlags = c.keyed ? screen::redraw::ValueBackground : 0;
        const std::uint32_t at = f.compile(&items::CompileCurve, o);
        ASSERT_FALSE(f.ctx.aborted()) << c.what;
        EXPECT_EQ(f.u8(at + 48), c.kind) << c.what;
        const std::uint32_t length = c.kind == 0 ? pictureBytes(30 * 20 * 2, 511) : 512;
        EXPECT_EQ(f.u32(at + 12), c.picture ? length : 0xFFFFFFFFu) << c.what;
        EXPECT_EQ(f.ctx.file().size(), c.picture ? length : 0u) << c.what;
        EXPECT_EQ(f.ctx.pictureCount(), c.picture ? 1u : 0u) << c.what;
    }
}

TEST(ItemsCurve, MaskOfATenByTenChartEndsWithItsLastFourBitsLow)
{
    ItemFixture f(511);
    projectTable(f);
    CDrawObj& o = chart(f, 10, 10, 1);
    o.SetParamI32(32, 1);            // no labels; a grid in the background's own colour
    o.SetParamI32(4, 0x00FFFFFF);
    const std::uint32_t at = f.compile(&items::CompileCurve, o);
    ASSERT_FALSE(f.ctx.aborted());
    ASSERT_EQ(f.u8(at + 48), 2);
    const std::string image = f.image();
    ASSERT_EQ(image.size(), 512u);
    EXPECT_EQ(std::uint8_t(image[0]), 0x82);
    // 100 background bits: twelve full bytes and a thirteenth holding four bits in its low half.
    for (std::size_t i = 1; i <= 12; ++i)
        EXPECT_EQ(std::uint8_t(image[i]), 0xFF) << i;
    EXPECT_EQ(std::uint8_t(image[13]), 0x0F);
    for (std::size_t i = 14; i < image.size(); ++i)
        ASSERT_EQ(std::uint8_t(image[i]), 0x82) << i;
}

TEST(ItemsCurve, KeyColouredLabelAndGridColoursAreChangedForGood)
{
    ItemFixture f;
    projectTable(f);
    CDrawObj& o = chart(f, 30, 20, 1);
    o.SetParamI32(0, 0x00F8FCF8);
    o.SetParamI32(4, 0x00FFFFFF);   // reads as the key too after the mask
    o.SetParamI32(16, 1);
    f.info.redrawFlags = screen::redraw::ValueBackground;
    f.compile(&items::CompileCurve, o);
    ASSERT_FALSE(f.ctx.aborted());
    EXPECT_EQ(o.ParamI32(0), 0x00F8F8F8);
    EXPECT_EQ(o.ParamI32(4), 0x00F8F8F8);
}

TEST(ItemsCurve, SixtyFourCurvesFillTheRecordAndMoreAreRefused)
{
    ItemFixture f;
    projectTable(f);
    CDrawObj& o = chart(f, 30, 20, 64);
    const std::uint32_t at = f.compile(&items::CompileCurve, o);
    ASSERT_FALSE(f.ctx.aborted()) << f.ctx.failureMessage();
    EXPECT_EQ(f.ctx.header().writeOffset(), at + 824);
    EXPECT_EQ(f.u32(at + 56 + 12 * 63), 0x100u * 64);
}

TEST(ItemsCurve, RefusedCharts)
{
    struct Case {
        const char* what;
        int w, h;
        std::function<void(CDrawObj&)> change;
        const char* message;
    };
    const Case cases[]{
        {"hide unbound", 30, 20, [](CDrawObj& o) { o.SetParamU8(853, 1); o.SetParamI32(872, -1); },
         "编译出错!!\"曲线\"控件的隐藏控制属性缺乏HMI变量"},
        {"6 x 5", 6, 5, nullptr, "编译出错!!\"曲线\"控件的长宽太小"},
        {"curve unbound", 30, 20, [](CDrawObj& o) { o.SetParamI32(84 + 12, -1); },
         "编译出错!!\"曲线\"控件的基本控制属性缺乏HMI变量"},
        {"curve's row gone", 30, 20, [](CDrawObj& o) { o.SetParamI32(84, 500); },
         "编译出错!!\"曲线\"控件的基本控制属性缺乏HMI变量"},
        {"65 curves", 30, 20, [](CDrawObj& o) { o.SetParamI32(80, 65); }, "编译出错!!\"曲线\"控件的曲线数量无效"},
        {"negative count", 30, 20, [](CDrawObj& o) { o.SetParamI32(80, -1); }, "编译出错!!\"曲线\"控件的曲线数量无效"},
    };
    for (const Case& c : cases) {
        ItemFixture f;
        projectTable(f);
        CDrawObj& o = chart(f, c.w, c.h, 2);
        if (c.change)
            c.change(o);
        const std::uint32_t at = f.compile(&items::CompileCurve, o);
        EXPECT_TRUE(f.ctx.aborted()) << c.what;
        EXPECT_EQ(f.ctx.failureMessage(), std::string(c.message) + "\r\n") << c.what;
        EXPECT_EQ(f.ctx.header().writeOffset(), at) << c.what;
    }
}

} // namespace
} // namespace qv::test
