// Instruction results and flags, by hand-assembled programs.
#include <gtest/gtest.h>

#include <vector>

#include "sim/mc8051/mc8051_opcodes.h"
#include "tests/sim/mc8051_fixture.h"

namespace qv::sim::test {
namespace {

using pswbit::AC;
using pswbit::CY;
using pswbit::OV;
using pswbit::P;

struct ArithCase {
    const char* name;
    std::vector<std::uint8_t> code;
    int instructions;
    std::uint8_t a, b, pswIn;
    std::uint8_t wantA, wantB;
    std::uint8_t wantFlags; // CY, AC, OV and P, compared as a whole
};

class ArithmeticTest : public ::testing::TestWithParam<ArithCase> {};

TEST_P(ArithmeticTest, ResultAndFlags)
{
    const ArithCase& c = GetParam();
    CpuFixture f;
    f.load(c.code);
    f.cpu.setAcc(c.a);
    f.cpu.setRam(sfr::B, c.b);
    f.cpu.setRam(sfr::PSW, c.pswIn);
    f.steps(c.instructions);
    EXPECT_EQ(f.cpu.acc(), c.wantA);
    EXPECT_EQ(f.cpu.ram(sfr::B), c.wantB);
    EXPECT_EQ(f.cpu.psw() & (CY | AC | OV | P), c.wantFlags)
        << "psw " << std::hex << int(f.cpu.psw());
}

INSTANTIATE_TEST_SUITE_P(
    Flags, ArithmeticTest,
    ::testing::Values(
        ArithCase{"AddSignedOverflowToZero", {0x24, 0x80}, 1, 0x80, 0, 0, 0x00, 0, CY | OV},
        ArithCase{"AddHalfCarry", {0x24, 0x0F}, 1, 0x01, 0, 0, 0x10, 0, AC | P},
        ArithCase{"AddcCarryInOverflow", {0x34, 0x00}, 1, 0x7F, 0, CY, 0x80, 0, AC | OV | P},
        ArithCase{"AddRegisterR3", {0x7B, 0x05, 0x2B}, 2, 0xFE, 0, 0, 0x03, 0, CY | AC},
        ArithCase{"SubbBorrowThroughZero", {0x94, 0x01}, 1, 0x00, 0, CY, 0xFE, 0, CY | AC | P},
        ArithCase{"SubbSignedOverflow", {0x94, 0x01}, 1, 0x80, 0, 0, 0x7F, 0, AC | OV | P},
        ArithCase{"SubbEqualClearsAll", {0x94, 0x42}, 1, 0x42, 0, AC | OV, 0x00, 0, 0},
        ArithCase{"DaAfterBcdAdd", {0x24, 0x28, 0xD4}, 2, 0x19, 0, 0, 0x47, 0, AC},
        ArithCase{"DaHighNibbleSetsCarry", {0xD4}, 1, 0x9A, 0, 0, 0x00, 0, CY},
        ArithCase{"DaLowCorrectionCarriesOut", {0xD4}, 1, 0xFA, 0, 0, 0x60, 0, CY},
        ArithCase{"DaCarryInAdds60", {0xD4}, 1, 0x12, 0, CY, 0x72, 0, CY},
        ArithCase{"DivByZeroChangesNothingButFlags", {0x84}, 1, 0x12, 0x00, CY, 0x12, 0x00, OV},
        ArithCase{"DivQuotientRemainder", {0x84}, 1, 0xFB, 0x12, CY | OV, 0x0D, 0x11, P},
        ArithCase{"MulOverflowHighByteInB", {0xA4}, 1, 0x50, 0xA0, CY, 0x00, 0x32, OV},
        ArithCase{"MulSmall", {0xA4}, 1, 0x03, 0x04, OV, 0x0C, 0x00, 0},
        ArithCase{"RlcThroughCarry", {0x33}, 1, 0x80, 0, 0, 0x00, 0, CY},
        ArithCase{"RrcThroughCarry", {0x13}, 1, 0x01, 0, CY, 0x80, 0, CY | P},
        ArithCase{"CjneBelowSetsCarry", {0xB4, 0x10, 0x00}, 1, 0x05, 0, 0, 0x05, 0, CY},
        ArithCase{"ParityFollowsAcc", {0x74, 0x07}, 1, 0x00, 0, 0, 0x07, 0, P},
        ArithCase{"ParityWrittenIsCorrected", {0x75, 0xD0, 0x01}, 1, 0x03, 0, 0, 0x03, 0, 0},
        ArithCase{"SwapAndCpl", {0xC4, 0xF4}, 2, 0x1E, 0, 0, 0x1E, 0, 0},
        ArithCase{"IncAWrapsWithoutFlags", {0x04}, 1, 0xFF, 0, 0, 0x00, 0, 0}),
    [](const ::testing::TestParamInfo<ArithCase>& info) { return std::string(info.param.name); });

TEST(Mc8051Opcodes, EveryOpcodeHasAnEntryAndAPlausibleLength)
{
    const auto& table = opcodeTable();
    for (int op = 0; op < 256; ++op) {
        SCOPED_TRACE(op);
        EXPECT_STRNE(table[op].mnemonic, "");
        EXPECT_GE(table[op].length, 1);
        EXPECT_LE(table[op].length, 3);
        EXPECT_GE(table[op].cycles, 1);
    }
    // A few lengths that the operand rows must get right.
    EXPECT_EQ(table[0x04].length, 1); // INC A
    EXPECT_EQ(table[0x05].length, 2); // INC direct
    EXPECT_EQ(table[0x85].length, 3); // MOV direct,direct
    EXPECT_EQ(table[0x43].length, 3); // ORL direct,#data
    EXPECT_EQ(table[0xD8].length, 2); // DJNZ R0,rel
    EXPECT_EQ(table[0x84].cycles, 4);
}

// The loop that runs the instructions and the table that lists them agree on every
// instruction that does not jump: PC moves on by the table's length.
TEST(Mc8051Opcodes, ExecutionAdvancesPcByTheTableLength)
{
    const auto& table = opcodeTable();
    auto jumps = [](int op) {
        const int low = op & 0x1F;
        return low == 0x01 || low == 0x11 || op == 0x02 || op == 0x12 || op == 0x22 || op == 0x32 ||
               op == 0x73 || op == 0x80 || op == 0x40 || op == 0x50 || op == 0x60 || op == 0x70 ||
               op == 0x10 || op == 0x20 || op == 0x30 || (op >= 0xB4 && op <= 0xBF) || op == 0xD5 ||
               (op >= 0xD8 && op <= 0xDF);
    };
    for (int op = 0; op < 256; ++op) {
        if (jumps(op))
            continue;
        SCOPED_TRACE(op);
        CpuFixture f;
        // Operand bytes 0x30: a direct address in plain RAM, harmless as #data.
        f.load({static_cast<std::uint8_t>(op), 0x30, 0x30}, 0x0100);
        f.cpu.setRam(sfr::SP, 0x40);
        f.steps(1);
        EXPECT_EQ(f.cpu.pc, 0x0100 + table[op].length);
    }
}

struct StackCase {
    const char* name;
    std::vector<std::uint8_t> code;
    int instructions;
    std::uint8_t wantSp;
    std::uint8_t at;     // RAM byte to look at
    std::uint8_t wantAt; // its value
};

class StackTest : public ::testing::TestWithParam<StackCase> {};

TEST_P(StackTest, SpAndStoredByte)
{
    const StackCase& c = GetParam();
    CpuFixture f;
    f.load(c.code);
    f.steps(c.instructions);
    EXPECT_EQ(f.cpu.ram(sfr::SP), c.wantSp);
    EXPECT_EQ(f.cpu.ram(c.at), c.wantAt);
}

INSTANTIATE_TEST_SUITE_P(
    PushPop, StackTest,
    ::testing::Values(
        // SP moves first, then the operand is read: PUSH SP stores the new SP.
        StackCase{"PushSpStoresIncrementedSp", {0xC0, 0x81}, 1, 8, 8, 8},
        StackCase{"PushWrapsSpWithinRam", {0x75, 0x81, 0xFF, 0x74, 0x5A, 0xC0, 0xE0}, 3, 0x00, 0x00, 0x5A},
        // POP SP: the byte popped replaces SP after the decrement.
        StackCase{"PopSpTakesThePoppedByte", {0x75, 0x08, 0x33, 0x75, 0x81, 0x08, 0xD0, 0x81}, 3, 0x33, 0x08, 0x33},
        StackCase{"PushPswCarriesParity", {0x74, 0x01, 0xC0, 0xD0}, 2, 8, 8, 0x01}),
    [](const ::testing::TestParamInfo<StackCase>& info) { return std::string(info.param.name); });

TEST(Mc8051Memory, MovxThroughRegisterIgnoresDphAndMarksWrites)
{
    CpuFixture f;
    f.bank->writeByte(0x0040, 0x5A);
    f.bank->writeByte(0x1240, 0x11);
    // MOV DPTR,#0x1200; MOV R1,#0x40; MOVX A,@R1; INC A; MOVX @DPTR,A
    f.load({0x90, 0x12, 0x00, 0x79, 0x40, 0xE3, 0x04, 0xF0});
    f.steps(3);
    EXPECT_EQ(f.cpu.acc(), 0x5A);
    EXPECT_EQ(f.dirty.load(), 0);
    f.steps(2);
    EXPECT_EQ(f.bank->readByte(0x1200), 0x5B);
    EXPECT_EQ(f.dirty.load(), 1);
}

TEST(Mc8051Memory, IndirectAboveSevenFReachesSpecialRegisters)
{
    CpuFixture f;
    // MOV A,#0x3C; MOV 0x90,A; CLR A; MOV R0,#0x90; MOV A,@R0
    f.load({0x74, 0x3C, 0xF5, 0x90, 0xE4, 0x78, 0x90, 0xE6});
    f.steps(5);
    EXPECT_EQ(f.cpu.acc(), 0x3C);
}

TEST(Mc8051Memory, MovcRelativeToNextInstructionAndWrapping)
{
    CpuFixture f;
    f.load({0x74, 0x01, 0x83, 0xAA, 0xBB}, 0x00FE); // MOVC at 0x0100; next is 0x0101; +1 = 0x0102
    f.steps(2);
    EXPECT_EQ(f.cpu.acc(), 0xBB);

    CpuFixture g;
    g.load({0x90, 0xFF, 0xFF, 0x74, 0x02, 0x93}); // DPTR 0xFFFF + 2 wraps to code byte 1
    g.steps(3);
    EXPECT_EQ(g.cpu.acc(), 0xFF);
}

TEST(Mc8051Memory, BitAddressingOfRamAndRegisters)
{
    CpuFixture f;
    // SETB 0x0F (byte 0x21 bit 7); SETB 0xE1 (ACC bit 1); JBC 0x0F,+0; CPL C; MOV 0x22.0,C
    f.load({0xD2, 0x0F, 0xD2, 0xE1, 0x10, 0x0F, 0x00, 0xB3, 0x92, 0x10});
    f.steps(2);
    EXPECT_EQ(f.cpu.ram(0x21), 0x80);
    EXPECT_EQ(f.cpu.acc(), 0x02);
    f.steps(1);
    EXPECT_EQ(f.cpu.ram(0x21), 0x00) << "JBC clears the bit it jumps on";
    f.steps(2);
    EXPECT_EQ(f.cpu.ram(0x22), 0x01);
}

TEST(Mc8051Control, CallsPushLowByteFirstAndReturn)
{
    CpuFixture f;
    // 0x0000 LCALL 0x0123; 0x0003 SJMP $; 0x0123 ACALL 0x0200 (page 0x0000 + 0x200); at 0x0200 RET
    f.load({0x12, 0x01, 0x23, 0x80, 0xFE});
    CodeImage image;
    image.fill(0xFF);
    for (std::uint16_t i = 0; i < 5; ++i)
        image[i] = f.cpu.codeByte(i);
    image[0x0123] = 0x51; // ACALL page 2
    image[0x0124] = 0x00;
    image[0x0200] = 0x22;
    image[0x0125] = 0x22;
    f.cpu.loadCode(image);
    f.steps(1);
    EXPECT_EQ(f.cpu.pc, 0x0123);
    EXPECT_EQ(f.cpu.ram(sfr::SP), 9);
    EXPECT_EQ(f.cpu.ram(8), 0x03);
    EXPECT_EQ(f.cpu.ram(9), 0x00);
    f.steps(1);
    EXPECT_EQ(f.cpu.pc, 0x0200);
    EXPECT_EQ(f.cpu.ram(10), 0x25);
    f.steps(2);
    EXPECT_EQ(f.cpu.pc, 0x0003);
    EXPECT_EQ(f.cpu.ram(sfr::SP), 7);
}

TEST(Mc8051Control, LoopsAndMoves)
{
    CpuFixture f;
    // MOV R2,#5; CLR A; loop: ADD A,R2; DJNZ R2,loop; MOV 0x30,A; MOV 0x31,0x30; PUSH 0x31; POP 0x32
    f.load({0x7A, 0x05, 0xE4, 0x2A, 0xDA, 0xFD, 0xF5, 0x30, 0x85, 0x30, 0x31, 0xC0, 0x31, 0xD0, 0x32});
    f.steps(2 + 2 * 5 + 4);
    EXPECT_EQ(f.cpu.ram(0x32), 15);
    EXPECT_EQ(f.cpu.ram(sfr::SP), 7);
}

TEST(Mc8051Memory, PlainImageOverSixtyFourKiBIsRefused)
{
    CpuFixture f;
    std::vector<std::uint8_t> big(0x10001, 0x00);
    const std::vector<std::uint8_t> small{0x74, 0x42};
    ASSERT_TRUE(f.cpu.loadPlainImage(small));
    EXPECT_FALSE(f.cpu.loadPlainImage(big));
    EXPECT_EQ(f.cpu.codeByte(1), 0x42) << "a refused image leaves the code as it was";
    EXPECT_EQ(f.cpu.codeByte(2), 0xFF);
}

} // namespace
} // namespace qv::sim::test
