#pragma once
// The numeric input box's parameter block (kind 10): the keypad sub-window's display. A field
// some rooms read whole and others by its low byte is declared at its full width; those rooms
// take lowByte() of it.
#include "model/params/param_field.h"

#include <cstdint>

namespace qv {

struct NumericInputBlockTag {};
using NumericInputBlock = ParamView<NumericInputBlockTag>;

namespace blocks::numeric_input {

template <class T>
using Field = ParamField<T, NumericInputBlockTag>;

inline constexpr Field<std::int32_t> kTextColor{0};
inline constexpr Field<std::int32_t> kPassword{4};  // the page and the painter keep the low byte
inline constexpr Field<std::int32_t> kBackColor{8};
inline constexpr Field<std::int32_t> kLeftAligned{12};  // the page and the painter keep the low byte
// The character pitch and height, measured by the painter and compiled as the glyph cell.
inline constexpr Field<std::int32_t> kPitch{16}, kCharHeight{20};
inline constexpr Field<std::uint8_t> kMode{24};
enum Mode : int { kInputBox = 0, kShowMinimum = 1, kShowMaximum = 2 };

} // namespace blocks::numeric_input
} // namespace qv
