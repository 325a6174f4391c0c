#pragma once
// The area control's parameter block (kind 26): what the area does in run mode and the
// colours of the candidate bar it may show.
#include "model/params/param_field.h"

#include <cstdint>

namespace qv {

struct AreaBlockTag {};
using AreaBlock = ParamView<AreaBlockTag>;

namespace blocks::area {

template <class T>
using Field = ParamField<T, AreaBlockTag>;

inline constexpr Field<std::uint8_t> kBehaviour{0}, kMouseDetect{1};
enum Behaviour : std::uint8_t { kRightClickMenu = 1, kDragsWindow = 2, kBackgroundCopy = 3, kCandidateBar = 4 };
inline constexpr Field<std::int32_t> kTextColor{4}, kBackColor{8};

} // namespace blocks::area
} // namespace qv
