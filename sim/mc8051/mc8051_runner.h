#pragma once
// The emulator's run loop: interrupts, service requests and one instruction per pass, on a
// thread of its own that ends when the shared stop request is set.
#include <atomic>
#include <cstdint>
#include <limits>
#include <optional>
#include <thread>

#include "sim/mc8051/mc8051_cpu.h"

namespace qv::sim {

// What the simulated panel offers the loop. The defaults do nothing, so a bare CPU runs.
// Passes are numbered from 0 at the start of a run; every pass runs one instruction.
class Mc8051Services {
public:
    static constexpr std::uint64_t kNever = std::numeric_limits<std::uint64_t>::max();

    virtual ~Mc8051Services() = default;
    // The start of a run: empty the serial ring and the text buffers.
    virtual void resetForRun() {}
    // The next (port, byte) pair received on a serial port, taken out of the ring.
    struct SerialPair {
        std::uint8_t port = 0;
        std::uint8_t byte = 0;
    };
    // Number of pairs waiting; the loop watches it between instructions.
    virtual const std::atomic<int>& serialPending() const;
    virtual std::optional<SerialPair> takeSerial() { return std::nullopt; }
    // Serves the request in CmdAdr..CmdAdr15 in pass `pass`; the loop clears CmdAdr afterwards.
    virtual void serveRequest(Mc8051Cpu&, std::uint64_t pass) {}
    // Sound progress and text-output flush. The loop calls afterChecks in every pass from
    // checksDueAt() on (asked again after each call and each request); kNever: not needed.
    virtual std::uint64_t checksDueAt() const { return kNever; }
    virtual void afterChecks(Mc8051Cpu&, std::uint64_t pass) {}
    // Called by Mc8051Runner::stop right after it sets the stop request, so a service that
    // waits (the refresh) lets go at once.
    virtual void onStopRequested() {}
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
    // Passes the thread's way (runs of instructions that need no check go back to back)
    // until `passes` have run or a stop is requested; returns the number run.
    std::uint64_t runPasses(std::uint64_t passes);

    // Instructions after which the loop rests: by default it sleeps a millisecond. A
    // benchmark puts its own rest here to tell the rest's CPU time from the instructions'.
    static constexpr std::uint32_t kYieldEvery = 65537;
    using Rest = void (*)();
    static void sleepOneMillisecond();
    void setRest(Rest rest) { rest_ = rest; }

private:
    void threadMain();
    // Steps 2 to 6 of a pass: request, timer-0 and serial interrupts, services' checks.
    void beforeInstruction();
    void afterInstructions(std::uint32_t count);

    Mc8051Cpu& cpu_;
    Mc8051Services& services_;
    std::atomic<int>* timer0Pending_;
    std::atomic<int> noTicks_{0};
    Mc8051Watch watch_;
    std::uint64_t pass_ = 0;
    std::uint32_t sinceYield_ = 0;
    Rest rest_ = &sleepOneMillisecond;
    std::thread thread_;
};

} // namespace qv::sim
