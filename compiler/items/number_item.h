#pragma once
// The real-time number (kind 9) as item type 3: the number's format and variable references,
// an optional background picture, and a table of fourteen glyphs ("0".."9", "-", "+", " ",
// ".") that the panel draws the value with.
#include "compiler/screen/item_compilers.h"

namespace qv::items {

inline constexpr std::uint8_t kNumberItemType = 3;
inline constexpr std::uint32_t kNumberItemSize = 76;
inline constexpr int kNumberGlyphCount = 14;
// Largest glyph cell side a table is built for; a damaged block may claim any size.
inline constexpr int kMaxGlyphSide = 1024;

void CompileNumber(screen::ItemCompileArgs& a);

} // namespace qv::items
