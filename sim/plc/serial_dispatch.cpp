#include "sim/plc/serial_dispatch.h"

namespace qv::sim::plc {

void DispatchSerialByte(PlcLinks& links, SerialRxRing* ring, EmulatorGate gate, std::uint8_t byte, int com)
{
    const int port = links.portOfCom(com);
    if (ring)
        ring->push(static_cast<std::uint8_t>(port == 2 ? 2 : 1), byte);
    if (gate.ownsSerialBytes() || port == 0)
        return;
    links.onByte(port, byte);
}

} // namespace qv::sim::plc
