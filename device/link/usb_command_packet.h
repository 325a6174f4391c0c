#pragma once
// A command as the panel reads it: the code, then the command's own bytes (for flash
// commands a 32-bit address and a 32-bit length, little-endian). The vendor-driver form is
// exactly these bytes; the HID report and the disk block put them into a 65- or 64-byte
// frame and add the marker.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace qv::device {

inline constexpr std::size_t kMaxCommandBytes = 9;
inline constexpr std::size_t kHidReportSize = 65;
inline constexpr std::size_t kDiskBlockSize = 64;
inline constexpr std::size_t kMarkerOffset = 10;
inline constexpr std::array<std::uint8_t, 7> kUsbMarker{'u', 's', 'b', '-', 'h', 'i', 'd'};

struct UsbCommandPacket {
    std::array<std::uint8_t, kMaxCommandBytes> bytes{};
    std::size_t size = 1;
    std::uint8_t code() const { return bytes[0]; }
    std::span<const std::uint8_t> view() const { return {bytes.data(), size}; }
};

// The code alone (1 byte).
UsbCommandPacket bareCommand(std::uint8_t code);
// {code, address, length}: 9 bytes.
UsbCommandPacket rangeCommand(std::uint8_t code, std::uint32_t address, std::uint32_t length);
// The code followed by `payload` (at most 8 bytes).
UsbCommandPacket payloadCommand(std::uint8_t code, std::span<const std::uint8_t> payload);

// Writes "usb-hid" into bytes 10..16 of `buffer` (at least 17 bytes) and returns it.
std::span<std::uint8_t> UsbMarkPacket(std::span<std::uint8_t> buffer);

} // namespace qv::device
