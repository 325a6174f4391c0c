// The communication tick, the reply parsers with scripted peers, the write queue, the panel's
// own protocol and the receive gate, over recording ports and a fake clock.
#include <gtest/gtest.h>

#include <fmt/format.h>

#include <atomic>
#include <functional>
#include <random>
#include <thread>

#include "sim/plc/mc8051_plc_requests.h"
#include "sim/plc/serial_dispatch.h"
#include "tests/sim/panel_services_fixture.h"
#include "tests/sim/plc_fixture.h"
#include "tests/sim/plc_peer_bytes.h"
#include "config/settings/protocol_numbers.h"

namespace qv::test {
namespace {

using namespace qv::sim::plc;
using namespace qv::sim::plc::peer;
namespace proto = qv::protocol;

TEST(PlcTick, TimeOutFollowsClockTimeWhateverTheTickPeriod)
{
    for (const int period : {5, 16, 400}) {
        SCOPED_TRACE(period);
        PlcRig rig(proto::ModbusMaster);
        rig.load({plcRecord(3, 0, 1, 100, 200)});
        rig.tick(0); // starts the clock and sends the read
        ASSERT_EQ(rig.links.pollState(1), Sent);
        int elapsed = 0;
        while (rig.links.pollState(1) == Sent && elapsed < 5000) {
            rig.tick(period);
            elapsed += period;
        }
        EXPECT_GE(elapsed, 1000);
        EXPECT_LT(elapsed, 1000 + period);
    }
}

TEST(PlcTick, ThreeSilentPollsOpenTheWindowAndAnAnswerClosesIt)
{
    PlcRig rig(proto::ModbusMaster);
    rig.load({plcRecord(3, 0, 1, 100, 2)});
    for (int poll = 0; poll < 3; ++poll) {
        rig.tick(5);  // read
        rig.tick(10); // times out
    }
    EXPECT_EQ(rig.io.windows, (std::vector<int>{1}));
    rig.tick(5);
    rig.feed(withCrc({1, 3, 2, 0x12, 0x34}));
    EXPECT_EQ(rig.links.pollState(1), Done);
    rig.tick(5);
    EXPECT_EQ(rig.io.windows, (std::vector<int>{1, -1}));
    EXPECT_EQ(rig.live->read(100, 2), 0x1234u);
}

TEST(PlcTick, PollDelayCounterStopsAt255SoALongDelayFallsDue)
{
    PlcRig rig(proto::ModbusMaster);
    auto r = plcRecord(3, 0, 1, 100);
    r.commDelay5 = 255;
    rig.load({r});
    for (int i = 0; i < 300 && rig.links.pollState(1) == Idle; ++i)
        rig.tick(7); // uneven steps
    EXPECT_EQ(rig.links.pollState(1), Sent);
}

TEST(PlcTick, RecordsOfOtherScreensAreSkippedWithoutFailure)
{
    PlcRig rig(proto::ModbusMaster);
    auto other = plcRecord(3, 0, 1, 100);
    other.screen = 4;
    rig.load({other, plcRecord(3, 7, 1, 102)});
    rig.tick(5, 0);
    rig.tick(5, 0);
    ASSERT_EQ(rig.links.pollState(1), Sent);
    EXPECT_EQ(rig.io.last(), withCrc({1, 3, 0, 7, 0, 1}));
    EXPECT_TRUE(rig.io.windows.empty());
    EXPECT_TRUE(rig.io.sent.back().discard);
}

TEST(PlcTick, DynamicStationZeroSkipsTheRecordWithoutSending)
{
    PlcRig rig(proto::ModbusMaster);
    rig.settings.dynamicStation = true;
    rig.settings.silentAtZero = true;
    rig.settings.stationOffset = 500;
    rig.apply();
    rig.load({plcRecord(3, 0, 1, 100, 200, 1), plcRecord(3, 0, 1, 100, 200, 2)});
    rig.live->writeByte(502, 9);
    rig.tick(5);
    EXPECT_EQ(rig.links.pollState(1), Done);
    EXPECT_EQ(rig.io.sentCount(), 0u);
    rig.tick(5);
    rig.tick(5);
    EXPECT_EQ(rig.io.last(), withCrc({9, 3, 0, 0, 0, 1}));
    EXPECT_TRUE(rig.io.windows.empty());
}

TEST(PlcTick, PortWithoutRecordsServesWritesAndTimesOutByTheSlot)
{
    PlcRig rig(proto::ModbusMaster);
    rig.load({});
    EXPECT_TRUE(rig.links.queueRegisterWrite(1, 3, 1, 40, 10));
    EXPECT_TRUE(rig.links.isSlotBusy(1));
    rig.live->write(10, 2, 0xBEEF);
    rig.tick(5);
    EXPECT_EQ(rig.io.last(), withCrc({3, 6, 0, 40, 0xBE, 0xEF}));
    for (int i = 0; i < 250; ++i)
        rig.tick(5);
    EXPECT_EQ(rig.links.currentRecord(1), kNoRecord);
    EXPECT_TRUE(rig.links.isSlotBusy(1)); // kept for another try
    EXPECT_EQ(rig.io.lines.size(), 1u);  // reported once
}

TEST(PlcWrites, UserCodeRequestsTakeTheSlotOfAModbusMasterOnly)
{
    PlcRig rig(proto::ModbusMaster, proto::MitsubishiFx);
    rig.load({});
    const auto requests = MakePlcRequests(rig.links);
    EXPECT_FALSE(requests->QueueSerialWrite(2, 1, 1, 0, 0)); // not Modbus
    EXPECT_FALSE(requests->QueueSerialWrite(3, 1, 1, 0, 0));
    EXPECT_FALSE(requests->IsSerialRequestBusy(1));
    EXPECT_TRUE(requests->QueueSerialWrite(1, 1, 2, 7, 20));
    EXPECT_TRUE(requests->IsSerialRequestBusy(1));
    EXPECT_FALSE(requests->QueueSerialWrite(1, 1, 1, 9, 30)); // busy
    rig.live->write(20, 4, 0x44332211);
    rig.tick(5);
    EXPECT_EQ(rig.io.last(), withCrc({1, 16, 0, 7, 0, 2, 4, 0x22, 0x11, 0x44, 0x33}));
    rig.feed(withCrc({1, 16, 0, 7, 0, 2}));
    EXPECT_FALSE(requests->IsSerialRequestBusy(1));
}

// One register goes out with function 6 while the option word's bit 0 is set (every rebuild
// sets it), so a peer that writes single registers with function 6 only is still written.
TEST(PlcWrites, UserCodeRegisterWritesChooseTheFunctionByCountAndOption)
{
    struct Case {
        std::uint8_t count;
        bool function6;
        Bytes frame; // what the next tick sends
        Bytes echo;  // the peer's answer that frees the slot
    };
    const Case cases[] = {
        {1, true, withCrc({4, 6, 0x01, 0x2C, 0x22, 0x11}), withCrc({4, 6, 0x01, 0x2C, 0x22, 0x11})},
        {1, false, withCrc({4, 16, 0x01, 0x2C, 0, 1, 2, 0x22, 0x11}), withCrc({4, 16, 0x01, 0x2C, 0, 1})},
        {2, true, withCrc({4, 16, 0x01, 0x2C, 0, 2, 4, 0x22, 0x11, 0x44, 0x33}), withCrc({4, 16, 0x01, 0x2C, 0, 2})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "count " << int(c.count) << ", option " << c.function6);
        PlcRig rig(proto::ModbusMaster);
        rig.settings.singleRegisterFunction6 = c.function6;
        rig.apply();
        rig.load({});
        rig.live->write(20, 4, 0x44332211);
        const auto requests = MakePlcRequests(rig.links);
        ASSERT_TRUE(requests->QueueSerialWrite(1, 4, c.count, 300, 20));
        rig.tick(5);
        EXPECT_EQ(rig.io.last(), c.frame);
        rig.feed(c.echo);
        EXPECT_FALSE(requests->IsSerialRequestBusy(1));
    }
}

// The program's write request names its port by value: 1 is link 1, any other value link 2,
// whose frame goes out on port 2.
TEST(PlcWrites, UserProgramPortValuesOtherThanOneWriteThroughLinkTwo)
{
    for (const int port : {0, 2, 3}) {
        SCOPED_TRACE(port);
        PlcRig rig(proto::ModbusMaster, proto::ModbusMaster);
        rig.load({});
        const auto requests = MakePlcRequests(rig.links);
        sim::test::PanelFixture f(rig.live.get());
        f.services.state().context.plc = requests.get();
        ASSERT_NO_FATAL_FAILURE(f.load(fmt::format(R"(
void main(void)
{{
    M16(0x0100) = 0xBEEF;
    CmdAdr1 = {}; CmdAdr2 = 5; CmdAdr3 = 1; P2(40); P3(0x0100); CALL(80);
    M8(0x2000) = CmdAdr1;
    CmdAdr1 = {}; CALL(81); M8(0x2001) = CmdAdr1;
    DONE();
}}
)", port, port)));
        ASSERT_TRUE(f.runUntilDone());
        EXPECT_EQ(rig.live->byteAt(0x2000), 1);
        EXPECT_EQ(rig.live->byteAt(0x2001), 1); // busy until the echo
        EXPECT_FALSE(rig.links.isSlotBusy(1));
        EXPECT_TRUE(rig.links.isSlotBusy(2));
        rig.tick(5);
        ASSERT_EQ(rig.io.sentCount(), 1u);
        EXPECT_EQ(rig.io.sent.back().port, 2);
        EXPECT_EQ(rig.io.last(), withCrc({5, 6, 0, 40, 0xBE, 0xEF}));
        rig.feed(withCrc({5, 6, 0, 40, 0xBE, 0xEF}), 2);
        EXPECT_FALSE(rig.links.isSlotBusy(2));
    }
}

TEST(PlcWrites, ChangesMapToElements)
{
    struct Case {
        const char* what;
        int protocol;
        PlcMapRecord record;
        std::int64_t address;
        std::uint32_t length;
        Bytes expected; // the frame the next tick sends
    };
    const std::uint32_t bit = 0x80000000u;
    const Case cases[] = {
        {"one byte of a register pair", proto::ModbusMaster, plcRecord(3, 10, 2, 100), 101, 1,
         withCrc({1, 6, 0, 10, 0x22, 0x11})},
        {"two bytes over two registers", proto::ModbusMaster, plcRecord(3, 10, 2, 100), 101, 2,
         withCrc({1, 16, 0, 10, 0, 2, 4, 0x22, 0x11, 0x44, 0x33})},
        {"bit 3 at s+1 of coils from 100", proto::ModbusMaster, plcRecord(1, 100, 16, 100), 101, bit | 3,
         withCrc({1, 5, 0, 111, 0x00, 0x00})},
        {"bit 2 at s+1 of Y0 is Y12", proto::MitsubishiFx, plcRecord(2, 0, 16, 100), 101, bit | 2,
         fx("8" "0A05")},
        {"bit 0 of Y100's byte", proto::MitsubishiFx, plcRecord(2, 100, 8, 100), 100, bit | 0, fx("7" "4005")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PlcRig rig(c.protocol);
        rig.load({c.record});
        for (int i = 0; i < 4; ++i)
            rig.live->writeByte(100 + i, static_cast<std::uint8_t>(0x11 * (i + 1)));
        const Bytes data{0};
        rig.links.onVarWrite(c.address, c.length, data, 0);
        rig.tick(5);
        EXPECT_EQ(rig.io.last(), c.expected);
    }
}

TEST(PlcWrites, WritesWithoutAFrameFreeTheSlotWithALine)
{
    // S7-200 counters and timers, Delta C and T: the read has a form, the write none.
    const struct {
        int protocol;
        std::uint8_t type;
    } cases[] = {{proto::SiemensPpi, 7}, {proto::SiemensPpi, 8}, {proto::DeltaDvp, 5}, {proto::DeltaDvp, 6}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.protocol << " type " << int{c.type});
        PlcRig rig(c.protocol);
        rig.load({plcRecord(c.type, 10, 1, 100)});
        rig.links.onVarWrite(100, 2, Bytes{1, 0}, 0);
        ASSERT_TRUE(rig.links.isSlotBusy(1));
        rig.tick(5);
        EXPECT_FALSE(rig.links.isSlotBusy(1));
        EXPECT_EQ(rig.io.lines.size(), 1u);
        EXPECT_EQ(rig.io.sentCount(), 0u);
    }
}

TEST(PlcWrites, TwoChangesInOneTickBothGoOutInOrder)
{
    PlcRig rig(proto::ModbusMaster);
    rig.load({plcRecord(3, 0, 4, 100)});
    rig.live->write(100, 2, 7);
    rig.live->write(104, 2, 9);
    rig.links.onVarWrite(100, 2, Bytes{7, 0}, 0);
    rig.links.onVarWrite(104, 2, Bytes{9, 0}, 0);
    rig.tick(5);
    EXPECT_EQ(rig.io.last(), withCrc({1, 6, 0, 0, 0, 7}));
    rig.feed(rig.io.last());
    rig.tick(5);
    EXPECT_EQ(rig.io.last(), withCrc({1, 6, 0, 2, 0, 9}));
}

TEST(PlcWrites, ARefusedWriteTakesTurnsWithThePolls)
{
    PlcRig rig(proto::MitsubishiFx);
    rig.load({plcRecord(4, 0, 1, 100, 10), plcRecord(4, 5, 1, 200, 10)});
    rig.links.onVarWrite(100, 2, Bytes{1, 0}, 0);
    rig.tick(5); // the write
    ASSERT_EQ(rig.links.pollState(1), WriteSent);
    rig.feed({0x15}); // NAK
    rig.tick(5);      // a poll, not the write again
    EXPECT_EQ(rig.links.pollState(1), Sent);
    EXPECT_EQ(rig.io.last()[1], '0');
    rig.feed({0x15}); // the read refused: skipped
    rig.tick(5);
    rig.tick(5); // the write's turn
    EXPECT_EQ(rig.links.pollState(1), WriteSent);
    EXPECT_EQ(rig.io.last()[1], '1');
    EXPECT_EQ(rig.io.lines.size(), 1u);
}

// A scripted peer's reply to the read in flight, and where its data must land.
struct PeerCase {
    const char* what;
    int protocol;
    PlcMapRecord record;
    std::vector<Bytes> replies; // in order; bytes between states go after a tick
    Bytes stored;               // expected at the record's HMI address (empty: nothing stored)
};

Bytes omronReply(const std::string& data, bool write = false, const std::string& endCode = "0000")
{
    return omron("@01FA00" + std::string(20, '0') + (write ? "0102" : "0101") + endCode + data);
}

// A FINS end code says whether the PLC completed the command; its relay and CPU error flags
// do not.
TEST(PlcWrites, OmronWriteEndsAsItsEndCodeSays)
{
    const struct {
        const char* endCode;
        bool done;
    } cases[] = {
        {"0000", true},  {"0040", true},  {"0080", true}, {"8000", true}, // flags beside a completed command
        {"2108", false}, {"0001", false}, {"0101", false}, {"1103", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.endCode);
        PlcRig rig(proto::OmronCj);
        rig.load({plcRecord(3, 100, 1, 100)});
        rig.links.onVarWrite(100, 2, Bytes{1, 0}, 0);
        rig.tick(5);
        ASSERT_EQ(rig.links.pollState(1), WriteSent);
        rig.feed(omronReply("", true, c.endCode));
        EXPECT_EQ(rig.links.pollState(1), Idle);
        EXPECT_EQ(rig.links.isSlotBusy(1), !c.done);
        EXPECT_EQ(rig.io.lines.size(), c.done ? 0u : 1u);
    }
}
TEST(PlcPeers, RepliesStoreOnlyWhatWasAsked)
{
    Bytes badSum = fx("3412");
    badSum[badSum.size() - 1] ^= 1;
    Bytes ppiBad = ppiReply(6, {1, 2, 3, 4});
    ppiBad[ppiBad.size() - 2] ^= 1;
    const PeerCase cases[] = {
        {"fx D word", proto::MitsubishiFx, plcRecord(4, 0, 1, 100), {fx("3412")}, {0x34, 0x12}},
        {"fx wrong sum", proto::MitsubishiFx, plcRecord(4, 0, 1, 100), {badSum}, {}},
        {"fx too long", proto::MitsubishiFx, plcRecord(4, 0, 1, 100), {fx("34127856")}, {}},
        {"ppi double word", proto::SiemensPpi, plcRecord(6, 0, 1, 100), {{0xE5}, ppiReply(6, {1, 2, 3, 4})}, {4, 3, 2, 1}},
        {"ppi wrong fcs", proto::SiemensPpi, plcRecord(6, 0, 1, 100), {{0xE5}, ppiBad}, {}},
        {"delta C235 double words", proto::DeltaDvp, plcRecord(5, 235, 1, 100), {delta({1, 3, 4, 1, 2, 3, 4})},
         {4, 3, 2, 1}},
        {"delta C199, the last word counter", proto::DeltaDvp, plcRecord(5, 199, 1, 100), {delta({1, 3, 2, 1, 2})}, {2, 1}},
        {"delta C200, the first double word", proto::DeltaDvp, plcRecord(5, 200, 1, 100), {delta({1, 3, 4, 1, 2, 3, 4})},
         {4, 3, 2, 1}},
        {"delta C100 words", proto::DeltaDvp, plcRecord(5, 100, 1, 100), {delta({1, 3, 2, 1, 2})}, {2, 1}},
        {"delta wrong length", proto::DeltaDvp, plcRecord(5, 100, 1, 100), {delta({1, 3, 4, 1, 2, 3, 4})}, {}},
        {"fatek registers", proto::FatekFb, plcRecord(4, 10, 2, 100), {fatek("01460" "12345678")},
         {0x34, 0x12, 0x78, 0x56}},
        {"fatek bits", proto::FatekFb, plcRecord(1, 0, 3, 100), {fatek("01440" "101")}, {0x05}},
        {"fatek other station", proto::FatekFb, plcRecord(4, 10, 1, 100), {fatek("02460" "1234")}, {}},
        {"omron words", proto::OmronCj, plcRecord(3, 100, 2, 100), {omronReply("12345678")}, {0x34, 0x12, 0x78, 0x56}},
        {"omron short data", proto::OmronCj, plcRecord(3, 100, 2, 100), {omronReply("1234")}, {}},
        {"omron words beside a CPU error flag", proto::OmronCj, plcRecord(3, 100, 1, 100),
         {omronReply("1234", false, "0040")}, {0x34, 0x12}},
        {"omron read not completed", proto::OmronCj, plcRecord(3, 100, 1, 100), {omronReply("1234", false, "1103")}, {}},
        {"modbus coils as they come", proto::ModbusMaster, plcRecord(1, 0, 16, 100), {withCrc({1, 1, 2, 0x01, 0x80})},
         {0x01, 0x80}},
        {"modbus discrete inputs as they come", proto::ModbusMaster, plcRecord(2, 0, 16, 100),
         {withCrc({1, 2, 2, 0x01, 0x80})}, {0x01, 0x80}},
        {"modbus holding registers high byte first", proto::ModbusMaster, plcRecord(3, 0, 1, 100),
         {withCrc({1, 3, 2, 0x12, 0x34})}, {0x34, 0x12}},
        {"modbus input registers high byte first", proto::ModbusMaster, plcRecord(4, 0, 2, 100),
         {withCrc({1, 4, 4, 0x12, 0x34, 0x56, 0x78})}, {0x34, 0x12, 0x78, 0x56}},
        {"modbus byte count not the record's", proto::ModbusMaster, plcRecord(3, 0, 2, 100), {withCrc({1, 3, 2, 1, 2})},
         {}},
        {"record ending at the bank's end", proto::ModbusMaster, plcRecord(3, 0, 2, 0xFFFE),
         {withCrc({1, 3, 4, 1, 2, 3, 4})}, {}},
        {"modbus other station", proto::ModbusMaster, plcRecord(3, 0, 1, 100), {withCrc({7, 3, 2, 1, 2})}, {}},
        {"delta other station", proto::DeltaDvp, plcRecord(5, 100, 1, 100), {delta({7, 3, 2, 1, 2})}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PlcRig rig(c.protocol);
        rig.load({c.record});
        const auto before = rig.live->snapshot();
        rig.tick(5);
        for (const auto& reply : c.replies) {
            rig.feed(reply);
            rig.tick(5);
        }
        auto after = rig.live->snapshot();
        if (!c.stored.empty()) {
            EXPECT_TRUE(std::equal(c.stored.begin(), c.stored.end(), after.begin() + c.record.hmiAddress));
            std::copy(before.begin() + c.record.hmiAddress, before.begin() + c.record.hmiAddress + c.stored.size(),
                      after.begin() + c.record.hmiAddress);
        }
        EXPECT_TRUE(before == after); // nothing else changed
    }
}

// On a shared RS-485 line a well-formed reply of another station is no answer: the poll times
// out, three such polls open the no-response window, and a write it echoes stays unanswered.
TEST(PlcPeers, AnotherStationsReplyIsNoAnswer)
{
    const struct {
        const char* what;
        int protocol;
        PlcMapRecord record;
        Bytes reply;
    } cases[] = {
        {"modbus", proto::ModbusMaster, plcRecord(3, 0, 1, 100, 2), withCrc({7, 3, 2, 0x12, 0x34})},
        {"delta", proto::DeltaDvp, plcRecord(4, 0, 1, 100, 2), delta({7, 3, 2, 0x12, 0x34})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PlcRig rig(c.protocol);
        rig.load({c.record});
        const auto before = rig.live->snapshot();
        for (int poll = 0; poll < 3; ++poll) {
            rig.tick(5); // read
            ASSERT_EQ(rig.links.pollState(1), Sent);
            rig.feed(c.reply);
            EXPECT_EQ(rig.links.pollState(1), Sent);
            rig.tick(10); // times out
        }
        EXPECT_EQ(rig.io.windows, (std::vector<int>{1}));
        EXPECT_TRUE(before == rig.live->snapshot());
    }
}

TEST(PlcPeers, FuzzedBytesWriteOnlyInsideTheAskedRange)
{
    struct Case {
        int protocol;
        // Where the bytes may land: the two records of a master; the slave's registers from
        // its HMI base; anywhere a panel frame names (its sums must still hold).
        std::function<bool(std::size_t)> mayChange;
    };
    const auto records = [](std::size_t a) { return (a >= 1000 && a < 1000 + 12) || a >= 0xFFF0; };
    const Case cases[] = {
        {proto::ModbusMaster, records}, {proto::MitsubishiFx, records}, {proto::SiemensPpi, records},
        {proto::DeltaDvp, records},     {proto::FatekFb, records},      {proto::OmronCj, records},
        {proto::ModbusSlave, [](std::size_t a) { return a >= 0xF000; }},
        {proto::PanelBinary, [](std::size_t) { return true; }},
    };
    std::mt19937 random(1234);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.protocol);
        PlcRig rig(c.protocol);
        rig.settings.slaveHmiBase = 0xF000;
        rig.apply();
        rig.load({plcRecord(4, 200, 3, 1000, 4), plcRecord(3, 5, 40, 0xFFF0, 4)});
        const auto before = rig.live->snapshot();
        for (int round = 0; round < 400; ++round) {
            rig.tick(5);
            for (int i = 0; i < 64; ++i) {
                // Bias towards the protocols' frame characters.
                const std::uint8_t pick = static_cast<std::uint8_t>(random());
                static const Bytes special{0x02, 0x03, 0x06, 0x15, 0x68, 0x16, 0xE5, ':', '\r', '\n', '@', '*', '0', '1', 0x81};
                rig.links.onByte(1, pick < 64 ? special[pick % special.size()] : static_cast<std::uint8_t>(random()));
            }
        }
        const auto after = rig.live->snapshot();
        for (std::size_t a = 0; a < after.size(); ++a) {
            if (!c.mayChange(a)) {
                ASSERT_EQ(before[a], after[a]) << a;
            }
        }
        for (const auto& frame : rig.io.sent)
            ASSERT_LE(frame.bytes.size(), 256u); // no answer passes the port's maximum length
    }
}

TEST(PanelProtocol, FramesAndAnswers)
{
    PlcRig rig(proto::PanelBinary, proto::PanelBinary);
    rig.settings.ports[0].deviceAddress = 5;
    rig.settings.ports[1].deviceAddress = 5;
    rig.settings.ports[0].maxLength = 256;
    rig.apply();
    const auto frame = panel;
    // A write of 4 bytes at 0xFFFC is taken; at 0xFFFD it is dropped.
    rig.feed(frame(0, 5, 0xFFFC, {1, 2, 3, 4}, 4));
    EXPECT_EQ(rig.live->read(0xFFFC, 4), 0x04030201u);
    rig.feed(frame(0, 5, 0xFFFD, {9, 9, 9, 9}, 4));
    EXPECT_EQ(rig.live->readByte(0xFFFD), 2);
    // Length 0 is accepted and changes nothing.
    rig.feed(frame(0, 5, 0x10, {}, 0));
    EXPECT_EQ(rig.io.sentCount(), 0u);
    // A read of 10 bytes is answered by a 21-byte write frame.
    for (int i = 0; i < 10; ++i)
        rig.live->writeByte(0x100 + i, static_cast<std::uint8_t>(i + 1));
    rig.feed(frame(1, 5, 0x100, {}, 10));
    ASSERT_EQ(rig.io.sentCount(), 1u);
    EXPECT_EQ(rig.io.last(), frame(0, 5, 0x100, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 10));
    EXPECT_FALSE(rig.io.sent.back().discard);
    // A wrong checksum is answered with command 2.
    auto bad = frame(0, 5, 0x20, {1}, 1);
    bad.back() ^= 1;
    rig.feed(bad);
    EXPECT_EQ(rig.io.last(), (Bytes{0x81, 2, 5, 0x88, 0}));
    // Device address 0 only on port 2.
    rig.feed(frame(0, 0, 0x30, {7}, 1), 1);
    EXPECT_EQ(rig.live->readByte(0x30), 0);
    rig.feed(frame(0, 0, 0x30, {7}, 1), 2);
    EXPECT_EQ(rig.live->readByte(0x30), 7);
    EXPECT_EQ(rig.shown->readByte(0x30), 7); // port 2 shows what it writes
    EXPECT_EQ(rig.io.panelWrites.back(), (std::pair<std::uint32_t, std::uint32_t>{0x30, 1}));
    // ... but the screen number byte: the GUI thread's switch copies it.
    rig.settings.switchAddresses = {0x33, -1};
    rig.apply();
    rig.feed(frame(0, 0, 0x32, {1, 2}, 2), 2);
    EXPECT_EQ(rig.live->read(0x32, 2), 0x0201u);
    EXPECT_EQ(rig.shown->read(0x32, 2), 0x0001u);
    // Longer than the maximum length: dropped.
    rig.settings.ports[0].maxLength = 12;
    rig.apply();
    rig.feed(frame(0, 5, 0x40, {1, 2}, 2));
    EXPECT_EQ(rig.live->readByte(0x40), 0);
}

TEST(PanelProtocol, WriteFrameOfABitChangeCarriesItsByte)
{
    PlcRig rig(proto::PanelBinary);
    rig.settings.uploadOnChange = true;
    rig.settings.ports[0].deviceAddress = 3;
    rig.apply();
    rig.links.onVarWrite(0x200, 0x80000000u | 5, Bytes{0x20}, 0);
    EXPECT_EQ(rig.io.last(), (Bytes{0x81, 0, 3, 0, 2, 0, 0, 1, 0, 0x20, 0xA7, 0}));
}

// The tick on one thread, the two ports' monitor threads, run-time changes from a third and the
// program's ring taken on the test's own: every link value is guarded (ThreadSanitizer run).
TEST(PlcThreads, TickMonitorsAndChangesRunTogether)
{
    PlcRig rig(proto::ModbusMaster, proto::PanelBinary);
    rig.settings.ports[1].deviceAddress = 5;
    rig.settings.uploadOnChange = true;
    rig.apply();
    rig.load({plcRecord(3, 0, 4, 100, 2), plcRecord(1, 0, 16, 120, 2)});
    auto ring = std::make_unique<sim::SerialRxRing>();
    constexpr int kRounds = 600;
    const Bytes reply = withCrc({1, 3, 8, 1, 2, 3, 4, 5, 6, 7, 8});
    std::atomic<int> producing{3};
    std::atomic<long> pushed{0};
    const auto dispatch = [&](const Bytes& bytes, int com) {
        for (auto b : bytes)
            DispatchSerialByte(rig.links, ring.get(), EmulatorGate{}, b, com);
        pushed += static_cast<long>(bytes.size());
    };
    std::thread ticker([&] {
        for (int i = 0; i < 4 * kRounds; ++i)
            rig.tick(5);
    });
    std::thread port1([&] {
        for (int i = 0; i < kRounds; ++i)
            dispatch(reply, 1);
        --producing;
    });
    std::thread port2([&] {
        for (int i = 0; i < kRounds; ++i)
            dispatch(panel(0, 5, 0x200 + (i % 16), {static_cast<std::uint8_t>(i)}, 1), 2);
        --producing;
    });
    std::thread changes([&] {
        for (int i = 0; i < kRounds; ++i) {
            const Bytes value{static_cast<std::uint8_t>(i), 0};
            rig.links.onVarWrite(100 + 2 * (i % 4), 2, value, 0);
            rig.links.onVarWrite(121, 0x80000000u | (i % 8), Bytes{1}, 0);
        }
        --producing;
    });
    long taken = 0;
    while (producing.load() > 0 || ring->pending().load() > 0)
        taken += ring->take() ? 1 : 0;
    ticker.join();
    port1.join();
    port2.join();
    changes.join();
    EXPECT_LE(taken, pushed.load());
    EXPECT_GE(taken, std::min<long>(pushed.load(), 1)); // the program heard the ports
    // Each of the sixteen panel addresses holds the last byte written to it.
    for (int a = 0; a < 16; ++a)
        EXPECT_EQ(rig.live->readByte(0x200 + a), static_cast<std::uint8_t>((kRounds - 1 - a) / 16 * 16 + a)) << a;
    EXPECT_GT(rig.io.sentCount(), 0u);
}

TEST(ModbusSlave, AnswersInsideTheBankOnly)
{
    PlcRig rig(proto::ModbusSlave);
    rig.settings.ports[0].deviceAddress = 1;
    rig.settings.slaveRegisterBase = 100;
    rig.settings.slaveHmiBase = 200;
    rig.apply();
    rig.live->write(204, 2, 0x1234);
    rig.feed(withCrc({1, 3, 0, 102, 0, 1}));
    EXPECT_EQ(rig.io.last(), withCrc({1, 3, 2, 0x12, 0x34}));
    rig.feed(withCrc({1, 6, 0, 101, 0xAB, 0xCD}));
    EXPECT_EQ(rig.live->read(202, 2), 0xABCDu);
    EXPECT_EQ(rig.io.last(), withCrc({1, 6, 0, 101, 0xAB, 0xCD}));
    const auto count = rig.io.sentCount();
    rig.feed(withCrc({1, 3, 0, 99, 0, 1}));                              // below the base
    rig.feed(withCrc({1, 16, 0x7F, 0xFF, 0, 2, 4, 1, 2, 3, 4}));         // leaves the bank
    EXPECT_EQ(rig.io.sentCount(), count);
    rig.feed(withCrc({1, 16, 0, 100, 0, 2, 4, 1, 2, 3, 4}));
    EXPECT_EQ(rig.live->read(200, 4), 0x03040102u);
    EXPECT_EQ(rig.io.last(), withCrc({1, 16, 0, 100, 0, 2}));
    rig.feed(withCrc({2, 3, 0, 102, 0, 1})); // another station
    EXPECT_EQ(rig.io.sentCount(), count + 1);
}

// The register quantity and the byte count come from the wire: a request whose quantity is
// none, past what one byte count can carry, or not the one its byte count says is not answered
// and stores nothing, whatever room the port's length leaves.
TEST(ModbusSlave, QuantitiesAndByteCountsFromTheWireAreChecked)
{
    const auto registers = [](int quantity) {
        Bytes data{1, 16, 0, 0, static_cast<std::uint8_t>(quantity >> 8), static_cast<std::uint8_t>(quantity),
                   static_cast<std::uint8_t>(2 * quantity)};
        data.resize(data.size() + static_cast<std::size_t>(2 * quantity), 0x5A);
        return withCrc(data);
    };
    const struct {
        const char* what;
        Bytes request;
        std::size_t answerSize; // 0: no answer
    } cases[] = {
        {"read of one", withCrc({1, 3, 0, 0, 0, 1}), 7},
        {"read of 125, the most", withCrc({1, 3, 0, 0, 0, 125}), 255},
        {"read of none", withCrc({1, 3, 0, 0, 0, 0}), 0},
        {"read of 126", withCrc({1, 3, 0, 0, 0, 126}), 0},
        {"read of 257, one in the low byte", withCrc({1, 3, 0, 0, 1, 1}), 0},
        {"write of two", withCrc({1, 16, 0, 0, 0, 2, 4, 1, 2, 3, 4}), 8},
        {"write of 123, the most", registers(123), 8},
        {"write of 124", registers(124), 0},
        {"write of one with four bytes", withCrc({1, 16, 0, 0, 0, 1, 4, 1, 2, 3, 4}), 0},
        {"write of two with three bytes", withCrc({1, 16, 0, 0, 0, 2, 3, 1, 2, 3}), 0},
        {"write of none", withCrc({1, 16, 0, 0, 0, 0, 0}), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PlcRig rig(proto::ModbusSlave);
        rig.settings.ports[0].deviceAddress = 1;
        rig.settings.ports[0].maxLength = 1024;
        rig.settings.slaveHmiBase = 0x100;
        rig.apply();
        const auto before = rig.live->snapshot();
        rig.feed(c.request);
        if (c.answerSize == 0) {
            EXPECT_EQ(rig.io.sentCount(), 0u);
            EXPECT_TRUE(before == rig.live->snapshot());
            continue;
        }
        ASSERT_EQ(rig.io.sentCount(), 1u);
        EXPECT_EQ(rig.io.last().size(), c.answerSize);
    }
}

TEST(SerialDispatch, RunningProgramOwnsTheBytesOnlyWithEaAndEs)
{
    struct Case {
        bool running;
        std::uint8_t ie;
        bool parsed;
    };
    const Case cases[] = {
        {true, 0x80, true},   // serial interrupt off: the parser hears the reply
        {true, 0x10, true},   // ES without EA
        {true, 0x90, false},  // the program owns the bytes
        {false, 0x90, true},  // a stopped program owns nothing
    };
    PlcRig rig(proto::ModbusMaster);
    rig.settings.com = {4, 6};
    rig.apply();
    rig.load({plcRecord(3, 0, 1, 100)});
    auto ring = std::make_unique<sim::SerialRxRing>();
    const Bytes reply = withCrc({1, 3, 2, 0, 7});
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.running << " " << int{c.ie});
        rig.live->write(100, 2, 0);
        rig.tick(5);
        ASSERT_EQ(rig.links.pollState(1), Sent);
        const int before = ring->pending().load();
        for (auto b : reply)
            DispatchSerialByte(rig.links, ring.get(), EmulatorGate{c.running, c.ie}, b, 4);
        EXPECT_EQ(rig.live->read(100, 2), c.parsed ? 7u : 0u);
        EXPECT_EQ(ring->pending().load() - before, static_cast<int>(reply.size())); // the ring hears every byte
        for (int i = 0; i < 60 && rig.links.pollState(1) != Idle; ++i)
            rig.tick(5);
    }
    const auto first = ring->take();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->port, 1);
    EXPECT_EQ(first->byte, reply[0]);
}

TEST(SerialDispatch, BytesOfAnUnknownComNumberAreDropped)
{
    PlcRig rig(proto::ModbusMaster, proto::ModbusMaster);
    rig.settings.com = {4, 6};
    rig.settings.connected = {true, false};
    rig.apply();
    rig.load({plcRecord(3, 0, 1, 100)});
    rig.tick(5);
    ASSERT_EQ(rig.links.pollState(1), Sent);
    auto ring = std::make_unique<sim::SerialRxRing>();
    // COM 5 is no port's; COM 6 is port 2's, which is not connected.
    for (const int com : {5, 6})
        for (auto b : withCrc({1, 3, 2, 0, 7}))
            DispatchSerialByte(rig.links, ring.get(), EmulatorGate{}, b, com);
    EXPECT_EQ(ring->pending().load(), 0);
    EXPECT_EQ(rig.links.pollState(1), Sent);
    EXPECT_EQ(rig.live->read(100, 2), 0u);
}

} // namespace
} // namespace qv::test
