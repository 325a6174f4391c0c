// Button items read back from the image with the item layout written out here.
#include "compiler/items/button_item.h"
#include "tests/compiler/items_fixture.h"

namespace qv::test {
namespace {

std::unique_ptr<CDrawRect> button(Rect r, const char* function = "")
{
    auto o = controlAt(ShapeKind::Button, r);
    o->m_strFiles.resize(4);
    o->m_strFiles[3] = function;
    o->SetParamI32(128, 2);             // operated variable row
    o->SetParamI32(164, 300);           // its address
    o->SetParamU8(161, 3);              // its type code
    return o;
}

TEST(ItemsButton, FunctionTextsGiveTheirActions)
{
    compile::CompileInput project;
    project.screens = {{"主画面.drw"}, {"b.drw"}};
    project.subWindows = {{"x.dlg"}, {"设置.dlg"}};
    struct Case {
        const char* text;
        int code, argument;
    } const cases[] = {
        {"b.drw", 228, 1},         {"设置.dlg", 229, 1},          {"gone.drw", 244, 0},
        {"b.dlg", 244, 0},         {"键盘\"0\"", 230, 0},         {"键盘\"9\"", 230, 9},
        {"键盘\"A\"", 230, 65},    {"键盘\"Z\"", 230, 90},        {"键盘\"a\"", 244, 0},
        {"键盘\"-\"", 230, 10},    {"键盘\"确定\"", 230, 14},     {"键盘\"\\或|\"", 230, 34},
        {"键盘\"'或\"\"", 230, 36}, {"键盘\"PingYinSwitch\"", 230, 46}, {"触摸屏校准", 231, 0},
        {"系统保存", 234, 0},      {"操作变量", 235, 0},          {"", 244, 0},
        {"键盘\"AB\"", 244, 0},
    };
    for (const Case& k : cases) {
        const auto [code, argument] = items::buttonAction(k.text, project);
        EXPECT_EQ(code, k.code) << k.text;
        EXPECT_EQ(argument, k.argument) << k.text;
    }
}

TEST(ItemsButton, FieldsAndThreeStatePictures)
{
    auto o = button({40, 41, 46, 47}, "操作变量");   // 6 x 6
    o->SetParamU8(122, 0x11);
    o->SetParamU8(123, 0x22);
    o->SetParamU8(124, 0x33);
    o->SetParamU8(127, 2);
    o->SetParamI32(132, 1);              // first and fourth target values on
    o->SetParamI32(136, 0x1FF);
    o->SetParamI32(156, 1);
    o->SetParamI32(160, 0x0307);         // the fourth target value's word shares its second byte with the type code
    o->SetParamI32(184, 500);            // hide variable address, bit 10
    o->SetParamI32(272, 10);
    o->SetParamI32(212, 1);              // write enable by bit 17 of address 40
    o->SetParamI32(216, 4);
    o->SetParamI32(220, 40);
    o->SetParamI32(300, 17);
    const CompiledItem c = compileOneControl(std::move(o));
    ASSERT_TRUE(c.ok) << c.log;
    EXPECT_EQ(c.u8(0), 2);
    EXPECT_EQ(c.u8(1), 2);
    EXPECT_EQ(c.u8(2), 235);
    EXPECT_EQ(c.u8(3), 0);
    EXPECT_EQ(c.u16(4), 2);
    EXPECT_EQ(c.u16(6), 3);
    EXPECT_EQ(c.u16(8), 6);
    EXPECT_EQ(c.u16(10), 6);
    EXPECT_EQ(c.u8(13), 0x11);
    EXPECT_EQ(c.u8(14), 0x22);
    EXPECT_EQ(c.u8(15), 0x33);
    EXPECT_EQ(c.u8(16), 2);
    EXPECT_EQ(c.u16(18), 501);
    const std::uint16_t flags = c.u16(20);
    EXPECT_EQ(flags & 0x1E0, 0x20 | 0x100);
    EXPECT_EQ((flags >> 9) & 3, 2);
    EXPECT_EQ((flags >> 12) & 7, 3);
    EXPECT_EQ(flags & 0x8000, 0x8000);
    EXPECT_EQ(c.u16(22), 0xFFFF);

    // Three 6 x 6 pictures back to back, each opened by 0x82, one page fill at the end.
    const std::uint32_t one = 1 + 2 * 36;
    EXPECT_EQ(c.u32(24), (3 * one + c.pageMask) & ~c.pageMask);
    EXPECT_EQ(c.u32(28), one);
    EXPECT_EQ(c.u32(32), 2 * one);
    for (std::uint32_t s = 0; s < 3; ++s)
        EXPECT_EQ(std::uint8_t(c.image[c.controlPicture + s * one]), 0x82) << s;
    EXPECT_EQ(c.u32(36), 300u);
    EXPECT_EQ(c.u8(40), 0xFF);
    EXPECT_EQ(c.u8(43), 7);
    EXPECT_EQ(c.u8(44), 1);
    EXPECT_EQ(c.u16(46), 42);
}

TEST(ItemsButton, RefusedControlsSayWhy)
{
    struct Case {
        const char* name;
        Rect rect;
        const char* function;
        std::function<void(CDrawRect&)> change;
        const char* message;   // GBK
    };
    const Case cases[] = {
        {"hiding without variable", {40, 40, 50, 50}, "", [](CDrawRect& o) { o.SetParamU8(126, 1); o.SetParamI32(184, -1); },
         "编译出错!!\"操作按纽\"控件的隐藏控制属性缺乏HMI变量"},
        {"write enable without variable", {40, 40, 50, 50}, "",
         [](CDrawRect& o) { o.SetParamI32(212, 1); o.SetParamI32(216, -1); },
         "编译出错!!\"操作按纽\"控件的写入控制属性缺乏HMI变量"},
        {"operating nothing", {40, 40, 50, 50}, "操作变量", [](CDrawRect& o) { o.SetParamI32(164, -1); },
         "编译出错!!\"操作按纽\"控件的基本控制属性缺乏HMI变量"},
        {"5 wide", {40, 40, 45, 140}, "", nullptr, "编译出错!!\"操作按钮\"控件的长宽太小"},
        {"beyond any canvas", {40, 40, 100000, 140}, "", nullptr, "编译出错!!\"操作按钮\"控件的位置或大小无效"},
    };
    for (const Case& k : cases)
        expectRefused(button(k.rect, k.function), k.change, k.message, k.name);
}

// The project's colour depth shapes the backgrounds only: item pictures are always 16 bits.
TEST(ItemsButton, PicturesAreSixteenBitWhateverTheProjectDepth)
{
    const CompiledItem at16 = compileOneControl(button({40, 40, 50, 50}, "系统登陆"));
    ASSERT_TRUE(at16.ok) << at16.log;
    ASSERT_NE(at16.u32(24), 0u);
    for (std::uint8_t depth : {0, 2, 3}) {
        const CompiledItem c = compileOneControl(button({40, 40, 50, 50}, "系统登陆"),
                                                 [depth](compile::CompileInput& in) { in.settings[71] = depth; });
        ASSERT_TRUE(c.ok) << c.log;
        EXPECT_EQ(c.u8(2), 232);
        EXPECT_EQ(c.u32(24), at16.u32(24)) << int{depth};
        EXPECT_EQ(c.image.substr(c.controlPicture, at16.u32(24)), at16.image.substr(at16.controlPicture, at16.u32(24)))
            << int{depth};
    }
}

} // namespace
} // namespace qv::test
