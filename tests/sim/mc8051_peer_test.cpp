// The emulator core against an independent 8051 simulator (s51 from sdcc's ucsim): the same
// sdcc-built programs run to their final endless loop in both, then internal RAM 0x00..0x7F, A,
// B, PSW, SP, DPTR and the external data each program writes must agree byte for byte.
// The programs keep to what the core and a plain 8051 share: 128 bytes of internal RAM (the
// core's upper half is the register bytes) and no paged MOVX (the core has no page register).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "compiler/hex/intel_hex.h"
#include "platform/files/atomic_file.h"
#include "tests/fixtures/temp_dir.h"
#include "tests/sim/mc8051_fixture.h"
#include "tests/sim/mc8051_peer_programs.h"
#include "tests/sim/sdcc_program.h"

namespace qv::sim::test {
namespace {

constexpr long kInstructionLimit = 50'000'000;

// What both simulators are compared on.
struct MachineState {
    std::array<std::uint8_t, 0x80> iram{};
    std::uint8_t a = 0, b = 0, psw = 0, sp = 0, dpl = 0, dph = 0;
    std::vector<std::uint8_t> xdata;
};

bool haveTool(const char* name)
{
    return std::system(("command -v " + std::string(name) + " > /dev/null 2>&1").c_str()) == 0;
}

// `SJMP $`: the endless loop every program ends in.
bool atHalt(const Mc8051Cpu& cpu)
{
    return cpu.codeByte(cpu.pc) == 0x80 && cpu.codeByte(static_cast<std::uint16_t>(cpu.pc + 1)) == 0xFE;
}

// Runs `image` on the core until it halts; the halt address, or -1 past the limit.
long runCore(const CodeImage& image, const PeerProgram& program, MachineState& state)
{
    CpuFixture f;
    f.cpu.loadCode(image);
    f.cpu.resetForRun();
    static const std::atomic<int> quiet{0};
    const Mc8051Watch watch{&quiet, &quiet, &quiet};
    long run = 0;
    while (!atHalt(f.cpu) && run < kInstructionLimit)
        run += f.cpu.runFor(4096, watch);
    if (!atHalt(f.cpu))
        return -1;
    for (int i = 0; i < 0x80; ++i)
        state.iram[i] = f.cpu.ram(static_cast<std::uint8_t>(i));
    state.a = f.cpu.acc();
    state.b = f.cpu.ram(sfr::B);
    state.psw = f.cpu.psw();
    state.sp = f.cpu.ram(sfr::SP);
    state.dpl = f.cpu.ram(sfr::DPL);
    state.dph = f.cpu.ram(sfr::DPH);
    for (unsigned at = program.xdataFrom; at < program.xdataTo; ++at)
        state.xdata.push_back(f.bank->byteAt(static_cast<std::uint16_t>(at)));
    return f.cpu.pc;
}

// The Intel HEX blocks s51's "dump /i" printed, in order, each read into its own image.
std::vector<std::unique_ptr<CodeImage>> hexDumps(const std::string& output)
{
    std::vector<std::unique_ptr<CodeImage>> dumps;
    std::istringstream lines(output);
    std::string line, block;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] != ':')
            continue;
        block += line + "\n";
        if (line.rfind(":00000001FF", 0) == 0) {
            auto image = std::make_unique<CodeImage>();
            if (hex::ReadIntelHex(block, *image) < 0)
                return {};
            dumps.push_back(std::move(image));
            block.clear();
        }
    }
    return dumps;
}

// Runs the program in s51 from reset to a breakpoint at `halt` and reads the same state back.
// External data starts zeroed, as the core's bank does (s51 fills it with noise).
void runPeer(const std::string& hexText, const PeerProgram& program, long halt, MachineState& state)
{
    qv::test::TempDir dir;
    std::ofstream(dir / "prog.ihx") << hexText;
    char commands[256];
    std::snprintf(commands, sizeof commands,
                  "fill xram 0 0xffff 0\nbreak 0x%04lx\nrun\ndump /i iram 0 0x7f\ndump /i sfr 0x80 0xff\n"
                  "dump /i xram 0x%04x 0x%04x\nquit\n",
                  halt, program.xdataFrom, program.xdataTo - 1);
    std::ofstream(dir / "commands") << commands;
    // The time-out only ends a peer that never reaches the breakpoint.
    const std::string command = "cd '" + dir.path().string() +
                                "' && timeout 30 s51 -t 8051 -b -q prog.ihx < commands > output 2>&1";
    std::system(command.c_str());
    std::string output;
    ASSERT_TRUE(readWholeFile(dir / "output", output));
    char stop[64];
    std::snprintf(stop, sizeof stop, "Stop at 0x%06lx: (104) Breakpoint", halt);
    ASSERT_NE(output.find(stop), std::string::npos) << "s51 did not halt where the core did\n" << output;
    const auto dumps = hexDumps(output);
    ASSERT_EQ(dumps.size(), 3u) << output;
    const CodeImage& iram = *dumps[0];
    const CodeImage& sfrs = *dumps[1];
    const CodeImage& xram = *dumps[2];
    std::copy_n(iram.begin(), 0x80, state.iram.begin());
    state.a = sfrs[sfr::ACC];
    state.b = sfrs[sfr::B];
    state.psw = sfrs[sfr::PSW];
    state.sp = sfrs[sfr::SP];
    state.dpl = sfrs[sfr::DPL];
    state.dph = sfrs[sfr::DPH];
    state.xdata.assign(xram.begin() + program.xdataFrom, xram.begin() + program.xdataTo);
}

std::string hexByte(unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

class Mc8051Peer : public testing::TestWithParam<PeerProgram> {
protected:
    void SetUp() override
    {
        if (!haveTool("sdcc") || !haveTool("s51"))
            GTEST_SKIP() << "sdcc and s51 (Debian packages sdcc, sdcc-ucsim) are needed to compare with the peer";
    }
};

TEST_P(Mc8051Peer, EndsInTheSameStateAsS51)
{
    const PeerProgram& program = GetParam();
    std::string hexText;
    ASSERT_NO_FATAL_FAILURE(compileToIntelHex(program.source, hexText));
    auto image = std::make_unique<CodeImage>();
    ASSERT_GE(hex::ReadIntelHex(hexText, *image), 4);

    MachineState ours, peer;
    const long halt = runCore(*image, program, ours);
    ASSERT_GE(halt, 0) << "the core did not reach an endless loop";
    ASSERT_NO_FATAL_FAILURE(runPeer(hexText, program, halt, peer));

    for (int i = 0; i < 0x80; ++i)
        EXPECT_EQ(hexByte(ours.iram[i]), hexByte(peer.iram[i])) << "internal RAM " << hexByte(i);
    EXPECT_EQ(hexByte(ours.a), hexByte(peer.a)) << "A";
    EXPECT_EQ(hexByte(ours.b), hexByte(peer.b)) << "B";
    EXPECT_EQ(hexByte(ours.psw), hexByte(peer.psw)) << "PSW";
    EXPECT_EQ(hexByte(ours.sp), hexByte(peer.sp)) << "SP";
    EXPECT_EQ(hexByte(ours.dpl), hexByte(peer.dpl)) << "DPL";
    EXPECT_EQ(hexByte(ours.dph), hexByte(peer.dph)) << "DPH";
    ASSERT_EQ(ours.xdata.size(), peer.xdata.size());
    int differing = 0;
    for (std::size_t i = 0; i < ours.xdata.size() && differing < 16; ++i) {
        if (ours.xdata[i] != peer.xdata[i]) {
            ++differing;
            ADD_FAILURE() << "external data " << hexByte(program.xdataFrom + static_cast<unsigned>(i)) << ": core "
                          << hexByte(ours.xdata[i]) << ", s51 " << hexByte(peer.xdata[i]);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Programs, Mc8051Peer, testing::ValuesIn(kPeerPrograms),
                         [](const testing::TestParamInfo<PeerProgram>& info) { return std::string(info.param.name); });

} // namespace
} // namespace qv::sim::test
