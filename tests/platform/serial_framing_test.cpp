#include "platform/serial/serial_framing.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(SerialFraming, StoredIndicesGiveTheFramingAndUnknownIndicesKeepThePreset)
{
    struct Case {
        int data, parity, stop;
        char wantParity;
        int wantData, wantStop;
    };
    const Case cases[] = {
        {0, 0, 0, 'N', 8, 1}, {1, 2, 1, 'E', 7, 2}, {0, 1, 0, 'O', 8, 1}, {3, 0, 0, 'N', 5, 1},
        {2, 0, 0, 'N', 6, 1},
        {4, 3, 2, 'S', 6, 2},    // all out of range: the preset stands
        {-1, -1, -1, 'S', 6, 2},
    };
    const SerialFrame preset{'S', 6, 2};
    for (const Case& c : cases) {
        const SerialFrame f = SerialFraming(c.data, c.parity, c.stop, preset);
        EXPECT_EQ(f.parity, c.wantParity) << c.data << c.parity << c.stop;
        EXPECT_EQ(f.dataBits, c.wantData) << c.data << c.parity << c.stop;
        EXPECT_EQ(f.stopBits, c.wantStop) << c.data << c.parity << c.stop;
    }
}

} // namespace
} // namespace qv
