#pragma once
// A byte received on one of the project's serial ports (monitor thread): into the ring the
// user's 8051 program reads, then to the parser of the port's protocol unless the program
// owns the serial bytes (it runs with EA and ES set).
#include <cstdint>

#include "sim/plc/plc_links.h"
#include "sim/serial/serial_rx_ring.h"

namespace qv::sim::plc {

inline constexpr std::uint8_t kIeEa = 0x80;
inline constexpr std::uint8_t kIeEs = 0x10;

struct EmulatorGate {
    bool running = false;
    std::uint8_t interruptEnable = 0;
    bool ownsSerialBytes() const { return running && (interruptEnable & (kIeEa | kIeEs)) == (kIeEa | kIeEs); }
};

// `ring` may be null (no program services installed).
void DispatchSerialByte(PlcLinks& links, SerialRxRing* ring, EmulatorGate gate, std::uint8_t byte, int com);

} // namespace qv::sim::plc
