#pragma once
// Glyphs for the Surface: FreeType in mono mode, one library and one FT_Face per file and
// thread (FreeType faces are not shared between threads), glyph bitmaps cached per thread
// (least recently used dropped past a size cap).
// The cell of a font is |lfHeight| pixels high; ink outside the cell is cut off.
#include "platform/surface/gdi.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

struct GlyphBitmap {
    int left = 0;       // ink offset from the pen position
    int top = 0;        // ink offset from the cell top
    int width = 0;
    int rows = 0;
    int advance = 0;
    std::vector<std::uint8_t> ink; // width * rows, 1 = ink
};

struct FontMetrics {
    int cellHeight = 16;
    int baseline = 14;  // from the cell top
};

class FontEngine {
public:
    // The calling thread's engine.
    static FontEngine& forThisThread();

    FontMetrics metrics(const LogFont& font);
    // The reference holds until the next call on this engine.
    const GlyphBitmap& glyph(const LogFont& font, char32_t codepoint);

    // What the glyph cache holds now, and the bound it is kept under.
    std::size_t cachedGlyphBytes() const;
    static std::size_t glyphCacheCap();

    FontEngine(const FontEngine&) = delete;
    FontEngine& operator=(const FontEngine&) = delete;
    ~FontEngine();

private:
    FontEngine();
    struct Impl;
    Impl* impl_;
};

// GBK text as code points, one per character (invalid bytes become U+FFFD).
std::u32string decodeGbk(std::string_view gbk);

} // namespace qv
