#pragma once
// The panel's 8051 user code: Intel HEX text to the 64 KiB code image. Only what a 64 KiB
// program needs is accepted: data records and the end record.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace qv::hex {

inline constexpr std::size_t kCodeImageSize = 0x10000;
using CodeImage = std::array<std::uint8_t, kCodeImageSize>;

// Two hexadecimal digits (either case, high nibble first) to one byte; false when either
// character is not a hexadecimal digit.
bool HexPairToByte(char high, char low, std::uint8_t& out);

// Fills all of `image` with 0xFF and copies every data record into it. Returns the code
// length (the larger of the data byte count and the highest record end + 1, rounded up to
// a multiple of 4), or -1 with `message` set (GBK, the text the caller shows). Every record
// is checked: its checksum, its length, its type, and that it stays inside the 64 KiB.
int ReadIntelHex(std::string_view text, CodeImage& image, std::string* message = nullptr);

} // namespace qv::hex
