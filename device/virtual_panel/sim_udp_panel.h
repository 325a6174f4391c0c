#pragma once
// The simulated panel on UDP (127.0.0.1 only), as the picture tool talks to it: command
// datagrams {0x88, code, sequence} and data datagrams with address and length, each turned
// into the panel's own pipe transfers and answered with the header repeated. Faults on
// demand per received datagram: lost, answered twice, answered late (with the next one),
// or preceded by an answer from another sender.
#include "device/virtual_panel/sim_panel.h"

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace qv::device::virtual_panel {

enum class UdpFault { Drop, Duplicate, Late, Foreign };

class SimUdpPanel {
public:
    explicit SimUdpPanel(std::shared_ptr<SimPanel> panel);
    ~SimUdpPanel(); // wakes and joins the panel's thread, then closes its sockets
    SimUdpPanel(const SimUdpPanel&) = delete;
    SimUdpPanel& operator=(const SimUdpPanel&) = delete;

    std::uint16_t port() const { return port_; }
    // Applies to the datagram with this index (counted from 0).
    void injectFault(std::size_t datagram, UdpFault fault);
    // From this datagram on every datagram is lost.
    void dropFrom(std::size_t datagram);
    std::size_t datagrams() const;
    // Waits until at least `n` datagrams were handled.
    void waitForDatagrams(std::size_t n) const;

private:
    void loop();
    std::vector<std::uint8_t> answer(std::span<const std::uint8_t> d);

    std::shared_ptr<SimPanel> panel_;
    int fd_ = -1;
    int foreign_ = -1;
    int wake_ = -1;
    std::uint16_t port_ = 0;
    mutable std::mutex mutex_;
    mutable std::condition_variable handled_;
    std::map<std::size_t, UdpFault> faults_;
    std::size_t dropFrom_ = SIZE_MAX;
    std::size_t count_ = 0;
    std::thread thread_;
};

} // namespace qv::device::virtual_panel
