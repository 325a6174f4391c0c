// The services of the user's 8051 program that reach the rest of the simulator: printed text
// to the ports, the refresh wait and its releases, timer 0's period, the saved variables
// across runs, and the seams of the PLC links.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "tests/sim/panel_services_fixture.h"

namespace qv::sim::test {
namespace {

std::string joined(const std::vector<std::vector<std::uint8_t>>& writes)
{
    std::string all;
    for (const auto& w : writes)
        all.append(w.begin(), w.end());
    return all;
}

TEST(PanelLinkServices, PrintedTextIsSentAfterThirtyQuietPassesOrWhenLong)
{
    PanelFixture f;
    ASSERT_NO_FATAL_FAILURE(f.load(R"(
void put(unsigned char port, unsigned char c) { CmdAdr1 = c; CALL(port == 1 ? 5 : 6); }
void main(void)
{
    const char *s = "hello";
    unsigned int i;
    while (*s) put(1, *s++);
    M8(0x2000) = 1;       /* the line is still waiting here */
    for (i = 0; i < 600; i++) M8(0x3000 + i) = '0' + i % 10;
    {
        /* a tight loop: far fewer than 30 passes between two appends */
        unsigned char __xdata *p = (unsigned char __xdata *)0x3000;
        while (p != (unsigned char __xdata *)(0x3000 + 600)) { CmdAdr1 = *p++; CmdAdr = 6; }
    }
    for (i = 0; i < 200; i++) M8(0x2001) = i;
    DONE();
}
)"));
    f.runner.resetForRun();
    while (f.live->byteAt(0x2000) != 1)
        ASSERT_TRUE(f.runner.runPass());
    EXPECT_TRUE(f.text.writes[0].empty()) << "sent only after 30 passes without an append";
    ASSERT_TRUE(f.runUntilDone());
    ASSERT_EQ(f.text.writes[0].size(), 1u);
    EXPECT_EQ(joined(f.text.writes[0]), "hello");
    // 600 bytes: one piece of 501 when the buffer passes 500, the rest after the quiet passes.
    ASSERT_EQ(f.text.writes[1].size(), 2u);
    EXPECT_EQ(f.text.writes[1][0].size(), 501u);
    std::string digits;
    for (int i = 0; i < 600; ++i)
        digits.push_back(static_cast<char>('0' + i % 10));
    EXPECT_EQ(joined(f.text.writes[1]), digits);
}

TEST(PanelLinkServices, RefreshWaitEndsWithThePaintTheStopOrNoView)
{
    const char* program = R"(
void main(void)
{
    CmdAdr1 = 0; CALL(1);
    M8(0x2000) = 1;
    CmdAdr1 = 1; CALL(1);
    M8(0x2001) = 1;
    DONE();
}
)";
    {
        // The view paints when asked: the program goes on after the paint.
        PanelFixture f;
        ASSERT_NO_FATAL_FAILURE(f.load(program));
        std::atomic<bool> quit{false};
        std::thread painter([&] {
            while (!quit) {
                if (f.view.paintRequests.load() > 0 && MC8051RepaintWait.load() != 0) {
                    f.gate.paintDone();
                    return;
                }
                std::this_thread::yield();
            }
        });
        ASSERT_TRUE(f.runner.start());
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (f.live->byteAt(kDoneAddress) != 0xA5 && std::chrono::steady_clock::now() < limit)
            std::this_thread::yield();
        quit = true;
        painter.join();
        f.runner.stop();
        EXPECT_EQ(f.live->byteAt(kDoneAddress), 0xA5);
        EXPECT_EQ(f.view.autoRefresh.load(), 1);
        EXPECT_EQ(f.view.paintRequests.load(), 1);
        EXPECT_EQ(MC8051RepaintWait.load(), 0);
    }
    {
        // A shown view that never paints: the stop request ends the wait.
        PanelFixture f;
        ASSERT_NO_FATAL_FAILURE(f.load(program));
        ASSERT_TRUE(f.runner.start());
        while (MC8051RepaintWait.load() == 0)
            std::this_thread::yield();
        f.runner.stop();
        EXPECT_EQ(MC8051Running.load(), 0);
        EXPECT_EQ(f.live->byteAt(0x2000), 1);
        EXPECT_EQ(f.live->byteAt(0x2001), 0) << "stopped inside the wait";
    }
    {
        // No run-mode view shown: nothing waits.
        PanelFixture f;
        f.view.shown = false;
        ASSERT_NO_FATAL_FAILURE(f.load(program));
        ASSERT_TRUE(f.runUntilDone());
        EXPECT_EQ(f.view.paintRequests.load(), 1);
    }
}

TEST(PanelLinkServices, TimerPeriodGoesToTheViewAndClearsCountedTicks)
{
    PanelFixture f;
    ASSERT_NO_FATAL_FAILURE(f.load(R"(
void main(void)
{
    while (M8(0x2000) == 0) {}
    P1(250); CALL(3);
    DONE();
}
)"));
    f.runner.resetForRun();
    f.runner.runPasses(100);
    f.timer0 = 4; // IE is 0: the ticks are only counted
    f.live->setByteAt(0x2000, 1);
    ASSERT_TRUE(f.runUntilDone());
    EXPECT_EQ(f.view.period.load(), 250);
    EXPECT_EQ(f.timer0.load(), 0);
}

TEST(PanelLinkServices, SavedRangeIsBackAfterARestart)
{
    const char* program = R"(
void main(void)
{
    unsigned char i;
    if (M8(0x2100) == 0) {
        for (i = 0; i < 16; i++) M8(0x3000 + i) = 0x40 + i;
        CmdAdr1 = 3; P1(0x3000); P2(16); CALL(16); M8(0x2000) = CmdAdr1;
        CmdAdr1 = 0; P1(0x3000); P2(16); CALL(16); M8(0x2001) = CmdAdr1; /* slot 0 is not reachable */
        CmdAdr1 = 31; P1(0x3000); P2(16); CALL(16); M8(0x2002) = CmdAdr1;
        CmdAdr1 = 3; P1(0x3000); P2(20); CALL(16); M8(0x2003) = CmdAdr1; /* another length */
    } else {
        CmdAdr1 = 3; CALL(17); M8(0x2000) = CmdAdr1;
        CmdAdr1 = 4; CALL(17); M8(0x2001) = CmdAdr1;
    }
    DONE();
}
)";
    PanelFixture f;
    ASSERT_NO_FATAL_FAILURE(f.load(program));
    ASSERT_TRUE(f.runUntilDone());
    EXPECT_EQ(f.live->byteAt(0x2000), 1);
    EXPECT_EQ(f.live->byteAt(0x2001), 0);
    EXPECT_EQ(f.live->byteAt(0x2002), 0);
    EXPECT_EQ(f.live->byteAt(0x2003), 0);
    std::string file;
    ASSERT_TRUE(readWholeFile(f.project.path() / "NandFlash" / "VarToFlash.vtf", file));
    EXPECT_EQ(file.size(), 512u + 16u);

    // A new simulation: fresh memory, the same project.
    f.live->clear();
    f.shown->clear();
    f.dirty = 0;
    f.live->setByteAt(0x2100, 1);
    ASSERT_TRUE(f.runUntilDone());
    EXPECT_EQ(f.live->byteAt(0x2000), 1);
    EXPECT_EQ(f.live->byteAt(0x2001), 0) << "a free slot loads nothing";
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(f.live->byteAt(static_cast<std::uint16_t>(0x3000 + i)), 0x40 + i);
        EXPECT_EQ(f.shown->byteAt(static_cast<std::uint16_t>(0x3000 + i)), 0x40 + i) << "into both banks";
    }
    EXPECT_EQ(f.dirty.load(), 1);
}

class RecordingPlc : public Mc8051PlcRequests {
public:
    std::vector<std::tuple<int, int, int, int, int>> queued;
    bool busy = false;
    bool QueueSerialWrite(int link, std::uint8_t station, std::uint8_t count, std::uint16_t reg, std::uint16_t mem) override
    {
        if (busy)
            return false;
        queued.emplace_back(link, station, count, reg, mem);
        return true;
    }
    bool IsSerialRequestBusy(int link) override { return busy && link == 2; }
};

TEST(PanelLinkServices, PlcWriteRequestsGoToTheLinkOfTheirPort)
{
    PanelFixture f;
    RecordingPlc plc;
    f.services.state().context.plc = &plc;
    ASSERT_NO_FATAL_FAILURE(f.load(R"(
void main(void)
{
    unsigned char port;
    for (port = 0; port < 4; port++) {
        CmdAdr1 = port; CmdAdr2 = 7; CmdAdr3 = 2; P2(0x1234); P3(0x0100 + port); CALL(80);
        M8(0x2000 + port) = CmdAdr1;
    }
    CmdAdr1 = 1; CALL(81); M8(0x2010) = CmdAdr1;
    CmdAdr1 = 3; CALL(81); M8(0x2011) = CmdAdr1;
    DONE();
}
)"));
    plc.busy = false;
    ASSERT_TRUE(f.runUntilDone());
    ASSERT_EQ(plc.queued.size(), 4u);
    const int links[] = {2, 1, 2, 2}; // port values 0 and 3 are link 2, as any value but 1
    for (int port = 0; port < 4; ++port) {
        SCOPED_TRACE(port);
        EXPECT_EQ(plc.queued[static_cast<std::size_t>(port)],
                  std::make_tuple(links[port], 7, 2, 0x1234, 0x0100 + port));
        EXPECT_EQ(f.live->byteAt(static_cast<std::uint16_t>(0x2000 + port)), 1);
    }
    EXPECT_EQ(f.live->byteAt(0x2010), 0);
    EXPECT_EQ(f.live->byteAt(0x2011), 0);
}

} // namespace
} // namespace qv::sim::test
