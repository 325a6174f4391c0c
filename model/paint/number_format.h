#pragma once
// Fixed-point number text for the painters, the property pages, the compiler and the
// simulator: decimals, width, fill and sign. Results are returned by value, so the
// editor and the compile thread never share a buffer; every argument is clamped and the
// arithmetic is 64-bit, so no value or argument loops forever or overruns.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace qv {

enum DecimalFill : int { kFillNone = 0, kFillZeros = 1, kFillSpaces = 2 };

// Longest text any of these return (the panel's 64-byte text buffers hold it with its zero).
inline constexpr std::size_t kMaxDecimalText = 63;

// `digits` digits at most (a wider value keeps its lowest digits), `decimals` of them after
// the point; digits is clamped to 1..32 and decimals to 0..digits-1.
std::string FormatSignedDecimal(std::int64_t value, int decimals, int digits, int mode, bool plus);
std::string FormatSignedDecimal2(std::int64_t value, int decimals, int digits, int mode, bool plus);
// No "-" ever; the plus flag puts "+" in front in every mode.
std::string FormatUnsignedDecimal(std::uint64_t value, int decimals, int digits, int mode, bool plus);

// Rewrites a decimal text ("-12.5") with exactly `decimals` fraction digits, filled to
// `width` and signed as the flags say. A text that is not a plain decimal number (NaN,
// infinity, exponent forms) comes back unchanged, cut to kMaxDecimalText; a result longer
// than kMaxDecimalText becomes a run of '#' as wide as asked (at least one).
std::string ReformatDecimalText(std::string_view text, int decimals, int width, int mode, bool plus);

// A panel colour (RGB565) as red, green, blue; the low bits stay zero.
std::array<std::uint8_t, 3> Rgb565ToRgb(std::uint16_t value);

// The text's length in bytes up to its first zero, as the 8-bit count the panel stores.
std::uint8_t TextLength8(std::string_view text);

} // namespace qv
