// The serial receive ring: order, the drop of the oldest pair when full, wrapping, and two
// producer threads against one consumer.
#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "sim/serial/serial_rx_ring.h"

namespace qv::sim::test {
namespace {

TEST(SerialRxRing, PairsComeOutInOrderAndTheCountFollows)
{
    auto ring = std::make_unique<SerialRxRing>();
    EXPECT_FALSE(ring->take());
    ring->push(1, 0x10);
    ring->push(2, 0x20);
    EXPECT_EQ(ring->pending().load(), 2);
    const auto first = ring->take();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->port, 1);
    EXPECT_EQ(first->byte, 0x10);
    EXPECT_EQ(ring->take()->byte, 0x20);
    EXPECT_EQ(ring->pending().load(), 0);
    ring->push(1, 0x30);
    ring->clear();
    EXPECT_EQ(ring->pending().load(), 0);
    EXPECT_FALSE(ring->take());
}

TEST(SerialRxRing, FullRingDropsTheOldestAndWraps)
{
    auto ring = std::make_unique<SerialRxRing>();
    const int extra = 5;
    for (int i = 0; i < SerialRxRing::kCapacity + extra; ++i)
        ring->push(static_cast<std::uint8_t>(1 + (i & 1)), static_cast<std::uint8_t>(i));
    EXPECT_EQ(ring->pending().load(), SerialRxRing::kCapacity);
    // The first `extra` pairs are gone; the rest come out in order across the wrap.
    for (int i = extra; i < SerialRxRing::kCapacity + extra; ++i) {
        const auto pair = ring->take();
        ASSERT_TRUE(pair);
        ASSERT_EQ(pair->byte, static_cast<std::uint8_t>(i));
        ASSERT_EQ(pair->port, 1 + (i & 1));
    }
    EXPECT_FALSE(ring->take());
}

TEST(SerialRxRing, TwoPortsPushWhileOneThreadTakes)
{
    auto ring = std::make_unique<SerialRxRing>();
    constexpr int kEach = 5000;
    auto producer = [&](std::uint8_t port) {
        for (int i = 0; i < kEach; ++i)
            ring->push(port, static_cast<std::uint8_t>(i));
    };
    std::thread one(producer, 1);
    std::thread two(producer, 2);
    std::vector<int> next(3, 0);
    int taken = 0;
    while (taken < 2 * kEach) {
        if (const auto pair = ring->take()) {
            // Each port's bytes stay in their order.
            ASSERT_EQ(pair->byte, static_cast<std::uint8_t>(next[pair->port]++));
            ++taken;
        } else {
            std::this_thread::yield();
        }
    }
    one.join();
    two.join();
    EXPECT_EQ(ring->pending().load(), 0);
}

} // namespace
} // namespace qv::sim::test
