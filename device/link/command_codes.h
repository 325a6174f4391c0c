#pragma once
// The panel's command codes: the first byte of every command block.
#include <cstdint>

namespace qv::device::code {

inline constexpr std::uint8_t WriteBlock = 1;
inline constexpr std::uint8_t BusyQuery = 2;
inline constexpr std::uint8_t AbortWrite = 3;
inline constexpr std::uint8_t Reset = 4;
inline constexpr std::uint8_t ReadFlash = 6;
inline constexpr std::uint8_t StartUpgrade = 7;
inline constexpr std::uint8_t DeviceInformation = 11;
inline constexpr std::uint8_t SetClock = 0x30;
inline constexpr std::uint8_t FlashTest = 0x31;
inline constexpr std::uint8_t Buzzer = 0x32;

} // namespace qv::device::code
