#pragma once
// The 64-byte reply of command 11.
#include <array>
#include <cstdint>
#include <span>

namespace qv::device {

struct DeviceInfo {
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::uint32_t sramBytes = 0;
    std::uint32_t nandCapacity = 0;
    std::uint8_t hardwareMajor = 0;
    std::uint8_t hardwareMinor = 0;
    std::uint8_t nandType = 0;        // a FLASH size code
    std::uint8_t colourDepthCode = 0; // 0, 1, 2, 3 = 8, 16, 18, 24 bits
    std::uint32_t storedSramNeed = 0;
    std::array<std::uint8_t, 64> raw{};

    static DeviceInfo parse(std::span<const std::uint8_t, 64> bytes);
    // The 64 bytes of the fields above (the simulated panel's reply).
    std::array<std::uint8_t, 64> encode() const;
};

} // namespace qv::device
