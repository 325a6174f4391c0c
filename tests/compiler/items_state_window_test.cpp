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

TEST(ItemsStateWindow, SwitchAndLampItemsFollowTheRegionsInTheRecord)
{
    CompileFixture f;
    CDrawDoc doc;
    doc.m_nMarginX = doc.m_nMarginY = kMargin;
    doc.m_nWindowWidth = 16;
    doc.m_nWindowHeight = 16;
    doc.m_paperColor = 0x00FFFFFF;
    for (auto [kind, x] : {std::pair{kKindBitSwitch, 0}, std::pair{kKindIndicator, 8}}) {
        auto o = std::make_unique<CDrawRect>(Rect{kMargin + x, kMargin, kMargin + x + 6, kMargin + 6});
        o->m_nKind = kind;
        o->m_bControl = 1;
        o->SetParamI32(16, 0);
        o->SetParamI32(20, 4);
        doc.AddObject(std::move(o));
    }
    f.input.width = 16;
    f.input.height = 16;
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
