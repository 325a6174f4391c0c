// Progress bar items read back from the image with the item layout written out here.
#include "tests/compiler/items_fixture.h"

namespace qv::test {
namespace {

std::unique_ptr<CDrawRect> bar(Rect r)
{
    auto o = controlAt(ShapeKind::ProgressBar, r);
    o->SetParamI32(28, 3);              // value variable row
    o->SetParamI32(32, 100);            // its address
    o->SetParamU8(36, 2);               // its type code
    o->SetParamI32(20, 0x00FFFFFF);     // white bar
    o->SetParamU8(24, 3);               // grows leftwards
    o->SetParamI32(40, 50);
    o->SetParamI32(44, -5);
    o->SetParamI32(72, 1);              // reversed
    o->SetParamI32(120, 11);            // hide bit (copied even with hiding off)
    o->SetParamI32(68, 200);
    return o;
}

TEST(ItemsProgressBar, FieldsAndBackgroundPicture)
{
    const CompiledItem c = compileOneControl(bar({40, 41, 50, 47}));
    ASSERT_TRUE(c.ok) << c.log;
    EXPECT_EQ(c.u8(0), 7);
    EXPECT_EQ(c.u8(1), 2);
    EXPECT_EQ(c.u8(2), 2);
    EXPECT_EQ(c.u8(3), 3);
    EXPECT_EQ(c.u16(4), 2);
    EXPECT_EQ(c.u16(6), 3);
    EXPECT_EQ(c.u16(8), 10);
    EXPECT_EQ(c.u16(10), 6);
    EXPECT_EQ(c.u32(12), 0xFFFFu);       // plain RGB565, no substitution for white
    EXPECT_EQ(c.u32(16), 100u);
    EXPECT_EQ(c.u32(24), 50u);
    EXPECT_EQ(c.u32(28), std::uint32_t(-5));
    EXPECT_EQ(c.u8(32), 3);
    EXPECT_EQ(c.u16(34), 201);
    EXPECT_EQ(c.u16(36) & 0x20, 0x20);
    EXPECT_EQ(c.u16(38), 0xFFFF);        // in no region

    const std::uint32_t length = c.u32(20);
    EXPECT_EQ(length, pictureBytes(2 * 10 * 6, c.pageMask));
    ASSERT_LE(c.controlPicture + length, c.image.size());
    EXPECT_EQ(std::uint8_t(c.image[c.controlPicture]), 0x82);
    EXPECT_EQ(std::uint8_t(c.image[c.controlPicture + length - 1]), 0x82);
}

TEST(ItemsProgressBar, SmallestBarCompiles)
{
    const CompiledItem c = compileOneControl(bar({40, 40, 41, 46}));   // 1 x 6
    ASSERT_TRUE(c.ok) << c.log;
    EXPECT_EQ(c.u16(8), 1);
    EXPECT_EQ(c.u16(10), 6);
}

TEST(ItemsProgressBar, RefusedControlsSayWhy)
{
    const RefusedCase cases[] = {
        {"no value variable", {40, 40, 50, 46}, [](CDrawRect& o) { o.SetParamI32(32, -1); },
         "编译出错!!\"进度条\"控件的基本控制属性缺乏HMI变量"},
        {"hiding without variable", {40, 40, 50, 46},
         [](CDrawRect& o) { o.SetParamU8(49, 1); o.SetParamI32(56, -1); },
         "编译出错!!\"进度条\"控件的隐藏控制属性缺乏HMI变量"},
        {"1 x 5", {40, 40, 41, 45}, nullptr, "编译出错!!\"进度条\"控件的长宽太小"},
        {"beyond any canvas", {40, 40, 200000, 46}, nullptr, "编译出错!!\"进度条\"控件的位置或大小无效"},
    };
    expectEachRefused(cases, bar);
}

} // namespace
} // namespace qv::test
