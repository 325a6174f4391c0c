#include "device/fpga/crc16.h"

namespace qv::device::fpga {

std::uint16_t Crc16(std::span<const std::uint8_t> bytes, std::uint16_t crc)
{
    for (const std::uint8_t b : bytes) {
        crc ^= b;
        for (int i = 0; i < 8; ++i)
            crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0x8408) : static_cast<std::uint16_t>(crc >> 1);
    }
    return crc;
}

} // namespace qv::device::fpga
