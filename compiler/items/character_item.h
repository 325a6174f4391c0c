#pragma once
// The character control item: an 84-byte record and the dot-matrix tables the panel draws
// the typed text with (half-width digits or ASCII, and with Chinese input the 8836 full-width
// codes), shared with earlier controls of the same compile and font.
#include "compiler/screen/item_compilers.h"

namespace qv {
class ControlFontRegistry;
}

namespace qv::items {

// `fonts` is the compile's font registry (emptied before each compile by its owner).
void CompileCharacter(screen::ItemCompileArgs& a, ControlFontRegistry& fonts);

} // namespace qv::items
