// The serial touch controller: packets, calibration and pen events from the touch block.
#include <gtest/gtest.h>

#include "model/document/touch_block.h"
#include "sim/runtime/touch_controller.h"

namespace qv::sim {
namespace {

std::vector<std::uint8_t> packet(std::uint8_t head, int rawX, int rawY)
{
    return {head, static_cast<std::uint8_t>(rawY >> 7), static_cast<std::uint8_t>(rawY & 0x7F),
            static_cast<std::uint8_t>(rawX >> 7), static_cast<std::uint8_t>(rawX & 0x7F)};
}

struct Touch {
    TouchCalibration block{};
    TouchController controller{block, 800, 600};
    int saves = 0;
    Touch() { controller.saveProject = [this] { ++saves; }; }
    std::vector<PenEvent> feed(const std::vector<std::uint8_t>& bytes)
    {
        std::vector<PenEvent> out;
        for (std::uint8_t b : bytes)
            if (auto e = controller.OnByte(b))
                out.push_back(*e);
        return out;
    }
    // The four targets at a tenth of the size, raw = 10 x panel + 100.
    void calibrate()
    {
        block[touch::kCalibrating] = 1;
        for (auto [x, y] : {std::pair{80, 60}, {720, 60}, {80, 540}, {720, 540}}) {
            feed(packet(0x81, 10 * x + 100, 10 * y + 100)); // pen down does not count
            feed(packet(0x80, 10 * x + 100, 10 * y + 100));
        }
    }
};

TEST(TouchController, NothingBeforeCalibration)
{
    Touch t;
    EXPECT_TRUE(t.feed(packet(0x81, 1000, 1000)).empty());
}

TEST(TouchController, FourPointCalibrationThenPenEvents)
{
    Touch t;
    t.calibrate();
    EXPECT_EQ(t.block[touch::kMarker], 0x88);
    EXPECT_EQ(t.block[touch::kCalibrating], 0);
    EXPECT_EQ(t.saves, 1);

    auto events = t.feed(packet(0x81, 10 * 400 + 100, 10 * 300 + 100));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_TRUE(events[0].down);
    EXPECT_NEAR(events[0].panel.x, 400, 1);
    EXPECT_NEAR(events[0].panel.y, 300, 1);
    events = t.feed(packet(0x80, 10 * 10 + 100, 10 * 20 + 100));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_FALSE(events[0].down);

    // A packet cut short by the next head is dropped; the next whole one counts.
    std::vector<std::uint8_t> cut = packet(0x81, 2000, 2000);
    cut.pop_back();
    auto whole = packet(0x81, 10 * 100 + 100, 10 * 100 + 100);
    cut.insert(cut.end(), whole.begin(), whole.end());
    events = t.feed(cut);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_NEAR(events[0].panel.x, 100, 1);
    // Stray data bytes between packets are dropped.
    EXPECT_TRUE(t.feed({0x10, 0x20, 0x85, 0x01}).empty());
}

TEST(TouchController, EqualPointsAreRefusedAndStartAgain)
{
    Touch t;
    t.block[touch::kCalibrating] = 1;
    for (int i = 0; i < 4; ++i)
        t.feed(packet(0x80, 500, 500));
    EXPECT_NE(t.block[touch::kMarker], 0x88);
    EXPECT_EQ(t.block[touch::kCalibrating], 1);
    EXPECT_EQ(t.block[touch::kStep], 0);
    EXPECT_EQ(t.saves, 0);
}

TEST(TouchController, WildStateFromAFileIsHarmless)
{
    Touch t;
    t.block[touch::kStep] = 200;
    t.block[touch::kPacketPos] = 250;
    t.block[touch::kMarker] = 0x88; // calibrated, with whatever scale the file holds
    t.block[touch::kScaleX + 3] = 0x7F; // a huge scale
    t.feed({0x05});
    const auto events = t.feed(packet(0x81, 16383, 16383));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(t.block[touch::kStep], 0);
}

} // namespace
} // namespace qv::sim
