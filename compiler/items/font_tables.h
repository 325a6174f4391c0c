#pragma once
// Dot-matrix glyph tables of the controls that let the panel draw typed text (numeric input
// box, character control, the area control's editing form): equal slots that open with 0x82,
// one bit a pixel from the slot's second byte (a page start skipped), a whole number of pages.
// A table a control of the same compile already wrote with the same font is named by its
// registration number instead of being written again.
#include "compiler/screen/item_compilers.h"
#include "platform/surface/surface.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace qv {
class ControlFontRegistry;
}

namespace qv::items {

// Bytes of one glyph slot for `dataBytes` bytes of glyph data on pages of `pageMask` + 1.
std::uint32_t glyphSlotSize(std::uint32_t dataBytes, std::uint32_t pageMask);

struct GlyphCell {
    int width = 0, height = 0;
    std::uint32_t slot = 0;   // stride of one glyph in the table
};

// The cell of `width` x `height` pixels with its slot size on the compile's pages.
GlyphCell glyphCell(const compile::CompileContext& ctx, int width, int height);

// The table's bytes: `glyphs` slots of the cell, rounded up to a whole page.
std::uint64_t glyphTableBytes(const GlyphCell& cell, int glyphs, std::uint32_t pageMask);

// The GBK text of glyph `index`.
using GlyphText = std::function<std::string(int index)>;

// A surface for drawing glyphs in the control's font: white text over black.
Surface glyphSurface(const LogFont& font, const GlyphCell& largest);

// Draws every glyph into its slot (cell filled black, text at the origin, a pixel that is not
// black is a 1) and appends the table to the image. False when the compile stopped.
bool writeGlyphTable(screen::ItemCompileArgs& a, Surface& dc, const GlyphCell& cell, int glyphs, const GlyphText& text);

// The table's field at header offset `field`: the registration number of the same font under
// font key `key` when one exists (true comes back), else the bytes of the table written now
// (false); nullopt when the compile stopped. Every lookup counts one picture.
std::optional<bool> sharedOrWrittenTable(screen::ItemCompileArgs& a, ControlFontRegistry& fonts, Surface& dc,
                                         std::int32_t key, const GlyphCell& cell, int glyphs, const GlyphText& text,
                                         std::uint32_t field);

// The glyphs of the 8836 two-byte codes of rows and columns 0xA1..0xFE, row in the outer order.
inline constexpr int kFullWidthRowCodes = 0xFE - 0xA1 + 1;
inline constexpr int kFullWidthGlyphs = kFullWidthRowCodes * kFullWidthRowCodes;
std::string fullWidthGlyph(int index);

} // namespace qv::items
