// The JTAG link: packets in each kind's wire form, the move table, shifts and streams.
#include "device/virtual_panel/sim_jtag.h"
#include "tests/device/fpga_fixture.h"

#include <gtest/gtest.h>

namespace qv::device::test {
namespace {

using namespace jtag;

// Header and data of a packet as it must go out.
struct Expected {
    Bytes header; // bytes 0..4
    Bytes data;
};

struct LinkCase {
    const char* name;
    std::uint8_t startState; // reached first through the link
    std::function<std::uint8_t(JtagLink&)> op;
    std::uint8_t result;
    std::vector<Expected> packets;
    std::uint8_t state;
};

Bytes wireOf(usb::UsbKind kind, const Expected& e)
{
    Bytes packet = e.header;
    packet.insert(packet.end(), e.data.begin(), e.data.end());
    if (kind == usb::UsbKind::EzUsb)
        return packet;
    packet.resize(64, 0);
    if (kind == usb::UsbKind::Hid)
        packet.insert(packet.begin(), 0);
    return packet;
}

TEST(JtagLink, EachCommandGoesOutInTheKindsDataForm)
{
    const Bytes ten{0xAB, 0xCD, 0x01};
    const LinkCase cases[] = {
        {"idle from reset", tap::TestLogicReset, [](JtagLink& l) { return l.gotoState(tap::RunTestIdle); }, kOk,
         {{{1, 0, 0x00, 1, 0}, {}}}, tap::RunTestIdle},
        {"idle from capture-dr", tap::CaptureDr, [](JtagLink& l) { return l.gotoState(tap::RunTestIdle); }, kOk,
         {{{1, 0, 0x03, 3, 0}, {}}}, tap::RunTestIdle},
        {"reset", tap::ShiftDr, [](JtagLink& l) { return l.gotoState(tap::TestLogicReset); }, kOk,
         {{{0, 0, 0, 0, 0}, {}}, {{1, 0, 0x1F, 5, 0}, {}}}, tap::TestLogicReset},
        {"8 bits at offset 0", tap::ShiftDr, [](JtagLink& l) {
             const std::uint8_t b[1] = {0x5A};
             return l.shiftOut(0, 8, b, false);
         }, kOk, {{{3, 0, 0, 8, 1}, {0x5A}}}, tap::ShiftDr},
        {"10 bits at offset 7", tap::ShiftDr, [&ten](JtagLink& l) { return l.shiftOut(7, 10, ten, true); }, kOk,
         {{{3, 1, 7, 10, 3}, ten}}, tap::Exit1Dr},
        {"run-test", tap::RunTestIdle, [](JtagLink& l) { return l.runTest(15); }, kOk, {{{2, 0, 0, 15, 0}, {}}},
         tap::RunTestIdle},
        {"unknown target", tap::RunTestIdle, [](JtagLink& l) { return l.gotoState(10); }, kBadTarget,
         {{{1, 0, 0, 0, 0}, {}}}, tap::RunTestIdle},
        {"move the table lacks", tap::RunTestIdle, [](JtagLink& l) { return l.gotoState(tap::PauseIr); }, kBadTarget,
         {{{1, 0, 0, 0, 0}, {}}}, tap::RunTestIdle},
        {"more bits than the count byte holds", tap::ShiftDr, [](JtagLink& l) { return l.shiftOut(0, 256, {}, true); },
         kPacketTooLong, {}, tap::ShiftDr},
        {"read-back larger than its buffer", tap::ShiftDr, [](JtagLink& l) {
             std::array<std::uint8_t, 2> out{};
             return l.shiftInOut(17, {}, out);
         }, kPacketTooLong, {}, tap::ShiftDr},
        {"bit offset past a byte", tap::ShiftDr, [](JtagLink& l) { return l.shiftOut(8, 1, {}, true); },
         kPacketTooLong, {}, tap::ShiftDr},
    };
    for (const auto kind : {usb::UsbKind::EzUsb, usb::UsbKind::Hid, usb::UsbKind::Disk}) {
        for (const LinkCase& c : cases) {
            SCOPED_TRACE(std::string(kindName(kind)) + ": " + c.name);
            JtagBench bench(kind);
            JtagLink& link = *bench.link;
            // Reach the start state through moves the table has.
            if (c.startState == tap::CaptureDr) {
                ASSERT_EQ(link.gotoState(tap::RunTestIdle), kOk);
                ASSERT_EQ(link.gotoState(tap::ShiftIr), kOk);
                const std::uint8_t code[1] = {0x0F};
                ASSERT_EQ(link.shiftOut(0, 8, code, true), kOk);
                ASSERT_EQ(link.gotoState(tap::PauseIr), kOk);
                ASSERT_EQ(link.gotoState(tap::CaptureDr), kOk);
            } else if (c.startState != tap::TestLogicReset) {
                ASSERT_EQ(link.gotoState(tap::RunTestIdle), kOk);
                ASSERT_EQ(link.gotoState(c.startState), kOk);
            }
            const std::size_t before = bench.wire().size();
            EXPECT_EQ(c.op(link), c.result);
            EXPECT_EQ(link.state(), c.state);
            const auto wire = bench.wire();
            ASSERT_EQ(wire.size() - before, c.packets.size());
            for (std::size_t i = 0; i < c.packets.size(); ++i) {
                const auto& t = wire[before + i];
                EXPECT_EQ(t.bytes, wireOf(kind, c.packets[i]));
                if (kind == usb::UsbKind::EzUsb) {
                    EXPECT_EQ(t.pipe, 3);
                }
                if (kind == usb::UsbKind::Disk) {
                    EXPECT_EQ(t.cdb, writeCdb(64));
                }
            }
            // The simulated TAP went where the link says it is.
            EXPECT_EQ(bench.panel->jtagTarget()->stateLog().back(), link.state());
        }
    }
}

TEST(JtagLink, ShiftInOutReadsBackInTheKindsReplyForm)
{
    for (const auto kind : {usb::UsbKind::EzUsb, usb::UsbKind::Hid, usb::UsbKind::Disk}) {
        SCOPED_TRACE(kindName(kind));
        virtual_panel::SimFpgaSettings fpga;
        fpga.idcode = 0x12345678;
        JtagBench bench(kind, fpga);
        JtagLink& link = *bench.link;
        const std::uint8_t code[1] = {0x0F};
        ASSERT_EQ(link.gotoState(tap::TestLogicReset), kOk);
        ASSERT_EQ(link.gotoState(tap::ShiftIr), kOk);
        ASSERT_EQ(link.shiftOut(0, 8, code, true), kOk);
        ASSERT_EQ(link.gotoState(tap::RunTestIdle), kOk);
        ASSERT_EQ(link.gotoState(tap::ShiftDr), kOk);
        std::array<std::uint8_t, 6> out{9, 9, 9, 9, 9, 9};
        ASSERT_EQ(link.shiftInOut(32, {}, out), kOk);
        EXPECT_EQ(out, (std::array<std::uint8_t, 6>{0x78, 0x56, 0x34, 0x12, 0, 0}));
        EXPECT_EQ(link.state(), tap::Exit1Dr);
        const auto wire = bench.wire();
        expectReplyRead(kind, wire.back(), 4);
        EXPECT_EQ(wire[wire.size() - 2].bytes, wireOf(kind, {{4, 0, 0, 32, 4}, {0, 0, 0, 0}}));
    }
}

TEST(JtagLink, AFailedReadLeavesNoOldBytes)
{
    JtagBench bench(usb::UsbKind::Hid);
    JtagLink& link = *bench.link;
    ASSERT_EQ(link.gotoState(tap::RunTestIdle), kOk);
    ASSERT_EQ(link.gotoState(tap::ShiftDr), kOk);
    bench.panel->injectFault(bench.panel->transferCount() + 1, virtual_panel::SimFault::NoReply);
    std::array<std::uint8_t, 1> out{0xFF};
    EXPECT_EQ(link.shiftInOut(5, {}, out), kTransportFailed);
    EXPECT_EQ(out[0], 0);
}

TEST(JtagLink, MoveTableIsTheLinksTable)
{
    const auto moves = jtagMoves();
    ASSERT_EQ(moves.size(), std::size(kTapMoves));
    for (std::size_t i = 0; i < moves.size(); ++i) {
        const JtagMove& e = kTapMoves[i];
        EXPECT_EQ(moves[i].target, e.target) << "move " << i;
        EXPECT_EQ(moves[i].from, e.from) << "move " << i;
        EXPECT_EQ(moves[i].clocks, e.clocks) << "move " << i;
        EXPECT_EQ(moves[i].tms, e.tms) << "move " << i;
        // Every move written out here takes the standard TAP from its state to its target;
        // from any state, five clocks of TMS high reach Test-Logic-Reset.
        for (int k = 0; k < 16; ++k) {
            const auto start = static_cast<virtual_panel::TapState>(k);
            if (e.from != 0 && virtual_panel::linkStateNumber(start) != e.from)
                continue;
            virtual_panel::TapState s = start;
            for (int c = 0; c < e.clocks; ++c)
                s = virtual_panel::nextTapState(s, (e.tms >> c) & 1);
            EXPECT_EQ(virtual_panel::linkStateNumber(s), e.target) << "move " << i << " from TAP state " << k;
        }
    }
}

TEST(JtagLink, AStreamGoesOutInTheSourcesRuns)
{
    std::vector<std::uint8_t> bytes(40);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i + 1);
    // A 16-byte window loaded at the position asked for.
    const auto source = [&bytes](std::uint64_t pos) {
        return std::span<const std::uint8_t>(bytes).subspan(pos, std::min<std::size_t>(16, bytes.size() - pos));
    };
    struct Piece {
        std::uint8_t last, offset, bits, n, first;
    };
    struct Case {
        const char* name;
        std::uint64_t start, bits;
        std::uint8_t result;
        std::vector<Piece> pieces;
    };
    const Case cases[] = {
        {"300 bits from a byte boundary", 0, 300, kOk, {{0, 0, 128, 16, 1}, {0, 0, 128, 16, 17}, {1, 0, 44, 6, 33}}},
        {"from bit 3, the later pieces from bit 0", 3, 200, kOk, {{0, 3, 125, 16, 1}, {1, 0, 75, 10, 17}}},
        {"past the source", 8 * 30, 200, kStreamEnded, {{0, 0, 80, 10, 31}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JtagBench bench(usb::UsbKind::Hid);
        ASSERT_EQ(bench.link->gotoState(tap::RunTestIdle), kOk);
        ASSERT_EQ(bench.link->gotoState(tap::ShiftDr), kOk);
        bench.packets.clear();
        EXPECT_EQ(bench.link->shiftStream(source, c.start, c.bits), c.result);
        ASSERT_EQ(bench.packets.size(), c.pieces.size());
        for (std::size_t i = 0; i < c.pieces.size(); ++i) {
            const auto& p = bench.packets[i].bytes;
            EXPECT_EQ(p[0], cmd::ShiftOut);
            EXPECT_EQ(p[1], c.pieces[i].last);
            EXPECT_EQ(p[2], c.pieces[i].offset);
            EXPECT_EQ(p[3], c.pieces[i].bits);
            EXPECT_EQ(p[4], c.pieces[i].n);
            EXPECT_EQ(p[5], c.pieces[i].first);
        }
    }
}

} // namespace
} // namespace qv::device::test
