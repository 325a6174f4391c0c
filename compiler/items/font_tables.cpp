#include "compiler/items/font_tables.h"

#include "compiler/compile/compile_texts.h"
#include "compiler/image/le_bytes.h"
#include "compiler/items/number_glyphs.h"
#include "model/document/draw_doc.h"
#include "model/paint/control_font_registry.h"

#include <algorithm>

namespace qv::items {

using namespace qv::image;

std::uint32_t glyphSlotSize(std::uint32_t n, std::uint32_t m)
{
    if (n > m)
        return (n / m) * (m + 1) + ((n % m + m) & ~m);
    std::uint32_t slot = 8;
    while (slot <= n && slot < 4096)
        slot *= 2;
    return slot;
}

GlyphCell glyphCell(const compile::CompileContext& ctx, int width, int height)
{
    const std::uint64_t bits = std::uint64_t(std::max(width, 0)) * std::uint64_t(std::max(height, 0));
    return {width, height, glyphSlotSize(static_cast<std::uint32_t>((bits + 7) / 8), ctx.geometry().pageMask)};
}

std::uint64_t glyphTableBytes(const GlyphCell& cell, int glyphs, std::uint32_t pageMask)
{
    return (std::uint64_t{cell.slot} * static_cast<std::uint64_t>(glyphs) + pageMask) & ~std::uint64_t{pageMask};
}

Surface glyphSurface(const LogFont& font, const GlyphCell& largest)
{
    Surface dc(std::max(largest.width, 1), std::max(largest.height, 1), 0);
    dc.selectFont(font);
    dc.setBkColor(0);
    dc.setTextColor(0x00FFFFFF);
    return dc;
}

bool writeGlyphTable(screen::ItemCompileArgs& a, Surface& dc, const GlyphCell& cell, int glyphs, const GlyphText& text)
{
    GlyphTable table(glyphs, cell.slot, a.ctx.geometry().pageMask);
    const Rect box{0, 0, cell.width, cell.height};
    for (int g = 0; g < glyphs; ++g) {
        if (a.ctx.aborted())
            return false;
        dc.fillRect(box, 0);
        dc.textOut(0, 0, text(g));
        table.putBits(g, dc, cell.width, cell.height, a.rotated);
    }
    if (a.ctx.file().append(table.bytes()))
        return true;
    a.ctx.fail(compile::text::kDiskFull);
    return false;
}

std::optional<bool> sharedOrWrittenTable(screen::ItemCompileArgs& a, ControlFontRegistry& fonts, Surface& dc,
                                         std::int32_t key, const GlyphCell& cell, int glyphs, const GlyphText& text,
                                         std::uint32_t field)
{
    a.control.m_nFontKey = key;
    a.ctx.addPictures(1);
    const int earlier = fonts.FindOrAddControlFont(a.control);
    if (earlier >= 0) {
        putU32(a.ctx.header().bytes(), field, static_cast<std::uint32_t>(earlier));
        return true;
    }
    a.ctx.addControlFont();
    const std::uint64_t before = a.ctx.file().size();
    if (!writeGlyphTable(a, dc, cell, glyphs, text))
        return std::nullopt;
    putU32(a.ctx.header().bytes(), field, static_cast<std::uint32_t>(a.ctx.file().size() - before));
    return false;
}

std::string fullWidthGlyph(int g)
{
    const char code[2]{static_cast<char>(0xA1 + g / kFullWidthRowCodes), static_cast<char>(0xA1 + g % kFullWidthRowCodes)};
    return std::string(code, 2);
}

} // namespace qv::items
