#pragma once
// The bytes received on the project's two serial ports, kept as (port tag, byte) pairs for the
// user's 8051 program, which takes them one by one as serial interrupts. The ports' monitor
// threads push, the emulator thread takes: one lock guards the pairs, and the pending count is
// an atomic the emulator's loop watches between instructions without taking the lock.
#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>

#include "sim/mc8051/mc8051_runner.h"

namespace qv::sim {

class SerialRxRing {
public:
    using Pair = Mc8051Services::SerialPair;
    static constexpr int kCapacity = 30000; // pairs

    // Stores a pair; with kCapacity pairs waiting the oldest is dropped first.
    void push(std::uint8_t port, std::uint8_t byte);
    // The oldest waiting pair, taken out; nullopt when none waits.
    std::optional<Pair> take();
    // Forgets every waiting pair (the start of a run).
    void clear();

    const std::atomic<int>& pending() const { return pending_; }

private:
    std::mutex lock_;
    std::array<Pair, kCapacity> pairs_{};
    int read_ = 0;  // index of the oldest pair
    int write_ = 0; // index the next pair goes to
    std::atomic<int> pending_{0};
};

} // namespace qv::sim
