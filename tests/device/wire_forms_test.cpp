// Every command's wire form on every kind, checked against the simulated panel's record.
#include "device/commands/panel_commands.h"
#include "tests/device/sim_link_fixture.h"

#include <functional>

namespace qv::device::test {
namespace {

struct NoWait final : WaitClock {
    void sleepFor(std::chrono::milliseconds) override {}
};

struct CommandCase {
    const char* name;
    std::function<bool(PanelFraming&)> run;
    Bytes command;      // the command's own bytes (the vendor driver's form)
    int replyReads = 0; // reply reads that follow
    std::size_t replyBytes = 0;
};

std::vector<CommandCase> commandCases()
{
    static NoWait noWait;
    NoWait* wait = &noWait;
    return {
        {"reset", [](PanelFraming& l) { return UsbResetDevice(l); }, {4}},
        {"abort", [](PanelFraming& l) { return SendAbortWrite(l); }, {3}},
        {"upgrade", [](PanelFraming& l) { return StartFirmwareUpgrade(l); }, {7}},
        {"busy", [](PanelFraming& l) { return QueryBusy(l) == 0; }, {2}, 1, 1},
        {"info", [](PanelFraming& l) { return QueryDeviceInfo(l).has_value(); }, {11}, 1, 64},
        {"flashTest", [wait](PanelFraming& l) { return RunFlashTest(l, *wait) == 1; }, {0x31}, 1, 1},
        {"readFlash",
         [](PanelFraming& l) {
             Bytes out(128);
             return ReadFlash(l, 0x200000, out) && out == Bytes(128, 0xFF);
         },
         {6, 0x00, 0x00, 0x20, 0x00, 0x80, 0, 0, 0}, 2, 64},
        {"clock",
         [](PanelFraming& l) { return SendPanelClock(l, PanelTime{2026, 12, 10, 13, 45, 30, 4}); },
         {0x30, 0xEA, 0x07, 12, 10, 13, 45, 31, 0}},
        {"buzzer0", [](PanelFraming& l) { return SendBuzzerCoefficient(l, 0); }, {0x32, 0, 0, 0, 0}},
        {"buzzer5000", [](PanelFraming& l) { return SendBuzzerCoefficient(l, 5000); }, {0x32, 0x88, 0x13, 0, 0}},
    };
}

TEST(WireForms, EveryCommandOnEveryKind)
{
    for (const usb::UsbKind kind : kAllKinds) {
        for (const CommandCase& c : commandCases()) {
            SCOPED_TRACE(std::string(kindName(kind)) + " " + c.name);
            SimLink sim(kind);
            ASSERT_TRUE(sim.connection);
            EXPECT_TRUE(c.run(sim.link()));
            const auto wire = sim.wire();
            ASSERT_EQ(wire.size(), 1u + static_cast<std::size_t>(c.replyReads));
            expectCommand(kind, wire[0], c.command);
            for (int i = 1; i <= c.replyReads; ++i)
                expectReplyRead(kind, wire[static_cast<std::size_t>(i)], c.replyBytes);
            EXPECT_EQ(sim.panel->events().ignoredCommands, 0);
        }
    }
}

// A panel that answers after the time-out: before the next command, on the same connection
// or the next one to the device, its answers are read and dropped until a read finds nothing,
// so the next query gets its own answer; the query after that has its usual form again. An
// abort (a failed write's closing command) goes out at once and leaves the dropping to the
// next exchange.
TEST(WireForms, ALateAnswerIsDroppedBeforeTheNextCommand)
{
    const struct {
        const char* what;
        std::function<bool(PanelFraming&)> late;
        std::size_t lateAnswers;
        bool reopen;
        bool abortBetween = false;
    } cases[] = {
        {"busy", [](PanelFraming& l) { return QueryBusy(l).has_value(); }, 1, false},
        {"busy, then a new connection", [](PanelFraming& l) { return QueryBusy(l).has_value(); }, 1, true},
        {"busy, then an abort", [](PanelFraming& l) { return QueryBusy(l).has_value(); }, 1, false, true},
        {"flash read of two replies",
         [](PanelFraming& l) {
             Bytes out(128);
             return ReadFlash(l, 0, out);
         },
         2, false},
    };
    for (const usb::UsbKind kind : kAllKinds) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(kindName(kind)) + " " + c.what);
            SimLink sim(kind);
            sim.panel->injectFault(sim.panel->transferCount() + 1, virtual_panel::SimFault::LateReply);
            EXPECT_FALSE(c.late(sim.link()));
            if (c.abortBetween) {
                const std::size_t start = sim.panel->transferCount();
                EXPECT_TRUE(SendAbortWrite(sim.link()));
                const auto all = sim.panel->transfers();
                ASSERT_EQ(all.size() - start, 1u);
                expectCommand(kind, all.back(), {3});
            }
            if (c.reopen) {
                sim.connection.reset();
                sim.connection = PanelConnection::open(sim.host, candidateOf(sim.host, kind));
                ASSERT_TRUE(sim.connection);
            }
            const std::size_t before = sim.panel->transferCount();
            const auto info = QueryDeviceInfo(sim.link());
            ASSERT_TRUE(info);
            EXPECT_EQ(info->raw, sim.panel->settings().info.encode());
            auto wire = sim.panel->transfers();
            wire.erase(wire.begin(), wire.begin() + static_cast<std::ptrdiff_t>(before));
            ASSERT_EQ(wire.size(), c.lateAnswers + 3);
            for (std::size_t i = 0; i <= c.lateAnswers; ++i) {
                EXPECT_FALSE(wire[i].out);
                EXPECT_EQ(wire[i].status, i < c.lateAnswers ? usb::XferStatus::Ok : usb::XferStatus::Timeout) << i;
            }
            expectCommand(kind, wire[c.lateAnswers + 1], {11});
            expectReplyRead(kind, wire.back(), 64);

            const std::size_t settled = sim.panel->transferCount();
            EXPECT_EQ(QueryBusy(sim.link()), 0);
            EXPECT_EQ(sim.panel->transferCount() - settled, 2u);
        }
    }
}

TEST(WireForms, BlockWritesAreCutIntoTheKindsPieces)
{
    struct Cut {
        std::size_t length;
        // data transfer sizes per kind: vendor driver, HID (report sizes), disk
        std::vector<std::size_t> ez, hid, disk;
    };
    const auto repeat = [](std::size_t n, std::size_t size, std::vector<std::size_t> tail = {}) {
        std::vector<std::size_t> v(n, size);
        v.insert(v.end(), tail.begin(), tail.end());
        return v;
    };
    const Cut cuts[] = {
        {512, repeat(8, 64), repeat(8, 65), {512}},
        {2048, repeat(32, 64), repeat(32, 65), {2048}},
        {0xFC00, repeat(0xFC00 / 64, 64), repeat(0xFC00 / 64, 65), {0xFC00}},
        {0xFC00 + 512, repeat((0xFC00 + 512) / 64, 64), repeat((0xFC00 + 512) / 64, 65), {0xFC00, 512}},
        {100, repeat(1, 64, {36}), {}, {100}}, // HID refuses what it cannot send whole
    };
    for (const Cut& cut : cuts) {
        for (const usb::UsbKind kind : kAllKinds) {
            SCOPED_TRACE(std::string(kindName(kind)) + " length " + std::to_string(cut.length));
            SimLink sim(kind);
            Bytes data(cut.length);
            for (std::size_t i = 0; i < data.size(); ++i)
                data[i] = static_cast<std::uint8_t>(i * 7 + 1);
            std::atomic<int> done{0}, total{static_cast<int>(cut.length)};
            int lastPercent = -1;
            BlockWriteControl control{nullptr, &done, &total, [&](int p) { lastPercent = p; }};
            std::uint32_t result = 0xDEAD;
            const int rc = UsbWriteBlock(sim.link(), data, 0x200000, control, result);
            const auto& pieces = kind == usb::UsbKind::EzUsb ? cut.ez : kind == usb::UsbKind::Hid ? cut.hid : cut.disk;
            const auto wire = sim.wire();
            if (pieces.empty()) {
                EXPECT_EQ(rc, -1);
                EXPECT_TRUE(wire.empty());
                continue;
            }
            ASSERT_EQ(rc, 0);
            EXPECT_EQ(result, 0u);
            EXPECT_EQ(lastPercent, 100);
            ASSERT_EQ(wire.size(), pieces.size() + 2);
            const auto len = static_cast<std::uint32_t>(cut.length);
            expectCommand(kind, wire[0],
                          {1, 0x00, 0x00, 0x20, 0x00, static_cast<std::uint8_t>(len), static_cast<std::uint8_t>(len >> 8),
                           static_cast<std::uint8_t>(len >> 16), 0});
            for (std::size_t i = 0; i < pieces.size(); ++i) {
                const auto& t = wire[1 + i];
                EXPECT_EQ(t.bytes.size(), pieces[i]) << "piece " << i;
                if (kind == usb::UsbKind::EzUsb) {
                    EXPECT_EQ(t.pipe, 3);
                }
                if (kind == usb::UsbKind::Hid) {
                    EXPECT_EQ(t.bytes[0], 0); // report id, no marker on data
                }
                if (kind == usb::UsbKind::Disk) {
                    EXPECT_EQ(t.cdb, writeCdb(pieces[i]));
                }
            }
            expectReplyRead(kind, wire.back(), 4);
            EXPECT_EQ(sim.panel->readNand(0x200000, cut.length), data);
        }
    }
}

TEST(WireForms, ResultWordNamesTheFirstBadBlock)
{
    for (const usb::UsbKind kind : kAllKinds) {
        SCOPED_TRACE(kindName(kind));
        virtual_panel::SimUsbHost host;
        auto settings = settingsOfKind(kind);
        settings.badBlocks = {0x200000 / 0x4000 + 1};
        auto panel = host.add(settings);
        auto c = PanelConnection::open(host, candidateOf(host, kind));
        ASSERT_TRUE(c);
        const Bytes data(0x8000, 0x5A); // two blocks, the second bad
        std::uint32_t result = 0;
        EXPECT_EQ(UsbWriteBlock(c->framing(), data, 0x200000, {}, result), 0);
        EXPECT_EQ(result, 0x204000u);
        EXPECT_EQ(panel->readNand(0x200000, 16), Bytes(16, 0xFF)); // nothing written
    }
}

} // namespace
} // namespace qv::device::test
