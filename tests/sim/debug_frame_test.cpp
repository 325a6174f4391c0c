#include "sim/serial_debug/debug_frame.h"

#include <gtest/gtest.h>

namespace qv::sim {
namespace {

TEST(DebugFrame, WriteAndReadOfOneVariable)
{
    struct Case { DebugCommand command; std::int32_t address; int type; std::int64_t value; std::string hex; };
    const Case cases[] = {
        {DebugCommand::Write, 0x10, 3, 300, "81 00 02 10 00 00 00 02 00 2C 01 C2 00 "},
        {DebugCommand::Read, 0x10, 3, 300, "81 01 02 10 00 00 00 02 00 96 00 "},
        {DebugCommand::Write, 0x1234, 0, -1, "81 00 02 34 12 00 00 01 00 FF C9 01 "},
        {DebugCommand::Write, 0xFFFC, 5, 0x7FFFFFFF, "81 00 02 FC FF 00 00 04 00 FF FF FF 7F FE 05 "},
        {DebugCommand::Write, 0x20, 9, 70000, "81 00 02 20 00 00 00 04 00 70 11 01 00 29 01 "},
    };
    for (const Case& c : cases) {
        const auto frame = BuildDebugFrame(c.command, 2, c.address, c.type, c.value);
        EXPECT_EQ(DebugHex(frame), c.hex) << c.address;
        EXPECT_EQ(frame.size(), c.command == DebugCommand::Write ? 11u + static_cast<std::size_t>(DebugValueLength(c.type)) : 11u);
    }
}

TEST(DebugFrame, ColourAsRgb565)
{
    struct Case { int r, g, b; std::uint16_t value; };
    for (const Case& c : {Case{255, 255, 255, 0xFFFF}, Case{0, 0, 0, 0}, Case{255, 0, 0, 0xF800}, Case{0, 255, 0, 0x07E0},
                          Case{0, 0, 255, 0x001F}, Case{7, 3, 7, 0}, Case{0x12, 0x34, 0x56, 0x11AA}})
        EXPECT_EQ(Rgb565Of(c.r, c.g, c.b), c.value) << c.r << "," << c.g << "," << c.b;
}

} // namespace
} // namespace qv::sim
