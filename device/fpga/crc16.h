#pragma once
// CRC-16 of the firmware images: polynomial 0x8408 bit-reflected, initial value 0, no final
// inversion, each byte least significant bit first ("123456789" gives 0x2189).
#include <cstdint>
#include <span>

namespace qv::device::fpga {

std::uint16_t Crc16(std::span<const std::uint8_t> bytes, std::uint16_t crc = 0);

} // namespace qv::device::fpga
