#pragma once
// The simulated panel behind the user's 8051 program: the serial pairs from the receive ring
// into COMNUM and SBUF, the service requests through one table, the text-output flush to the
// project document's ports and the sound progress, and the sound close as the run's last act.
#include <cstdint>
#include <optional>

#include "sim/mc8051/mc8051_runner.h"
#include "sim/serial/serial_rx_ring.h"
#include "sim/services/panel_service_state.h"

namespace qv::sim {

class Mc8051PanelServices : public Mc8051Services {
public:
    explicit Mc8051PanelServices(Mc8051PanelContext context);

    // The ring the ports' receive path pushes into.
    SerialRxRing& ring() { return ring_; }
    PanelServiceState& state() { return state_; }

    void resetForRun() override;
    const std::atomic<int>& serialPending() const override { return ring_.pending(); }
    std::optional<SerialPair> takeSerial() override { return ring_.take(); }
    void serveRequest(Mc8051Cpu& cpu, std::uint64_t pass) override;
    std::uint64_t checksDueAt() const override;
    void afterChecks(Mc8051Cpu& cpu, std::uint64_t pass) override;
    void onStopRequested() override;
    void onStop() override;

    // A text buffer waits this many passes after its last append before it is sent, unless
    // it holds more than kTextFlushLength bytes.
    static constexpr std::uint64_t kTextFlushPasses = 30;
    static constexpr int kTextFlushLength = 500;

private:
    void flushText(int buffer);

    PanelServiceState state_;
    SerialRxRing ring_;
    std::uint64_t soundCheckedAt_ = 0; // pass of the last sound progress check
};

} // namespace qv::sim
