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

// `fonts` is the compile's font registry (emptied before each compile by its owner).
void CompileAreaControl(screen::ItemCompileArgs& a, ControlFontRegistry& fonts);

void installAreaControlItem(screen::ItemCompilerTable& table, ControlFontRegistry& fonts);

} // namespace qv::items
