#pragma once
// The table's parameter block (kind 24): a grid of rules.
#include "model/params/param_field.h"

#include <cstdint>

namespace qv {

struct TableBlockTag {};
using TableBlock = ParamView<TableBlockTag>;

namespace blocks::table {

template <class T>
using Field = ParamField<T, TableBlockTag>;

inline constexpr Field<std::int32_t> kLineColor{0}, kLineWidth{4};
inline constexpr Field<std::int32_t> kCreated8{8};  // set at creation; nothing reads it
inline constexpr Field<std::int32_t> kRows{16}, kColumns{20};

} // namespace blocks::table
} // namespace qv
