#pragma once
// The progress bar (kind 23) as item type 7: colour, direction and range of the bar that the
// panel draws itself, its value and hide references, and the control painted with an empty bar
// over the screen behind it.
#include "compiler/screen/item_compilers.h"

namespace qv::items {

inline constexpr std::uint8_t kProgressBarItemType = 7;
inline constexpr std::uint32_t kProgressBarItemSize = 40;

void CompileProgressBar(screen::ItemCompileArgs& a);

} // namespace qv::items
