// Display instructions: their bytes and hex text, refused values, and what the panel sends back.
#include "picture_tool/instr/instruction.h"

#include <gtest/gtest.h>

namespace qv::picture_tool {
namespace {

TEST(Instruction, DefaultsGiveTheExactHexText)
{
    const std::vector<std::pair<int, std::string>> cases{
        {6, "8120" "00 00 00 00 00 00 " "84"},
        {7, "8121" "00 00 00 00 00 00 00 01 05 " "84"},
        {9, "8130" "FF FF FF 00 00 00 00 02 00 02 00 02 " "84"},
        {12, "8133" "00 FF 00 01 00 01 00 01 00 01 00 " "84"},
        {14, "8135" "FF 00 00 " "84"},
        {3, "8110" "FF FF FF 00 00 00 00 00 00 00 00 00 " "84"},
    };
    for (const auto& [entry, hex] : cases) {
        const auto b = buildInstruction(entry, defaultForm(entry));
        ASSERT_TRUE(b) << entry;
        EXPECT_EQ(instructionHex(*b), hex) << entry;
        EXPECT_EQ(hexTextToBytes(instructionHex(*b)), *b) << entry;
    }
}

TEST(Instruction, NumbersGoAsHundredsAndRest)
{
    InstructionForm f = defaultForm(6);
    f.values = {1, 2, 300};
    EXPECT_EQ(*buildInstruction(6, f), (std::vector<std::uint8_t>{0x81, 0x20, 0, 1, 0, 2, 3, 0, 0x84}));
}

TEST(Instruction, ValuesTheWireCannotCarryAreRefused)
{
    struct Case {
        const char* what;
        int entry;
        std::function<void(InstructionForm&)> change;
    };
    const std::vector<Case> cases{
        {"x of 25600", 6, [](InstructionForm& f) { f.values[0] = 25600; }},
        {"negative y", 6, [](InstructionForm& f) { f.values[1] = -1; }},
        {"value above 9999", 3, [](InstructionForm& f) { f.values[2] = 10000; }},
        {"colour above 255", 14, [](InstructionForm& f) { f.foreground.r = 256; }},
        {"text past the write buffer", 0, [](InstructionForm& f) { f.text.assign(600, 'a'); }},
    };
    for (const Case& c : cases) {
        InstructionForm f = defaultForm(c.entry);
        c.change(f);
        std::string why;
        EXPECT_FALSE(buildInstruction(c.entry, f, &why)) << c.what;
        EXPECT_FALSE(why.empty()) << c.what;
    }
}

TEST(HexText, StopsAtABreakAndSkipsSpacesBeforePairs)
{
    EXPECT_EQ(hexTextToBytes("81 2a  Fx 00"), (std::vector<std::uint8_t>{0x81, 0x2A}));
    EXPECT_EQ(hexTextToBytes("8184 5"), (std::vector<std::uint8_t>{0x81, 0x84}));
}

TEST(PanelReplies, TouchNeedsItsLeadByteAndSoundsPlayInAnyStep)
{
    PanelReplyReader r;
    for (std::uint8_t b : {1, 2, 3, 4})
        EXPECT_FALSE(r.feed(b).touch);
    EXPECT_FALSE(r.feed(0xF3).touch);
    EXPECT_FALSE(r.feed(1).touch);
    const auto sound = r.feed(0xB5); // a sound code inside a report still plays
    EXPECT_EQ(sound.sound, "GameOver.wav");
    r.feed(2);
    const auto e = r.feed(40);
    ASSERT_TRUE(e.touch);
    EXPECT_EQ(*e.touch, (std::pair<int, int>{100 + 0xB5, 2 * 100 + 40}));
}

TEST(PanelReplies, EverySoundCodePlaysInEveryStepOfAReport)
{
    const std::vector<std::pair<std::uint8_t, std::string>> sounds{
        {0xB0, "0.wav"}, {0xB1, "1.wav"},         {0xB2, "3.wav"},          {0xB3, "4.wav"},
        {0xB4, "2.wav"}, {0xB5, "GameOver.wav"}, {0xB6, "GameStart.wav"}, {0xBA, "碰撞.wav"}};
    const std::vector<std::uint8_t> report{0xF4, 1, 2, 3, 4};
    for (const auto& [code, file] : sounds) {
        for (std::size_t step = 0; step < report.size(); ++step) {
            SCOPED_TRACE(testing::Message() << std::hex << int(code) << " after " << step << " report bytes");
            PanelReplyReader r;
            for (std::size_t i = 0; i < step; ++i)
                EXPECT_FALSE(r.feed(report[i]).sound);
            const auto e = r.feed(code);
            EXPECT_EQ(e.sound, file);
            // Inside a report the code is also its next byte; before one it starts nothing.
            EXPECT_EQ(e.touch.has_value(), step == report.size() - 1);
        }
    }
    PanelReplyReader r;
    EXPECT_FALSE(r.feed(0xB7).sound);
    EXPECT_FALSE(r.feed(0xB9).sound);
}

} // namespace
} // namespace qv::picture_tool
