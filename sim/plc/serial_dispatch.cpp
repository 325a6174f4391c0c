#include "sim/plc/serial_dispatch.h"

namespace qv::sim::plc {

void DispatchSerialByte(PlcLinks& links, SerialRxRing* ring, EmulatorGate gate, std::uint8_t byte, int com)
{
    // A byte of a COM number that is neither connected port belongs to no port: the program
    // would take it for port 1's, so it is dropped.
    const int port = links.portOfCom(com);
    if (port == 0)
        return;
    if (ring)
        ring->push(static_cast<std::uint8_t>(port), byte);
    if (!gate.ownsSerialBytes())
        links.onByte(port, byte);
}

} // namespace qv::sim::plc
