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
    for (auto [kind, x] : {std::pair{ShapeKind::BitSwitch, 0}, std::pair{ShapeKind::Indicator, 8}}) {
        auto o = std::make_unique<CDrawRect>(Rect{kMargin + x, kMargin, kMargin + x + 6, kMargin + 6});
        o->SetKind(kind);
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
    o->SetKind(ShapeKind::DynamicPicture);
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

// What item compilers change in a control (here the plot area the chart painter lays out)
// goes back to the editor's control, and a refused control is named for selection; both as
// calls the GUI thread runs when it drains the queue.
TEST(ItemsStateWindow, ControlChangesAndTheRefusedControlAreHandedBack)
{
    CompileFixture f;
    CDrawDoc doc;
    sixteenPixelScreen(f, doc);
    doc.m_nWindowWidth = doc.m_nWindowHeight = 64;
    f.input.width = f.input.height = 64;
    auto curve = std::make_unique<CDrawRect>(Rect{kMargin, kMargin, kMargin + 40, kMargin + 30});
    curve->SetKind(ShapeKind::Curve);
    curve->m_bControl = 1;
    curve->SetParamI32(80, 1);   // one curve, on the project's first row
    curve->SetParamI32(84, 0);
    doc.AddObject(std::move(curve));
    auto tooSmall = std::make_unique<CDrawRect>(Rect{kMargin, kMargin + 40, kMargin + 5, kMargin + 48});
    tooSmall->SetKind(ShapeKind::NumericInput);
    tooSmall->m_bControl = 1;
    doc.AddObject(std::move(tooSmall));
    f.input.variables.AppendRow("300", "unsigned short", "v", "0", "");
    f.input.screens = {{"a.drw", true, 2, doc.SerializeToBytes()}};

    std::vector<compile::RefusedControl> selected;
    std::vector<CompiledControlChange> changes;
    f.services.selectControl = [&](const compile::RefusedControl& c) { selected.push_back(c); };
    f.services.applyControlChanges = [&](const std::vector<CompiledControlChange>& c) { changes = c; };
    screen::WindowScreenCompiler compiler({}, items::itemCompilerTable());
    EXPECT_FALSE(f.compile(&compiler).ok);
    EXPECT_NE(f.takeLog().find("编译出错!!\"编辑框\"控件的长宽太小"), std::string::npos);

    ASSERT_EQ(selected.size(), 1u);
    EXPECT_EQ(selected[0].windowTitle, "a.drw");
    EXPECT_EQ(selected[0].objectIndex, 1u);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].windowTitle, "a.drw");
    EXPECT_EQ(changes[0].objectIndex, 0u);
    EXPECT_EQ(changes[0].before, doc.m_objects[0]->m_Params);
    EXPECT_NE(changes[0].after[68] | changes[0].after[69], 0) << "the plot width the painter stored";
}

TEST(ItemsStateWindow, RectangleNoCanvasCouldHoldIsRefused)
{
    const std::pair<ShapeKind, screen::ItemCompiler> kinds[]{{ShapeKind::BitSwitch, &items::CompileBitSwitch},
                                                       {ShapeKind::Indicator, &items::CompileIndicator},
                                                       {ShapeKind::RadioButton, &items::CompileRadioButton},
                                                       {ShapeKind::DynamicPicture, &items::CompileDynamicPicture}};
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
    for (ShapeKind kind : {ShapeKind::Button, ShapeKind::RealTimeNumber, ShapeKind::ProgressBar, ShapeKind::DynamicPicture, ShapeKind::BitSwitch,
                     ShapeKind::Indicator, ShapeKind::RadioButton, ShapeKind::AreaControl, ShapeKind::NumericInput, ShapeKind::Character, ShapeKind::Curve})
        EXPECT_NE(withFonts.find(kind), nullptr) << kind;
    // The area and character controls share their font tables through the compile's
    // registry: none, no item.
    EXPECT_EQ(items::itemCompilerTable().find(ShapeKind::AreaControl), nullptr);
    EXPECT_EQ(items::itemCompilerTable().find(ShapeKind::Character), nullptr);
}

} // namespace
} // namespace qv::test
