// Calendar arithmetic of the panel clock and its offset to the PC's clock.
#include "model/vars/panel_clock.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(PanelClock, CalendarFieldsRoundTrip)
{
    const struct {
        std::int64_t seconds;
        PanelTime time;
    } cases[] = {
        {0, {1970, 1, 1, 0, 0, 0, 4}},
        {1325419200, {2012, 1, 1, 12, 0, 0, 0}},
        {951782400, {2000, 2, 29, 0, 0, 0, 2}},
        {4107542399, {2100, 2, 28, 23, 59, 59, 0}},
        {-1, {1969, 12, 31, 23, 59, 59, 3}},
        {253402300799, {9999, 12, 31, 23, 59, 59, 5}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(panelTimeFromSeconds(c.seconds), c.time) << c.seconds;
        EXPECT_EQ(secondsFromPanelTime(c.time), c.seconds) << c.seconds;
    }
}

TEST(PanelClock, FieldsThatNameNoMomentAreRefused)
{
    const PanelTime bad[] = {
        {2013, 13, 1, 0, 0, 0}, {2013, 0, 1, 0, 0, 0}, {2013, 2, 29, 0, 0, 0}, {2100, 2, 29, 0, 0, 0},
        {2013, 4, 31, 0, 0, 0}, {2013, 1, 0, 0, 0, 0}, {2013, 1, 1, 24, 0, 0}, {2013, 1, 1, 0, 60, 0},
        {2013, 1, 1, 0, 0, 60}, {1600, 1, 1, 0, 0, 0}, {65535, 1, 1, 0, 0, 0}, {2013, 1, 1, -1, 0, 0},
    };
    for (const PanelTime& t : bad)
        EXPECT_FALSE(secondsFromPanelTime(t).has_value()) << t.year << "-" << t.month << "-" << t.day << " " << t.hour;
}

class SteppingClock : public WallClock {
public:
    std::int64_t localSeconds() const override { return now; }
    std::int64_t now = 0;
};

TEST(PanelClock, SettingKeepsAnOffsetToThePcClock)
{
    SteppingClock pc;
    pc.now = 1700000000;
    PanelClock clock(pc);
    EXPECT_EQ(clock.offsetSeconds(), 0);
    ASSERT_TRUE(clock.set({2020, 6, 15, 8, 30, 0}));
    EXPECT_EQ(clock.now(), (PanelTime{2020, 6, 15, 8, 30, 0, 1}));
    pc.now += 3600;
    EXPECT_EQ(clock.now().hour, 9);
    EXPECT_FALSE(clock.set({2020, 2, 30, 0, 0, 0}));
    EXPECT_EQ(clock.now().hour, 9);
    clock.reset();
    EXPECT_EQ(clock.now(), panelTimeFromSeconds(pc.now));
}

} // namespace
} // namespace qv
