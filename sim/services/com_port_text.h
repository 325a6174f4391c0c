#pragma once
// The text the 8051 program prints goes to serial ports (the project document's two); a port
// that is not open drops it.
#include "sim/services/mc8051_seams.h"

namespace qv {
class CComPort;
}

namespace qv::sim {

class ComPortTextPorts : public Mc8051TextPorts {
public:
    ComPortTextPorts(CComPort* port1, CComPort* port2) : ports_{port1, port2} {}
    void writeText(int port, std::span<const std::uint8_t> bytes) override;

private:
    CComPort* ports_[2];
};

} // namespace qv::sim
