#include "device/commands/device_info.h"

#include <algorithm>

namespace qv::device {
namespace {

// Offsets of the reply's fields.
constexpr int kWidth = 0, kHeight = 2, kSram = 4, kNand = 8, kHwMajor = 12, kHwMinor = 13, kNandType = 14,
              kColour = 15, kStoredNeed = 16;

std::uint32_t le(std::span<const std::uint8_t, 64> b, int at, int width)
{
    std::uint32_t v = 0;
    for (int i = width - 1; i >= 0; --i)
        v = (v << 8) | b[static_cast<std::size_t>(at + i)];
    return v;
}

void put(std::array<std::uint8_t, 64>& b, int at, int width, std::uint32_t v)
{
    for (int i = 0; i < width; ++i)
        b[static_cast<std::size_t>(at + i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

} // namespace

DeviceInfo DeviceInfo::parse(std::span<const std::uint8_t, 64> b)
{
    DeviceInfo d;
    d.width = static_cast<std::uint16_t>(le(b, kWidth, 2));
    d.height = static_cast<std::uint16_t>(le(b, kHeight, 2));
    d.sramBytes = le(b, kSram, 4);
    d.nandCapacity = le(b, kNand, 4);
    d.hardwareMajor = b[kHwMajor];
    d.hardwareMinor = b[kHwMinor];
    d.nandType = b[kNandType];
    d.colourDepthCode = b[kColour];
    d.storedSramNeed = le(b, kStoredNeed, 4);
    std::copy(b.begin(), b.end(), d.raw.begin());
    return d;
}

std::array<std::uint8_t, 64> DeviceInfo::encode() const
{
    std::array<std::uint8_t, 64> b = raw;
    put(b, kWidth, 2, width);
    put(b, kHeight, 2, height);
    put(b, kSram, 4, sramBytes);
    put(b, kNand, 4, nandCapacity);
    put(b, kHwMajor, 1, hardwareMajor);
    put(b, kHwMinor, 1, hardwareMinor);
    put(b, kNandType, 1, nandType);
    put(b, kColour, 1, colourDepthCode);
    put(b, kStoredNeed, 4, storedSramNeed);
    return b;
}

} // namespace qv::device
