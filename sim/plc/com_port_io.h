#pragma once
// The links' frames onto the project document's two serial ports: a port takes frames only
// while it is installed here (connected); master requests drop unread input first.
#include <array>
#include <atomic>

#include "platform/serial/com_port.h"
#include "sim/plc/plc_links.h"

namespace qv::sim::plc {

class ComPortIo final : public PlcPortIo {
public:
    // `port` 1 or 2; nullptr while the port is not connected. Remove a port before it closes.
    void setPort(int port, CComPort* comPort)
    {
        if (port == 1 || port == 2)
            ports_[static_cast<std::size_t>(port - 1)].store(comPort);
    }
    void send(int port, std::span<const std::uint8_t> bytes, bool discardInput) override
    {
        if (port != 1 && port != 2)
            return;
        if (CComPort* p = ports_[static_cast<std::size_t>(port - 1)].load())
            p->WriteToPort(bytes.data(), static_cast<int>(bytes.size()), discardInput ? WriteInput::Discard : WriteInput::Keep);
    }

private:
    std::array<std::atomic<CComPort*>, 2> ports_{};
};

} // namespace qv::sim::plc
