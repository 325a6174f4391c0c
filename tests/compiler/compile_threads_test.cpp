// Windows are loaded, rendered and masked on several threads ahead of the writer: the image
// must not depend on how many.
#include "compiler/items/install_items.h"
#include "compiler/screen/window_compiler.h"
#include "model/document/draw_doc.h"
#include "model/paint/control_font_registry.h"
#include "model/shape/shape_kind.h"
#include "tests/compiler/compile_fixture.h"
#include "tests/compiler/image_walker.h"

#include <gtest/gtest.h>

namespace qv::test {
namespace {

constexpr int kMargin = 38;

std::unique_ptr<CDrawRect> object(ShapeKind kind, int x, int y, int w, int h)
{
    auto o = std::make_unique<CDrawRect>(Rect{kMargin + x, kMargin + y, kMargin + x + w, kMargin + y + h});
    o->SetKind(kind);
    o->m_bControl = kShapeKinds[static_cast<std::size_t>(kind)].control ? 1 : 0;
    return o;
}

// Window i: a shape, a numeric input box, a curve and a character field whose font every
// second window shares, so the font tables are written once and named after that; in every
// second window the field reaches past the window's bottom, so its shapes are painted apart
// from the window's picture.
std::string windowBytes(int i)
{
    CDrawDoc doc;
    doc.m_nMarginX = doc.m_nMarginY = kMargin;
    doc.m_nWindowWidth = 160;
    doc.m_nWindowHeight = 120;
    doc.m_paperColor = 0x00102030 * static_cast<unsigned>(i + 1) & 0x00FFFFFF;
    auto ellipse = object(ShapeKind::Ellipse, 5 + i, 5, 60, 40);
    ellipse->m_brushInfo.color = 0x000000FF;
    doc.AddObject(std::move(ellipse));
    auto box = object(ShapeKind::NumericInput, 70, 5, 40, 20);
    box->SetParamI32(16, 8);
    box->SetParamI32(20, 16);
    doc.AddObject(std::move(box));
    auto curve = object(ShapeKind::Curve, 5, 50, 70, 50);
    curve->SetParamI32(80, 1);
    curve->SetParamI32(84, 0);
    curve->SetParamI32(8, 0x00FFFFFF);
    doc.AddObject(std::move(curve));
    auto field = object(ShapeKind::Character, 80, 50 + 50 * (i % 2), 60, 24);
    field->SetParamI32(36, 0);
    field->SetParamI32(40, 0x300);
    field->SetParamI32(16, 12 + 2 * (i % 2));
    field->SetParamI32(20, 12 + 2 * (i % 2));
    field->SetParamI32(112, 1);
    field->m_logfont.lfHeight = -(12 + 2 * (i % 2));
    doc.AddObject(std::move(field));
    return doc.SerializeToBytes();
}

std::string compileWith(unsigned threads)
{
    CompileFixture f;
    for (int i = 0; i < 7; ++i)
        f.input.screens.push_back({"s" + std::to_string(i) + ".drw", true, 4, windowBytes(i)});
    f.input.subWindows.push_back({"k.dlg", true, 4, windowBytes(7)});
    f.input.width = 160;
    f.input.height = 120;
    f.input.variables.AppendRow("300", "unsigned short", "v", "0", "");
    ControlFontRegistry fonts;
    screen::WindowScreenCompiler compiler(screen::WindowRenderServices{nullptr, {}, threads},
                                          items::itemCompilerTable(&fonts));
    const auto outcome = f.compile(&compiler);
    EXPECT_TRUE(outcome.ok) << f.takeLog();
    return outcome.ok ? f.readImage() : std::string();
}

TEST(CompileThreads, TheImageIsTheSameForOneAndFourThreads)
{
    const std::string one = compileWith(1);
    ASSERT_FALSE(one.empty());
    EXPECT_EQ(walkImage(one).windowCount, 8);
    EXPECT_GT(startMapU32(one, 0xC8), 0u) << "font tables were registered";
    for (unsigned threads : {4u, 2u})
        EXPECT_TRUE(compileWith(threads) == one) << threads << " threads";
}

} // namespace
} // namespace qv::test
