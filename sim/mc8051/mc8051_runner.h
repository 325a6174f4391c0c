#pragma once
// The emulator's run loop: interrupts, service requests and one instruction per pass, on a
// thread of its own that ends when the shared stop request is set.
#include <atomic>
#include <cstdint>
#include <optional>
#include <thread>

#include "sim/mc8051/mc8051_cpu.h"

namespace qv::sim {

// What the simulated panel offers the loop. The defaults do nothing, so a bare CPU runs.
class Mc8051Services {
public:
    virtual ~Mc8051Services() = default;
    // The start of a run: empty the serial ring and the text buffers.
    virtual void resetForRun() {}
    // The next (port, byte) pair received on a serial port, taken out of the ring.
    struct SerialPair {
        std::uint8_t port = 0;
        std::uint8_t byte = 0;
    };
    virtual bool serialPending() const { return false; }
    virtual std::optional<SerialPair> takeSerial() { return std::nullopt; }
    // Serves the request in CmdAdr..CmdAdr15; the loop clears CmdAdr afterwards.
    virtual void serveRequest(Mc8051Cpu&) {}
    // Sound progress and text-output flush, once per pass.
    virtual void afterChecks(Mc8051Cpu&) {}
    // The last act before the thread ends (the sound device is closed here).
    virtual void onStop() {}
};

class Mc8051Runner {
public:
    // `timer0Pending` is the tick count the view's timer raises (may be null: no ticks).
    Mc8051Runner(Mc8051Cpu& cpu, Mc8051Services& services, std::atomic<int>* timer0Pending = nullptr);
    ~Mc8051Runner();
    Mc8051Runner(const Mc8051Runner&) = delete;
    Mc8051Runner& operator=(const Mc8051Runner&) = delete;

    // Resets the run state (CPU start values, ring, timer ticks) and starts the thread with
    // the stop request cleared and the running flag set. False when a thread still runs.
    bool start();
    // Sets the stop request and waits for the thread to end.
    void stop();
    bool joinable() const { return thread_.joinable(); }

    // The start-of-run reset without a thread (tests step the loop themselves).
    void resetForRun();
    // One pass of the loop; false (and nothing run) when a stop is requested.
    bool runPass();

    // Instructions after which the loop sleeps a millisecond.
    static constexpr std::uint32_t kYieldEvery = 65537;

private:
    void threadMain();

    Mc8051Cpu& cpu_;
    Mc8051Services& services_;
    std::atomic<int>* timer0Pending_;
    std::uint32_t sinceYield_ = 0;
    std::thread thread_;
};

} // namespace qv::sim
