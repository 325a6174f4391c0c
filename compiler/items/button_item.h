#pragma once
// The operation button (kind 7) as item type 2: the action a touch performs, the variables it
// operates, hides by and is write-enabled by, and its three state pictures drawn by the
// editor's own button painter.
#include "compiler/screen/item_compilers.h"

#include <string_view>
#include <utility>

namespace qv::items {

inline constexpr std::uint8_t kButtonItemType = 2;
inline constexpr std::uint32_t kButtonItemSize = 48;

// Action code and argument of a function text; `screens` and `subWindows` are the project's
// window lists (GBK file names).
std::pair<std::uint8_t, std::uint8_t> buttonAction(std::string_view textGbk, const compile::CompileInput& project);

void CompileButton(screen::ItemCompileArgs& a);

} // namespace qv::items
