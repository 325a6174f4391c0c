// A run of many instructions keeps A, SP, the flags and the register bank in locals and puts PSW
// together only when something reads it; single steps load and store them around every
// instruction. Both ways must end in the same state.
#include <gtest/gtest.h>

#include <ostream>
#include <random>
#include <vector>

#include "tests/sim/mc8051_fixture.h"

namespace qv::sim::test {
namespace {

const std::atomic<int> kQuiet{0};
const Mc8051Watch kQuietWatch{&kQuiet, &kQuiet, &kQuiet};

// Runs `count` instructions in as few runs as the loop allows.
void runInstructions(Mc8051Cpu& cpu, std::uint32_t count)
{
    for (std::uint32_t done = 0; done < count;)
        done += cpu.runFor(count - done, kQuietWatch);
}

void expectSameState(const CpuFixture& stepped, const CpuFixture& run)
{
    EXPECT_EQ(stepped.cpu.pc, run.cpu.pc);
    EXPECT_EQ(stepped.cpu.psw(), run.cpu.psw());
    EXPECT_EQ(stepped.cpu.inInterrupt, run.cpu.inInterrupt);
    for (int address = 0; address < 256; ++address) {
        if (stepped.cpu.ram(static_cast<std::uint8_t>(address)) != run.cpu.ram(static_cast<std::uint8_t>(address))) {
            ADD_FAILURE() << "internal RAM 0x" << std::hex << address << ": stepped "
                          << int(stepped.cpu.ram(static_cast<std::uint8_t>(address))) << ", run "
                          << int(run.cpu.ram(static_cast<std::uint8_t>(address)));
            return;
        }
    }
    EXPECT_EQ(stepped.bank->snapshot(), run.bank->snapshot());
}

struct RunCase {
    const char* name;
    std::vector<std::uint8_t> code;
    int instructions;
    std::uint8_t wantPsw;
    std::vector<std::pair<std::uint8_t, std::uint8_t>> want; // (address, byte) after the run
};

void PrintTo(const RunCase& c, std::ostream* out) { *out << c.name; }

class RunAndStepTest : public ::testing::TestWithParam<RunCase> {};

TEST_P(RunAndStepTest, EndInTheSameState)
{
    const RunCase& c = GetParam();
    CpuFixture stepped;
    CpuFixture run;
    stepped.load(c.code);
    run.load(c.code);
    stepped.steps(c.instructions);
    EXPECT_EQ(run.cpu.runFor(static_cast<std::uint32_t>(c.instructions), kQuietWatch),
              static_cast<std::uint32_t>(c.instructions));
    expectSameState(stepped, run);
    EXPECT_EQ(run.cpu.psw(), c.wantPsw);
    for (const auto& [address, byte] : c.want)
        EXPECT_EQ(run.cpu.ram(address), byte) << "internal RAM 0x" << std::hex << int(address);
}

INSTANTIATE_TEST_SUITE_P(
    Programs, RunAndStepTest,
    ::testing::Values(
        // MOV A,#0x7F; ADD A,#1 (AC, OV); PUSH PSW; MOV 0x40,PSW; ADDC A,#0x80 (CY); MOV 0x41,PSW
        RunCase{"FlagsReadByPushAndMove",
                {0x74, 0x7F, 0x24, 0x01, 0xC0, 0xD0, 0x85, 0xD0, 0x40, 0x34, 0x80, 0x85, 0xD0, 0x41},
                6, 0x84, {{0x08, 0x45}, {0x40, 0x45}, {0x41, 0x84}, {sfr::ACC, 0x00}}},
        // MOV PSW,#0x18; MOV R0,#5; MOV PSW,#0x08; MOV R0,#6; CLR 0xD3 (RS0); SETB 0xD4 (RS1);
        // MOV R1,#7; POP PSW (bank 0 again, from byte 7); MOV R2,#8
        RunCase{"BankSwitchedByMovesBitsAndPop",
                {0x75, 0xD0, 0x18, 0x78, 0x05, 0x75, 0xD0, 0x08, 0x78, 0x06, 0xC2, 0xD3, 0xD2, 0xD4, 0x79,
                 0x07, 0xD0, 0xD0, 0x7A, 0x08},
                9, 0x00, {{0x02, 0x08}, {0x08, 0x06}, {0x11, 0x07}, {0x18, 0x05}, {sfr::SP, 0x06}}},
        // SETB C; CPL 0xD7; JC +0; SETB 0xD7; MOV C,0xD7; MOV 0x20.0,C; ORL PSW,#0x44 (AC, OV);
        // MOV 0x42,PSW; ANL PSW,#0x7F; JNC +0; MOV 0x43,PSW
        RunCase{"CarryAsABitAndThroughPsw",
                {0xD3, 0xB2, 0xD7, 0x40, 0x00, 0xD2, 0xD7, 0xA2, 0xD7, 0x92, 0x00, 0x43, 0xD0, 0x44, 0x85,
                 0xD0, 0x42, 0x53, 0xD0, 0x7F, 0x50, 0x00, 0x85, 0xD0, 0x43},
                11, 0x44, {{0x20, 0x01}, {0x42, 0xC4}, {0x43, 0x44}}},
        // MOV R0,#0xE0; MOV @R0,#0x55 (A); INC 0xE0; XCH A,0xE0; PUSH ACC; POP 0x44; SETB 0xE7;
        // JB 0xE7,+0; XCHD A,@R0; MOV 0x45,A; MOV A,@R0; MOV 0x46,A
        RunCase{"AccThroughDirectIndirectAndBits",
                {0x78, 0xE0, 0x76, 0x55, 0x05, 0xE0, 0xC5, 0xE0, 0xC0, 0xE0, 0xD0, 0x44, 0xD2, 0xE7, 0x20,
                 0xE7, 0x00, 0xD6, 0xF5, 0x45, 0xE6, 0xF5, 0x46},
                12, 0x01, {{0x08, 0x56}, {0x44, 0x56}, {0x45, 0xD6}, {0x46, 0xD6}, {sfr::ACC, 0xD6}}},
        // MOV A,#0x19; ADD A,#0x28; DA A (needs AC from the ADD); MOV 0x47,A; CLR C;
        // SUBB A,#0x48 (borrow); MOV 0x48,PSW; MUL AB; DIV AB (B = 0: OV); MOV 0x49,PSW
        RunCase{"DecimalAdjustSubtractMultiplyDivide",
                {0x74, 0x19, 0x24, 0x28, 0xD4, 0xF5, 0x47, 0xC3, 0x94, 0x48, 0x85, 0xD0, 0x48, 0xA4, 0x84,
                 0x85, 0xD0, 0x49},
                10, 0x44, {{0x47, 0x47}, {0x48, 0xC0}, {0x49, 0x44}}},
        // MOV R0,#0xD0; MOV A,#0x81; MOV @R0,A (PSW from A: CY, P); RRC A; MOV R1,#0xD0;
        // MOV A,@R1; MOV 0x4A,A; MOV SP,#0xCF; PUSH 0x4A (onto PSW's byte); MOV 0x4B,PSW
        RunCase{"PswWrittenIndirectlyAndByThePush",
                {0x78, 0xD0, 0x74, 0x81, 0xF6, 0x13, 0x79, 0xD0, 0xE7, 0xF5, 0x4A, 0x75, 0x81, 0xCF, 0xC0,
                 0x4A, 0x85, 0xD0, 0x4B},
                10, 0x81, {{0x4A, 0x80}, {0x4B, 0x81}, {sfr::SP, 0xD0}, {sfr::ACC, 0x80}}},
        // MOV DPTR,#0x1234; MOV A,#0x5A; MOVX @DPTR,A; INC DPTR; LCALL 0x0020 (ACC pushed, DPL
        // to A, RET); MOVX @DPTR,A; CJNE A,#0x36,+0 (CY); MOV 0x4C,PSW
        RunCase{"CallsAndExternalData",
                {0x90, 0x12, 0x34, 0x74, 0x5A, 0xF0, 0xA3, 0x12, 0x00, 0x20, 0xF0, 0xB4, 0x36, 0x00, 0x85,
                 0xD0, 0x4C, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                 0x00, 0x00, 0xC0, 0xE0, 0xE5, 0x82, 0xD0, 0x4D, 0x22},
                12, 0x80, {{0x4C, 0x80}, {0x4D, 0x5A}, {sfr::ACC, 0x35}, {sfr::SP, 0x07}}},
        // MOV SP,#0x30; MOV A,#0x66; PUSH ACC; MOV 0x50,SP; MOV R0,#0x81; MOV A,@R0; INC SP;
        // POP 0x51; PUSH SP; MOV 0x52,SP; ACALL 0x0018; MOV 0x53,SP; MOV @R0,#0x60 (SP); RET
        RunCase{"StackPointerMovedAndReadMidRun",
                {0x75, 0x81, 0x30, 0x74, 0x66, 0xC0, 0xE0, 0x85, 0x81, 0x50, 0x78, 0x81, 0xE6, 0x05, 0x81,
                 0xD0, 0x51, 0xC0, 0x81, 0x85, 0x81, 0x52, 0x11, 0x18, 0x85, 0x81, 0x53, 0x76, 0x60, 0x22},
                14, 0x01,
                {{0x31, 0x66}, {0x32, 0x32}, {0x33, 0x18}, {0x50, 0x31}, {0x51, 0x00}, {0x52, 0x32}, {0x53, 0x34},
                 {sfr::SP, 0x5E}, {sfr::ACC, 0x31}}}),
    [](const ::testing::TestParamInfo<RunCase>& info) { return std::string(info.param.name); });

// Programs of random bytes from random RAM: every opcode, every operand form, registers hit
// by accident (CmdAdr and IE among them). A request written ends a run early, so the run
// side may take several runs for the same instructions.
TEST(Mc8051Run, RandomProgramsEndAsSingleSteps)
{
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        CodeImage image;
        for (auto& byte : image)
            byte = static_cast<std::uint8_t>(random());
        CpuFixture stepped;
        CpuFixture run;
        stepped.cpu.loadCode(image);
        run.cpu.loadCode(image);
        for (int address = 0; address < 256; ++address) {
            const auto value = static_cast<std::uint8_t>(random());
            stepped.cpu.setRam(static_cast<std::uint8_t>(address), value);
            run.cpu.setRam(static_cast<std::uint8_t>(address), value);
        }
        // No request waiting at the start, or every run would be one instruction long.
        stepped.cpu.setRam(sfr::CmdAdr, 0);
        run.cpu.setRam(sfr::CmdAdr, 0);
        stepped.cpu.pc = run.cpu.pc = static_cast<std::uint16_t>(random());
        stepped.steps(3000);
        runInstructions(run.cpu, 3000);
        expectSameState(stepped, run);
        if (HasFailure())
            return;
    }
}

TEST(Mc8051Run, ARequestEndsTheRunAfterTheInstructionThatWroteIt)
{
    CpuFixture f;
    // MOV R0,#0xC0; MOV A,#9; MOV @R0,A (CmdAdr = 9); INC A
    f.load({0x78, 0xC0, 0x74, 0x09, 0xF6, 0x04});
    EXPECT_EQ(f.cpu.runFor(100, kQuietWatch), 3u);
    EXPECT_EQ(f.cpu.ram(sfr::CmdAdr), 9);
    EXPECT_EQ(f.cpu.pc, 5);
    // A request still waiting (as in a handler) lets one instruction run at a time.
    EXPECT_EQ(f.cpu.runFor(100, kQuietWatch), 1u);
    EXPECT_EQ(f.cpu.acc(), 10);
}

} // namespace
} // namespace qv::sim::test
