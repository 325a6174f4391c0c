#pragma once
// The check data of the programming run that does not come with the program: the 16-byte
// vectors of the three device-variant checks and of the dual-key check, and the rules by
// which a part's security settings forbid programming (codes 33..49). They are read from
// "fpga_checks.txt" beside the firmware files; a run that needs what the file lacks stops
// before the erase.
//
//   # comment
//   variant1 <32 hex digits>     (variant2, variant3, dualkey alike)
//   conflict <code> <byte> <mask> <value> [support bits]
//   conflicts none               (the rules are known to be empty)
//
// A rule fires when (settings[byte] & mask) == value and, when support bits are given, the
// image's support mask has one of them.
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv::device::fpga {

using Vector16 = std::array<std::uint8_t, 16>;

struct ConflictRule {
    std::uint8_t code = 0;
    std::uint8_t byte = 0; // 0..6
    std::uint8_t mask = 0;
    std::uint8_t value = 0;
    std::uint16_t support = 0;
};

struct CheckData {
    std::array<std::optional<Vector16>, 3> variants;
    std::optional<Vector16> dualKey;
    std::optional<std::vector<ConflictRule>> conflicts;
};

inline constexpr const char* kCheckDataFile = "fpga_checks.txt";

// nullopt (with the line and reason in `why`) for text that does not parse.
std::optional<CheckData> ParseCheckData(std::string_view text, std::string* why = nullptr);
inline constexpr std::size_t kMaxCheckDataBytes = 64 * 1024;
// An absent or empty file gives empty check data; a file that does not parse, cannot be
// read or is larger than kMaxCheckDataBytes too (with the reason in `why`).
CheckData LoadCheckData(const std::filesystem::path& file, std::string* why = nullptr);

} // namespace qv::device::fpga
