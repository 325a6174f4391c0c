#pragma once
// The panel's own protocol, named once for the links and the serial debugging frames:
//   start, command, device byte, u32 address, u16 length, [write: the bytes], u16 sum
// (every value low byte first; the sum is of every byte before it).
#include <cstdint>

namespace qv::sim::plc::panel {

inline constexpr std::uint8_t FRAME_START = 0x81;
// The device byte that serial port 2 takes as well as its own.
inline constexpr std::uint8_t ANY_DEVICE = 0;

enum Command : std::uint8_t {
    CMD_WRITE = 0,     // the bytes at the address
    CMD_READ = 1,      // answered by a write of the bytes asked for
    CMD_BAD_CHECK = 2, // the answer to a frame whose sum is wrong
};

} // namespace qv::sim::plc::panel
