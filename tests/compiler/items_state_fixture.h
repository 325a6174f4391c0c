#pragma once
// One control compiled on its own by an item compiler: a window document with the editor's
// margins, a compile context with its header area and image file, and readers that take
// the item's bytes by offset.
#include "compiler/compile/compile_context.h"
#include "compiler/screen/item_compilers.h"
#include "model/document/draw_doc.h"
#include "model/shape/draw_obj.h"
#include "platform/files/atomic_file.h"
#include "tests/compiler/compile_fixture.h"
#include "tests/fixtures/temp_dir.h"

#include <gtest/gtest.h>

namespace qv::test {

inline constexpr int kMargin = 38;

class ItemFixture {
public:
    explicit ItemFixture(std::uint32_t pageMask = 511)
        : input(newProjectInput(dir.path())), ctx(input, geometryWithPages(pageMask), flags, nullptr)
    {
        input.width = 16;
        input.height = 16;
        doc.m_nMarginX = doc.m_nMarginY = kMargin;
        doc.m_nWindowWidth = 16;
        doc.m_nWindowHeight = 16;
        doc.m_paperColor = 0x00FFFFFF;
        paint.compiling = true;
        paint.projectDir = dir.path();
        paint.baseDir = dir.path();
        EXPECT_TRUE(ctx.file().create(dir.path() / "image.bin"));
    }

    // A control at panel position (x, y) of the given size.
    CDrawObj& addControl(ShapeKind kind, int x, int y, int w, int h)
    {
        auto o = std::make_unique<CDrawRect>(Rect{kMargin + x, kMargin + y, kMargin + x + w, kMargin + y + h});
        o->SetKind(kind);
        o->m_bControl = 1;
        CDrawObj& ref = *o;
        doc.AddObject(std::move(o));
        return ref;
    }

    // Runs the compiler on `control`; the item starts at the returned header offset.
    std::uint32_t compile(const screen::ItemCompiler& compiler, CDrawObj& control)
    {
        const std::uint32_t at = ctx.header().writeOffset();
        screen::ItemCompileArgs args{ctx, doc, control, info, 0, paint, rotated};
        compiler(args);
        return at;
    }

    // The image file's bytes so far.
    std::string image()
    {
        EXPECT_TRUE(ctx.file().commit());
        std::string bytes;
        EXPECT_TRUE(readWholeFile(dir.path() / "image.bin", bytes));
        return bytes;
    }

    std::uint8_t u8(std::uint32_t o) { return ctx.header().bytes()[o]; }
    std::uint16_t u16(std::uint32_t o) { return static_cast<std::uint16_t>(u8(o) | u8(o + 1) << 8); }
    std::uint32_t u32(std::uint32_t o) { return u16(o) | std::uint32_t{u16(o + 2)} << 16; }

    static image::NandGeometry geometryWithPages(std::uint32_t pageMask)
    {
        image::NandGeometry g;
        g.pageMask = pageMask;
        return g;
    }

    TempDir dir;
    compile::CompileInput input;
    compile::CompileFlags flags;
    compile::CompileContext ctx;
    CDrawDoc doc;
    screen::ControlCompileInfo info{.compilable = true, .redrawFlags = 0, .regionItem = 1};
    PaintContext paint;
    bool rotated = false;
};

// One field of an item: offset from the item start, width in bytes, expected value.
struct Field {
    std::uint32_t offset;
    int width;
    std::uint32_t value;
};

inline void expectFields(ItemFixture& f, std::uint32_t at, std::initializer_list<Field> fields)
{
    for (const Field& d : fields) {
        const std::uint32_t o = at + d.offset;
        const std::uint32_t got = d.width == 1 ? f.u8(o) : d.width == 2 ? f.u16(o) : f.u32(o);
        EXPECT_EQ(got, d.value) << "offset " << d.offset;
    }
}

inline std::uint16_t pixelAt(const std::string& image, std::size_t o)
{
    return static_cast<std::uint16_t>(std::uint8_t(image[o]) | std::uint8_t(image[o + 1]) << 8);
}

} // namespace qv::test
