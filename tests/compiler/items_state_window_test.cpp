// The picture items inside a whole window compile: the record's offset table leads to them,
// their pictures follow the window's background in the image, and a control whose rectangle
// no canvas could hold is refused.
#include "compiler/items/dynamic_picture_item.h"
#include "compiler/items/install_items.h"
#include "compiler/items/state_picture_items.h"
#include "compiler/screen/window_compiler.h"
#include "model/paint/control_font_registry.h"
#include "tests/compiler/compile_fixture.h"
#include "tests/compiler/image_walker.h"
#include "tests/compiler/items_state_fixture.h"

#include <gtest/gtest.h>

namespace qv::test {
namespace {

std::uint16_t u16In(const std::string& b, std::uint64_t o)
{
    return static_cast<std::uint16_t>(std::uint8_t(b[o]) | std::uint8_t(b[o + 1]) << 8);
}

// A 16 x 16 screen with the editor's margins, and a project of that size.
void sixteenPixelScreen(CompileFixture& f, CDrawDoc& doc)
{
    doc.m_nMarginX = doc.m_nMarginY = kMargin;
    doc.m_nWindowWidth = 16;
    doc.m_nWindowHeight = 16;
    doc.m_paperColor = 0x00FFFFFF;
    f.input.width = 16;
    f.input.height = 16;
}

TEST(ItemsStateWindow, SwitchAndLampItemsFollowTheRegionsInTheRecord)
{
    CompileFixture f;
    CDrawDoc doc;
    sixteenPixelScreen(f, doc);
    for (auto [kind, x] : {std::pair{kKindBitSwitch, 0}, std::pair{kKindIndicator, 8}}) {
        auto o = std::make_unique<CDrawRect>(Rect{kMargin + x, kMargin, kMargin + x + 6, kMargin + 6});
        o->m_nKind = kind;
        o->m_bControl = 1;
        o->SetParamI32(16, 0);
        o->SetParamI32(20, 4);
        doc.AddObject(std::move(o));
    }
    f.input.screens = {{"a.drw", true, 1, doc.SerializeToBytes()}};
    screen::WindowScreenCompiler compiler({}, items::itemCompilerTable());
    const auto outcome = f.compile(&compiler);
    ASSERT_TRUE(outcome.ok) << f.takeLog();

    const std::string image = f.readImage();
    const WalkedImage walk = walkImage(image);
    ASSERT_EQ(walk.windows.size(), 1u);
    const std::uint32_t record = walk.windows[0].offset;
    const std::uint16_t count = u16In(image, record + 2);
    std::vector<std::uint8_t> types;
    for (std::uint16_t i = 0; i < count; ++i)
        types.push_back(std::uint8_t(image[record + u16In(image, record + 4 + 2u * i)]));
    ASSERT_GE(types.size(), 2u);
    EXPECT_EQ(types[types.size() - 2], 9);
    EXPECT_EQ(types.back(), 8);
    const std::uint32_t lamp = record + u16In(image, record + 4 + 2u * (count - 1));
    EXPECT_EQ(u16In(image, lamp + 4), 8);   // left on the panel
}

// Most window files carry an empty copy of the variable table: a dynamic picture bound to a
// variable finds its address in the project's table.
TEST(ItemsStateWindow, DynamicPictureResolvesItsVariableInTheProjectTable)
{
    CompileFixture f;
    CDrawDoc doc;
    sixteenPixelScreen(f, doc);
    auto o = std::make_unique<CDrawRect>(Rect{kMargin, kMargin, kMargin + 6, kMargin + 6});
    o->m_nKind = kKindDynamicPicture;
    o->m_bControl = 1;
    o->SetParamI32(64, 1);    // bound to the project's second row
    o->SetParamI32(48, -1);   // no address cached in the window file
    o->SetParamI32(204, 1);   // looked up by file name: the record names the variable's type
    o->m_strFiles = {"\\a.bmp"};
    doc.AddObject(std::move(o));
    ASSERT_EQ(doc.m_varTable.size(), 0u);
    f.input.variables.AppendRow("300", "unsigned char", "first", "0", "");
    f.input.variables.AppendRow("302", "unsigned short", "frame", "0", "");
    f.input.screens = {{"a.drw", true, 1, doc.SerializeToBytes()}};
    screen::WindowRenderServices services;
    services.loadPicture = [](const std::filesystem::path&) {
        auto pic = std::make_shared<Picture>();
        pic->pixels.reset(4, 4, 0x000000FF);
        return PicturePtr(pic);
    };
    screen::WindowScreenCompiler compiler(std::move(services), items::itemCompilerTable());
    const auto outcome = f.compile(&compiler);
    ASSERT_TRUE(outcome.ok) << f.takeLog();

    const std::string image = f.readImage();
    const std::uint32_t record = walkImage(image).windows.at(0).offset;
    const std::uint16_t count = u16In(image, record + 2);
    const std::uint32_t item = record + u16In(image, record + 4 + 2u * (count - 1));
    EXPECT_EQ(std::uint8_t(image[item]), 4);
    EXPECT_EQ(fileU32(image, item + 20), 302u);                 // frame-number address
    EXPECT_EQ(std::uint8_t(image[item + 25]) >> 4, 3);         // its type: unsigned short
}

TEST(ItemsStateWindow, RectangleNoCanvasCouldHoldIsRefused)
{
    const std::pair<int, screen::ItemCompiler> kinds[]{{kKindBitSwitch, &items::CompileBitSwitch},
                                                       {kKindIndicator, &items::CompileIndicator},
                                                       {kKindRadioButton, &items::CompileRadioButton},
                                                       {kKindDynamicPicture, &items::CompileDynamicPicture}};
    for (const auto& [kind, compiler] : kinds) {
        ItemFixture f;
        CDrawObj& o = f.addControl(kind, 0, 0, 8, 8);
        o.m_rcPosition.right = 2'000'000'000;
        o.SetParamI32(8, 0);    // radio: bound
        o.SetParamI32(20, 0);   // switch, lamp: bound
        o.SetParamI32(48, 0);   // dynamic picture: bound
        const std::uint32_t at = f.compile(compiler, o);
        EXPECT_TRUE(f.ctx.aborted()) << kind;
        EXPECT_NE(f.ctx.failureMessage().find("控件的位置或大小无效"), std::string::npos) << kind;
        EXPECT_EQ(f.ctx.header().writeOffset(), at);
    }
}

TEST(ItemTable, EveryControlKindWithAnItemCompilerIsInstalled)
{
    ControlFontRegistry fonts;
    const screen::ItemCompilerTable withFonts = items::itemCompilerTable(&fonts);
    for (int kind : {kKindButton, kKindRealTimeNumber, kKindProgressBar, kKindDynamicPicture, kKindBitSwitch,
                     kKindIndicator, kKindRadioButton, kKindAreaControl})
        EXPECT_NE(withFonts.find(kind), nullptr) << kind;
    // The area control shares its font tables through the compile's registry: none, no item.
    EXPECT_EQ(items::itemCompilerTable().find(kKindAreaControl), nullptr);
}

} // namespace
} // namespace qv::test
