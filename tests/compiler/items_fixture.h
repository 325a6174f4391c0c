#pragma once
// One control on a small screen, compiled through the window compiler with the item compilers
// installed, and its item read back from the image with offsets written out by the tests.
#include "compiler/items/install_items.h"
#include "compiler/screen/window_compiler.h"
#include "model/document/draw_doc.h"
#include "tests/compiler/compile_fixture.h"
#include "tests/compiler/image_walker.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace qv::test {

inline constexpr std::uint64_t kItemsPictureStart = 0x200000;

struct CompiledItem {
    bool ok = false;
    std::string log;                 // GBK
    std::string image;
    WalkedImage walk;
    std::uint64_t item = 0;          // file offset of the control's item (the record's last)
    std::uint64_t controlPicture = 0;  // where the control's picture data starts
    std::uint32_t pageMask = 0;

    std::uint8_t u8(std::uint32_t o) const { return std::uint8_t(image[item + o]); }
    std::uint16_t u16(std::uint32_t o) const { return std::uint16_t(u8(o) | u8(o + 1) << 8); }
    std::uint32_t u32(std::uint32_t o) const { return fileU32(image, item + o); }
};

// A 40 x 20 screen at the page origin, margins 38, white paper, holding one control.
inline CompiledItem compileOneControl(std::unique_ptr<CDrawRect> control,
                                      const std::function<void(compile::CompileInput&)>& adjust = nullptr,
                                      screen::WindowRenderServices services = {})
{
    CompileFixture f;
    CDrawDoc doc;
    doc.m_nMarginX = doc.m_nMarginY = 38;
    doc.m_nWindowWidth = 40;
    doc.m_nWindowHeight = 20;
    doc.m_paperColor = 0x00FFFFFF;
    control->m_bControl = 1;
    doc.AddObject(std::move(control));
    f.input.screens = {{"a.drw", true, 1, doc.SerializeToBytes()}};
    f.input.width = 40;
    f.input.height = 20;
    if (adjust)
        adjust(f.input);
    screen::WindowScreenCompiler compiler(std::move(services), items::itemCompilerTable());
    CompiledItem c;
    c.ok = f.compile(&compiler).ok;
    c.log = f.takeLog();
    if (!c.ok)
        return c;
    c.image = f.readImage();
    c.walk = walkImage(c.image);
    c.pageMask = c.walk.pageMask;
    const std::uint32_t rec = c.walk.windows.at(0).offset;
    const std::uint16_t count = std::uint16_t(std::uint8_t(c.image[rec + 2]) | std::uint8_t(c.image[rec + 3]) << 8);
    const auto itemAt = [&](std::uint32_t i) {
        return rec + (std::uint8_t(c.image[rec + 4 + 2 * i]) | std::uint8_t(c.image[rec + 5 + 2 * i]) << 8);
    };
    c.item = itemAt(count - 1u);
    // Item 0 is the background picture: its data length opens the tile table.
    c.controlPicture = kItemsPictureStart + fileU32(c.image, itemAt(0) + 4);
    return c;
}

// The compile stops at the control and logs `messageGbk`.
inline void expectRefused(std::unique_ptr<CDrawRect> control, const char* messageGbk, const char* caseName)
{
    const CompiledItem c = compileOneControl(std::move(control));
    EXPECT_FALSE(c.ok) << caseName;
    EXPECT_NE(c.log.find(messageGbk), std::string::npos) << caseName;
}

// The same after `change` (if any) has spoilt the control.
inline void expectRefused(std::unique_ptr<CDrawRect> control, const std::function<void(CDrawRect&)>& change,
                          const char* messageGbk, const char* caseName)
{
    if (change)
        change(*control);
    expectRefused(std::move(control), messageGbk, caseName);
}

// A control the compile must refuse: placed at `rect`, then changed by `change` (if any).
struct RefusedCase {
    const char* name;
    Rect rect;
    std::function<void(CDrawRect&)> change;
    const char* message;   // GBK
};

// Builds each case's control with `make(rect)` and expects the compile to refuse it.
template <std::size_t N, class Make>
void expectEachRefused(const RefusedCase (&cases)[N], Make make)
{
    for (const RefusedCase& k : cases)
        expectRefused(make(k.rect), k.change, k.message, k.name);
}

inline std::unique_ptr<CDrawRect> controlAt(ShapeKind kind, Rect r)
{
    auto o = std::make_unique<CDrawRect>(r);
    o->SetKind(kind);
    return o;
}

// The bytes one picture of w x h pixels takes: 0x82, two bytes a pixel with a 0x82 at every
// further page start, and 0x82 up to the page end.
inline std::uint64_t pictureBytes(std::uint64_t dataBytes, std::uint32_t pageMask)
{
    std::uint64_t n = 1;
    for (std::uint64_t i = 0; i < dataBytes; ++i)
        n += ((n & pageMask) == 0) ? 2 : 1;
    return (n + pageMask) & ~std::uint64_t{pageMask};
}

} // namespace qv::test
