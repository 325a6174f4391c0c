#pragma once
// The area control item: a 12-byte head for every function code; code 4 (the editing form
// of character controls) adds the dot-matrix font tables of the control's font, shared with
// earlier controls of the same font, and the four arrow pictures.
#include "compiler/screen/item_compilers.h"

#include <cstdint>

namespace qv {
class ControlFontRegistry;
}

namespace qv::items {

// Bytes of one glyph slot for `dataBytes` bytes of glyph data on pages of `pageMask` + 1.
std::uint32_t glyphSlotSize(std::uint32_t dataBytes, std::uint32_t pageMask);

// `fonts` is the compile's font registry (emptied before each compile by its owner).
void CompileAreaControl(screen::ItemCompileArgs& a, ControlFontRegistry& fonts);

void installAreaControlItem(screen::ItemCompilerTable& table, ControlFontRegistry& fonts);

} // namespace qv::items
