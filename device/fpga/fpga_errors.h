#pragma once
// The programming run's result codes, with what each means, in one table. 200..202 are our
// own: the link to the panel failed, a shift did not fit a packet, check data was missing.
#include <cstdint>
#include <string_view>

namespace qv::device::fpga {

namespace err {
inline constexpr std::uint8_t Ok = 0;
inline constexpr std::uint8_t DeviceId = 6;
inline constexpr std::uint8_t PollTimeout = 7;
inline constexpr std::uint8_t Erase = 8;
inline constexpr std::uint8_t Program = 10;
inline constexpr std::uint8_t Verify = 11;
inline constexpr std::uint8_t Security = 16;
inline constexpr std::uint8_t Authenticate = 18;
inline constexpr std::uint8_t UserRow = 24;
inline constexpr std::uint8_t Initialise = 25;
inline constexpr std::uint8_t KeyCheck = 31;
inline constexpr std::uint8_t KeyMissing = 35;
inline constexpr std::uint8_t Image = 100;
inline constexpr std::uint8_t BadTarget = 110;
inline constexpr std::uint8_t NoAction = 150;
inline constexpr std::uint8_t Unsupported = 151;
inline constexpr std::uint8_t Marker = 160;
inline constexpr std::uint8_t Aborted = 161;
inline constexpr std::uint8_t Transport = 200;
inline constexpr std::uint8_t PacketTooLong = 201;
inline constexpr std::uint8_t CheckDataMissing = 202;
} // namespace err

// What the code means (English, for the log); "unknown error" for codes not in the table.
std::string_view ErrorMeaning(std::uint8_t code);
// Whether the code is one the security conflict rules may give (33..37, 47, 49).
bool IsConflictCode(std::uint8_t code);

} // namespace qv::device::fpga
