// Dynamic picture items read back by the offsets of their record, with their frame streams.
#include "compiler/items/dynamic_picture_item.h"
#include "compiler/screen/control_regions.h"
#include "tests/compiler/items_state_fixture.h"

#include <gtest/gtest.h>

namespace qv::test {
namespace {

constexpr ColorRef kFrameColor = 0x000000FF;

// Every picture file loads as a 4 x 4 red picture; names starting with "missing" do not.
void solidPictures(ItemFixture& f)
{
    f.paint.loadPicture = [](const std::filesystem::path& p) -> PicturePtr {
        if (p.filename().string().rfind("missing", 0) == 0)
            return nullptr;
        auto pic = std::make_shared<Picture>();
        pic->pixels.reset(4, 4, kFrameColor);
        return pic;
    };
}

CDrawObj& boundPicture(ItemFixture& f, int w, int h, std::vector<std::string> files)
{
    CDrawObj& o = f.addControl(ShapeKind::DynamicPicture, 2, 3, w, h);
    o.SetParamI32(48, 10);   // frame-number address
    o.SetParamI32(64, 0);    // and its row
    o.m_strFiles = std::move(files);
    return o;
}

TEST(ItemsDynamic, FramesAndRecordFields)
{
    ItemFixture f(511);
    solidPictures(f);
    CDrawObj& o = boundPicture(f, 20, 10, {"\\a.bmp", "\\b.bmp"});
    o.SetParamU8(44, 1);          // loop playback
    o.SetParamU8(60, 0x5A);
    o.SetParamU8(75, 3);          // frame variable type
    o.SetParamU8(77, 1);          // hide on
    o.SetParamI32(84, 1);
    o.SetParamI32(96, 0x10030);   // low 16 bits only
    o.SetParamI32(168, 21);       // byte +2, bit 5
    o.SetParamU8(76, 1);          // move on
    o.SetParamI32(80, 2);
    o.SetParamI32(92, 0x4444);
    o.SetParamI32(204, 1);        // lookup by file name
    f.info.redrawFlags = screen::redraw::HideSwitch | screen::redraw::Moving;
    f.info.regionItem = 6;

    const std::uint32_t at = f.compile(&items::CompileDynamicPicture, o);
    ASSERT_FALSE(f.ctx.aborted()) << f.ctx.failureMessage();
    EXPECT_EQ(f.ctx.header().writeOffset(), at + 40);
    // 200 pixels: 0x82, 400 bytes with one more 0x82 at the page start, padded to 1024.
    expectFields(f, at, {
        {0, 1, 4}, {1, 1, 2}, {2, 1, 1}, {3, 1, 0x5A}, {4, 2, 2}, {6, 2, 3}, {8, 2, 20}, {10, 2, 10},
        {12, 1, 0x06}, {13, 1, 0}, {14, 2, 6}, {16, 2, 2}, {18, 2, 0}, {20, 4, 10}, {24, 1, 5},
        {25, 1, 0x02 | 3 << 4}, {26, 2, 0x32}, {28, 4, 0x4444}, {32, 4, 512}, {36, 4, 512},
    });
    const std::string image = f.image();
    ASSERT_EQ(image.size(), 1024u);
    for (std::size_t frame : {0u, 512u}) {
        EXPECT_EQ(std::uint8_t(image[frame]), 0x82);
        EXPECT_EQ(pixelAt(image, frame + 1), 0xF800);   // red over the whole control
    }
    EXPECT_EQ(f.ctx.pictureCount(), 2u);
}

// A hide bit above 7 names a later byte of the hide variable: bit & 7 in that byte.
TEST(ItemsDynamic, HideBitsAboveSevenNameALaterByte)
{
    for (const int bit : {0, 7, 8, 11, 15, 31}) {
        SCOPED_TRACE(bit);
        ItemFixture f;
        solidPictures(f);
        CDrawObj& o = boundPicture(f, 4, 4, {"\\a.bmp"});
        o.SetParamU8(77, 1);
        o.SetParamI32(84, 1);
        o.SetParamI32(96, 0x30);
        o.SetParamI32(168, bit);
        const std::uint32_t at = f.compile(&items::CompileDynamicPicture, o);
        ASSERT_FALSE(f.ctx.aborted()) << f.ctx.failureMessage();
        expectFields(f, at, {{24, 1, static_cast<std::uint32_t>(bit % 8)}, {26, 2, static_cast<std::uint32_t>(0x30 + bit / 8)}});
    }
}

TEST(ItemsDynamic, UserAreaCompilesOneFrameInASixtyByteRecord)
{
    ItemFixture f;
    solidPictures(f);
    CDrawObj& o = boundPicture(f, 4, 4, {"\\a.bmp", "\\b.bmp", "\\c.bmp"});
    o.SetParamI32(200, 1);
    const std::uint32_t at = f.compile(&items::CompileDynamicPicture, o);
    ASSERT_FALSE(f.ctx.aborted()) << f.ctx.failureMessage();
    EXPECT_EQ(f.ctx.header().writeOffset(), at + 60);
    expectFields(f, at, {{16, 2, 1}, {25, 1, 0x01}, {32, 4, 512}, {36, 4, 0}});
    EXPECT_EQ(f.image().size(), 512u);
}

TEST(ItemsDynamic, KeyedFramesTurnTheTransparentColourIntoTheKey)
{
    ItemFixture f;
    solidPictures(f);
    CDrawObj& o = boundPicture(f, 4, 4, {"\\a.bmp"});
    o.SetParamI32(0, 1);
    o.SetParamI32(4, kFrameColor);
    f.info.redrawFlags = screen::redraw::ValueBackground;
    f.compile(&items::CompileDynamicPicture, o);
    ASSERT_FALSE(f.ctx.aborted());
    const std::string image = f.image();
    for (int i = 0; i < 16; ++i)
        ASSERT_EQ(pixelAt(image, 1 + 2 * i), 0xFFFF) << i;
}

TEST(ItemsDynamic, RefusedControls)
{
    struct Case {
        int w, h;
        std::function<void(CDrawObj&)> set;
        const char* what;
    };
    auto none = [](CDrawObj&) {};
    const std::vector<Case> cases{
        {2, 2, none, "控件的长宽太小"},
        {0, 9, none, "控件的长宽太小"},
        {4, 4, [](CDrawObj& o) { o.SetParamI32(48, -1); o.SetParamU8(44, 1); }, "控件的基本控制属性缺乏HMI变量"},
        {4, 4, [](CDrawObj& o) { o.SetParamI32(64, -1); }, "控件的基本控制属性缺乏HMI变量"},
        {4, 4, [](CDrawObj& o) { o.SetParamU8(77, 1); o.SetParamI32(84, -1); }, "控件的隐藏控制属性缺乏HMI变量"},
        {4, 4, [](CDrawObj& o) { o.SetParamU8(76, 1); o.SetParamI32(92, -1); }, "控件的隐藏控制属性缺乏HMI变量"},
        {4, 4, [](CDrawObj& o) { o.m_strFiles = {"\\missing.bmp"}; }, "控件的图片选择有问题"},
        {4, 4, [](CDrawObj& o) { o.m_strFiles = {}; o.SetParamI32(200, 1); }, "控件的图片选择有问题"},
    };
    for (const Case& c : cases) {
        ItemFixture f;
        solidPictures(f);
        CDrawObj& o = boundPicture(f, c.w, c.h, {"\\a.bmp"});
        c.set(o);
        f.compile(&items::CompileDynamicPicture, o);
        EXPECT_TRUE(f.ctx.aborted()) << c.what;
        EXPECT_EQ(f.ctx.failureMessage(), std::string("编译出错!!\"动态图片\"") + c.what + "\r\n");
        EXPECT_EQ(f.ctx.file().size(), 0u);
    }
}

TEST(ItemsDynamic, SixPixelControlCompiles)
{
    ItemFixture f;
    solidPictures(f);
    CDrawObj& o = boundPicture(f, 2, 3, {"\\a.bmp"});
    f.compile(&items::CompileDynamicPicture, o);
    EXPECT_FALSE(f.ctx.aborted()) << f.ctx.failureMessage();
}

TEST(ItemsDynamic, ARowThatIsGoneRefusesInsteadOfAddressingMinusOne)
{
    ItemFixture f;
    solidPictures(f);
    CDrawObj& o = boundPicture(f, 4, 4, {"\\a.bmp"});
    f.paint.lookupVar = [](std::int32_t) { return VarBinding{}; };   // no such row
    const std::uint32_t at = f.compile(&items::CompileDynamicPicture, o);
    EXPECT_TRUE(f.ctx.aborted());
    EXPECT_EQ(f.ctx.header().writeOffset(), at);
}

} // namespace
} // namespace qv::test
