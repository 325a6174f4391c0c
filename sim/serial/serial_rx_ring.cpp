#include "sim/serial/serial_rx_ring.h"

namespace qv::sim {
namespace {

int advance(int index) { return index + 1 == SerialRxRing::kCapacity ? 0 : index + 1; }

} // namespace

void SerialRxRing::push(std::uint8_t port, std::uint8_t byte)
{
    std::lock_guard guard(lock_);
    int count = pending_.load(std::memory_order_relaxed);
    if (count == kCapacity) {
        read_ = advance(read_);
        --count;
    }
    pairs_[static_cast<std::size_t>(write_)] = Pair{port, byte};
    write_ = advance(write_);
    pending_.store(count + 1);
}

std::optional<SerialRxRing::Pair> SerialRxRing::take()
{
    std::lock_guard guard(lock_);
    const int count = pending_.load(std::memory_order_relaxed);
    if (count == 0)
        return std::nullopt;
    const Pair pair = pairs_[static_cast<std::size_t>(read_)];
    read_ = advance(read_);
    pending_.store(count - 1);
    return pair;
}

void SerialRxRing::clear()
{
    std::lock_guard guard(lock_);
    read_ = write_ = 0;
    pending_.store(0);
}

} // namespace qv::sim
