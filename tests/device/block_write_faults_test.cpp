// A block write that loses its panel anywhere, or is aborted, reports -1, never success.
#include "device/commands/panel_commands.h"
#include "tests/device/sim_link_fixture.h"

namespace qv::device::test {
namespace {

TEST(BlockWriteFaults, AnyFaultAtAnyTransferGivesMinusOne)
{
    const virtual_panel::SimFault faults[] = {virtual_panel::SimFault::Disconnect, virtual_panel::SimFault::ShortTransfer, virtual_panel::SimFault::Stall,
                                    virtual_panel::SimFault::NoReply};
    for (const usb::UsbKind kind : kAllKinds) {
        // 512 bytes: command, the pieces, the result read.
        const std::size_t transfers = kind == usb::UsbKind::Disk ? 3 : 10;
        for (const virtual_panel::SimFault fault : faults) {
            for (std::size_t at = 0; at < transfers; ++at) {
                SCOPED_TRACE(std::string(kindName(kind)) + " fault " + std::to_string(static_cast<int>(fault)) +
                             " at " + std::to_string(at));
                SimLink sim(kind);
                sim.panel->injectFault(sim.opened + at, fault);
                std::uint32_t result = 0;
                EXPECT_EQ(UsbWriteBlock(sim.link(), Bytes(512, 1), 0x200000, {}, result), -1);
                const auto wire = sim.wire();
                ASSERT_EQ(wire.size(), at + 2) << "stops at the fault and sends the abort";
                if (fault != virtual_panel::SimFault::Disconnect)
                    expectCommand(kind, wire.back(), {3});
            }
        }
    }
}

TEST(BlockWriteFaults, AbortFlagDuringTheWriteSendsCommandThree)
{
    for (const usb::UsbKind kind : kAllKinds) {
        SCOPED_TRACE(kindName(kind));
        SimLink sim(kind);
        std::atomic<int> abort{0}, done{0}, total{0x20000};
        int pieces = 0;
        BlockWriteControl control{&abort, &done, &total, [&](int) {
                                      if (++pieces == 1)
                                          abort = 1; // the user presses abort after the first piece
                                  }};
        std::uint32_t result = 0;
        EXPECT_EQ(UsbWriteBlock(sim.link(), Bytes(0x20000, 2), 0x200000, control, result), -1);
        const auto wire = sim.wire();
        ASSERT_EQ(wire.size(), 3u); // command, one piece, abort
        expectCommand(kind, wire.back(), {3});
        EXPECT_EQ(sim.panel->events().aborts, 1);
        EXPECT_EQ(sim.panel->readNand(0x200000, 4), Bytes(4, 0xFF));
    }
}

TEST(BlockWriteFaults, AbortSetBeforeTheStartTouchesNothing)
{
    for (const usb::UsbKind kind : kAllKinds) {
        SCOPED_TRACE(kindName(kind));
        SimLink sim(kind);
        std::atomic<int> abort{1};
        std::uint32_t result = 7;
        EXPECT_EQ(UsbWriteBlock(sim.link(), Bytes(512, 1), 0, {&abort, nullptr, nullptr, {}}, result), -1);
        EXPECT_TRUE(sim.wire().empty());
        EXPECT_EQ(result, 7u);
    }
}

TEST(BlockWriteFaults, RepliesFromADeadPanelAreNeverTakenAsAnswers)
{
    for (const usb::UsbKind kind : kAllKinds) {
        SCOPED_TRACE(kindName(kind));
        SimLink sim(kind);
        sim.panel->injectFault(sim.opened + 1, virtual_panel::SimFault::NoReply);
        EXPECT_FALSE(QueryDeviceInfo(sim.link()).has_value());
        SimLink dead(kind);
        dead.panel->injectFault(dead.opened, virtual_panel::SimFault::Disconnect);
        EXPECT_FALSE(QueryBusy(dead.link()).has_value());
        EXPECT_FALSE(SendPanelClock(dead.link(), PanelTime{}));
    }
}

} // namespace
} // namespace qv::device::test
