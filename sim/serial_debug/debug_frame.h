#pragma once
// The frames the serial debugging dialog sends in the panel's own protocol: a write or a read
// of one HMI variable, closed by a 16-bit sum of every byte before it.
//   0x81, command (0 write, 1 read), device byte, u32 address, length n, 0,
//   [write: the value in n bytes], u16 sum
#include <cstdint>
#include <string>
#include <vector>

#include "sim/plc/protocols/panel_protocol.h"

namespace qv::sim {

enum class DebugCommand : std::uint8_t { Write = plc::panel::CMD_WRITE, Read = plc::panel::CMD_READ };

// n for a variable type code: 1 for 0/1, 2 for 2/3, 4 for 4/5 (and for anything else).
int DebugValueLength(int typeCode);

std::vector<std::uint8_t> BuildDebugFrame(DebugCommand command, std::uint8_t device, std::int32_t address, int typeCode,
                                          std::int64_t value);

// "%02X " per byte, as the dialog shows frames and received bytes.
std::string DebugHex(const std::uint8_t* bytes, std::size_t count);
inline std::string DebugHex(const std::vector<std::uint8_t>& bytes) { return DebugHex(bytes.data(), bytes.size()); }

// A colour's RGB565 form: red in bits 15..11, green 10..5, blue 4..0, each from the top
// bits of its 8-bit component.
std::uint16_t Rgb565Of(int red, int green, int blue);

} // namespace qv::sim
