#pragma once
// CRC-16 of Modbus RTU frames (reflected polynomial 0xA001, start 0xFFFF, no final XOR); it
// goes on the wire low byte first.
#include <cstdint>
#include <span>

namespace qv::sim::plc {

std::uint16_t Crc16(std::span<const std::uint8_t> data);

// True when the last two bytes of `frame` are the CRC of the bytes before them.
bool HasGoodCrc(std::span<const std::uint8_t> frame);

} // namespace qv::sim::plc
