#include "sim/services/com_port_text.h"

#include "platform/serial/com_port.h"

namespace qv::sim {

void ComPortTextPorts::writeText(int port, std::span<const std::uint8_t> bytes)
{
    CComPort* com = port == 1 ? ports_[0] : port == 2 ? ports_[1] : nullptr;
    if (com && !bytes.empty() && com->IsOpen())
        com->WriteToPort(bytes.data(), static_cast<int>(bytes.size()));
}

} // namespace qv::sim
