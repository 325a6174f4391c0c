// Bit switch, indicator light and radio button items, read back by the offsets of their
// records, and the two state pictures in the image.
#include "compiler/items/state_picture_items.h"
#include "compiler/screen/control_regions.h"
#include "tests/compiler/items_state_fixture.h"

#include <gtest/gtest.h>

namespace qv::test {
namespace {

const std::string kQuote = "\"";

// A bound control: variable index 0 at the given address.
void bindBit(CDrawObj& o, std::int32_t address, std::uint8_t bit)
{
    o.SetParamI32(16, 0);
    o.SetParamI32(20, address);
    o.SetParamU8(25, bit);
}

TEST(ItemsState, BitSwitchRecordAndTwoPicturesBackToBack)
{
    ItemFixture f(511);
    CDrawObj& sw = f.addControl(ShapeKind::BitSwitch, 10, 4, 6, 6);
    bindBit(sw, 100, 13);
    sw.SetParamU8(24, 2);                 // type code
    sw.SetParamU8(26, 3);                 // momentary
    sw.SetParamU8(27, 2);                 // password level
    sw.SetParamU8(30, 1);                 // hide on
    sw.SetParamI32(36, 4);
    sw.SetParamI32(48, 200);
    sw.SetParamI32(160, 19);              // byte 202, bit 3
    sw.SetParamI32(52, 1);                // write enable, in range
    sw.SetParamI32(56, 5);
    sw.SetParamI32(60, 300);
    sw.SetParamI32(188, 9);               // byte 301, bit 1
    sw.SetParamU8(96, 1);                 // writes another bit
    sw.SetParamI32(124, 400);
    sw.SetParamI32(132, 17);              // byte 402, bit 1
    f.info.redrawFlags = screen::redraw::HideSwitch;
    f.info.regionItem = 3;

    const std::uint32_t at = f.compile(&items::CompileBitSwitch, sw);
    ASSERT_FALSE(f.ctx.aborted()) << f.ctx.failureMessage();
    EXPECT_EQ(f.ctx.header().writeOffset(), at + 44);
    expectFields(f, at, {
        {0, 1, 9},
        {1, 1, 2},
        {2, 1, 2},
        {3, 1, 5},
        {4, 2, 10},
        {6, 2, 4},
        {8, 2, 6},
        {10, 2, 6},
        {12, 1, 3},
        {13, 1, 2},
        {16, 4, 101},
        {20, 1, 3},
        {22, 2, 202},
        {24, 1, 0x02 | 0x20},
        {26, 2, 3},
        {36, 1, 1},
        {38, 2, 301},
        {40, 1, 1},
        {41, 1, 1},
        {42, 2, 402},
    });

    // 36 pixels of two bytes behind one 0x82 each; both in one page, padded to its end.
    EXPECT_EQ(f.u32(at + 32), 73u);
    EXPECT_EQ(f.u32(at + 28), 512u);
    EXPECT_EQ(f.ctx.pictureCount(), 2u);
    const std::string image = f.image();
    ASSERT_EQ(image.size(), 512u);
    EXPECT_EQ(std::uint8_t(image[0]), 0x82);
    EXPECT_EQ(std::uint8_t(image[73]), 0x82);
    for (std::size_t i = 146; i < image.size(); ++i)
        ASSERT_EQ(std::uint8_t(image[i]), 0x82) << i;
}

TEST(ItemsState, WriteEnableOutsideTheBankLeavesItsFieldsAndFlagUnwritten)
{
    ItemFixture f;
    CDrawObj& sw = f.addControl(ShapeKind::BitSwitch, 0, 0, 6, 6);
    bindBit(sw, 0, 0);
    sw.SetParamI32(52, 1);
    sw.SetParamI32(56, 1);
    sw.SetParamI32(60, 0x10000);
    const std::uint32_t at = f.compile(&items::CompileBitSwitch, sw);
    ASSERT_FALSE(f.ctx.aborted());
    EXPECT_EQ(f.u8(at + 24) & 0x20, 0);
    EXPECT_EQ(f.u8(at + 36), 0);
    EXPECT_EQ(f.u16(at + 38), 0);
}

TEST(ItemsState, IndicatorAndRadioRecords)
{
    ItemFixture f;
    CDrawObj& lamp = f.addControl(ShapeKind::Indicator, 1, 2, 3, 3);
    bindBit(lamp, 7, 6);
    lamp.SetParamU8(24, 1);
    lamp.SetParamI32(44, 50);
    lamp.SetParamI32(100, 12);
    CDrawObj& radio = f.addControl(ShapeKind::RadioButton, 0, 8, 8, 8);
    radio.SetParamI32(0, 2);          // variable index
    radio.SetParamI32(8, 0x1234);     // address
    radio.SetParamI32(4, 77);         // own value
    radio.SetParamU8(12, 3);
    radio.SetParamU8(13, 1);
    radio.SetParamI32(56, 60);
    radio.SetParamI32(160, 8);
    radio.SetParamI32(64, 1);
    radio.SetParamI32(68, 0);
    radio.SetParamI32(72, 70);
    radio.SetParamI32(188, 3);
    radio.SetParamU8(100, 1);
    radio.SetParamU8(132, 4);
    radio.SetParamI32(128, 0x2000);

    const std::uint32_t l = f.compile(&items::CompileIndicator, lamp);
    const std::uint32_t r = f.compile(&items::CompileRadioButton, radio);
    ASSERT_FALSE(f.ctx.aborted()) << f.ctx.failureMessage();
    EXPECT_EQ(r, l + 32);
    expectFields(f, l, {
        {0, 1, 8},
        {2, 1, 1},
        {3, 1, 6},
        {4, 2, 1},
        {6, 2, 2},
        {12, 4, 7},
        {16, 1, 4},
        {18, 2, 51},
        {22, 2, 1},
        {28, 4, 1u + 9 * 2},
        {24, 4, 512},
    });

    expectFields(f, r, {
        {0, 1, 10},
        {2, 1, 3},
        {3, 1, 1},
        {12, 4, 77},
        {16, 4, 0x1234},
        {20, 1, 0},
        {22, 2, 61},
        {24, 1, 0x20},
    });
    EXPECT_EQ(f.u32(r + 28), 512u);   // 2 x (1 + 128) bytes fit one page
    expectFields(f, r, {
        {32, 4, 129},
        {36, 1, 3},
        {38, 2, 70},
        {40, 1, 1},
        {41, 1, 4},
        {42, 2, 0x2000},
    });
    EXPECT_EQ(f.image().size(), 1024u);
}

TEST(ItemsState, RefusedControlsWriteNothing)
{
    struct Case {
        ShapeKind kind;
        int w, h;
        std::function<void(CDrawObj&)> set;
        const char* name;
        const char* what;
    };
    auto bound = [](CDrawObj& o) { bindBit(o, 0, 0); };
    const std::vector<Case> cases{
        {ShapeKind::Indicator, 3, 2, bound, "指示灯", "控件的长宽太小"},
        {ShapeKind::BitSwitch, 6, 5, bound, "位开关", "控件的长宽太小"},
        {ShapeKind::RadioButton, 12, 3, [](CDrawObj&) {}, "单选按钮", "控件的长宽太小"},
        {ShapeKind::BitSwitch, 6, 6, [](CDrawObj& o) { bindBit(o, -1, 0); }, "位开关", "控件的基本控制属性缺乏HMI变量"},
        {ShapeKind::Indicator, 3, 3, [](CDrawObj& o) { bindBit(o, 0, 0); o.SetParamI32(16, -1); }, "指示灯",
         "控件的基本控制属性缺乏HMI变量"},
        {ShapeKind::RadioButton, 6, 6, [](CDrawObj& o) { o.SetParamI32(8, -1); }, "单选按钮",
         "控件的基本控制属性缺乏HMI变量"},
        {ShapeKind::Indicator, 3, 3, [&](CDrawObj& o) { bound(o); o.SetParamU8(27, 1); o.SetParamI32(44, -1); }, "指示灯",
         "控件的隐藏控制属性缺乏HMI变量"},
        {ShapeKind::BitSwitch, 6, 6, [&](CDrawObj& o) { bound(o); o.SetParamI32(52, 1); o.SetParamI32(56, -1); },
         "位开关", "控件的写入控制属性缺乏HMI变量"},
        {ShapeKind::RadioButton, 6, 6, [](CDrawObj& o) { o.SetParamI32(64, 1); o.SetParamI32(72, -1); }, "单选按钮",
         "控件的写入控制属性缺乏HMI变量"},
    };
    const std::map<ShapeKind, screen::ItemCompiler> compilers{{ShapeKind::BitSwitch, &items::CompileBitSwitch},
                                                        {ShapeKind::Indicator, &items::CompileIndicator},
                                                        {ShapeKind::RadioButton, &items::CompileRadioButton}};
    for (const Case& c : cases) {
        ItemFixture f;
        CDrawObj& o = f.addControl(c.kind, 0, 0, c.w, c.h);
        c.set(o);
        const std::uint32_t at = f.compile(compilers.at(c.kind), o);
        EXPECT_TRUE(f.ctx.aborted()) << c.name << c.what;
        EXPECT_EQ(f.ctx.failureMessage(), "编译出错!!" + kQuote + c.name + kQuote + c.what + "\r\n");
        EXPECT_EQ(f.ctx.header().writeOffset(), at);
        EXPECT_EQ(f.ctx.file().size(), 0u);
    }
}

TEST(ItemsState, SmallestAcceptedSizesCompile)
{
    for (auto [kind, side] : {std::pair{ShapeKind::Indicator, 3}, std::pair{ShapeKind::BitSwitch, 6}}) {
        ItemFixture f;
        CDrawObj& o = f.addControl(kind, 0, 0, side, side);
        bindBit(o, 0, 0);
        f.compile(kind == ShapeKind::Indicator ? screen::ItemCompiler(&items::CompileIndicator)
                                         : screen::ItemCompiler(&items::CompileBitSwitch),
                  o);
        EXPECT_FALSE(f.ctx.aborted()) << kind << f.ctx.failureMessage();
    }
}

TEST(ItemsState, PlainRadioInARegionShowsOnlyItsCircle)
{
    ItemFixture f;
    CDrawObj& radio = f.addControl(ShapeKind::RadioButton, 0, 0, 12, 12);
    radio.SetParamI32(0, 0);
    radio.SetParamI32(8, 0);
    radio.SetParamI32(60, 0);   // no pictures: the drawn circle
    f.info.redrawFlags = screen::redraw::ValueBackground;
    f.compile(&items::CompileRadioButton, radio);
    ASSERT_FALSE(f.ctx.aborted());
    const std::string image = f.image();
    // Both states: the corners are the key, the circle is drawn in other colours.
    for (std::size_t start : {std::size_t{0}, std::size_t{1 + 2 * 144}}) {
        EXPECT_EQ(pixelAt(image, start + 1), 0xFFFF);                // bottom-left corner
        EXPECT_EQ(pixelAt(image, start + 1 + 2 * 11), 0xFFFF);       // bottom-right corner
        int drawn = 0;
        for (int i = 0; i < 144; ++i)
            drawn += pixelAt(image, start + 1 + 2 * i) != 0xFFFF;
        EXPECT_GT(drawn, 10);
    }
}

TEST(ItemsState, TextColourEqualToTheKeyIsMovedOffItAndKept)
{
    ItemFixture f;
    CDrawObj& sw = f.addControl(ShapeKind::BitSwitch, 0, 0, 8, 8);
    bindBit(sw, 0, 0);
    const ColorRef key = 0x00123456;
    sw.SetParamI32(0, 1);
    sw.SetParamI32(8, key);
    sw.SetParamI32(68, key);
    sw.SetParamI32(72, key);   // state 1 has no transparency: its text keeps the colour
    f.info.redrawFlags = screen::redraw::ValueBackground;
    f.compile(&items::CompileBitSwitch, sw);
    ASSERT_FALSE(f.ctx.aborted());
    EXPECT_EQ(static_cast<ColorRef>(sw.ParamI32(68)), key ^ 1);
    EXPECT_EQ(static_cast<ColorRef>(sw.ParamI32(72)), key);
}

TEST(ItemsState, InstallCoversTheThreeKinds)
{
    screen::ItemCompilerTable table;
    items::installStatePictureItems(table);
    for (ShapeKind kind : {ShapeKind::BitSwitch, ShapeKind::Indicator, ShapeKind::RadioButton})
        EXPECT_NE(table.find(kind), nullptr) << kind;
}

} // namespace
} // namespace qv::test
