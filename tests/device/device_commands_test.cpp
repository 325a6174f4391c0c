// Clock, FLASH test, clear and buzzer against simulated panels of every kind.
#include "device/tasks/device_texts.h"
#include "tests/device/device_command_fixture.h"

namespace qv::device::test {
namespace {

using Lines = std::vector<std::string>;

TEST(SyncPanelClock, SleepsIntoTheNextMinuteAndSendsSecondPlusOne)
{
    struct Case {
        int second;
        std::vector<std::uint8_t> sent; // year lo, hi, month, day, hour, minute, second
        std::size_t sleeps;
    };
    const Case cases[] = {
        {58, {0xEA, 0x07, 12, 10, 10, 21, 1}, 1},
        {59, {0xEA, 0x07, 12, 10, 10, 21, 1}, 1},
        {57, {0xEA, 0x07, 12, 10, 10, 20, 58}, 0},
        {0, {0xEA, 0x07, 12, 10, 10, 20, 1}, 0},
    };
    for (const Case& c : cases) {
        for (const usb::UsbKind kind : kAllKinds) {
            SCOPED_TRACE(std::string(kindName(kind)) + " at second " + std::to_string(c.second));
            CommandRig rig(localAt(10, 20, c.second));
            auto panel = rig.addPanel(kind);
            SyncPanelClockWith(rig.deviceOf(kind), rig.services);
            EXPECT_EQ(rig.clock.sleeps().size(), c.sleeps);
            EXPECT_LE(rig.clock.reads(), 2) << "no spinning on the clock";
            EXPECT_EQ(panel->events().clock, c.sent);
            EXPECT_EQ(rig.drain().messages, Lines{text::kClockSynced});
        }
    }
}

TEST(SyncPanelClock, FailuresShowNoSuccess)
{
    for (const usb::UsbKind kind : kAllKinds) {
        SCOPED_TRACE(kindName(kind));
        CommandRig failedTransfer;
        auto panel = failedTransfer.addPanel(kind);
        const Device device = failedTransfer.deviceOf(kind);
        panel->injectFault(panel->transferCount() + (kind == usb::UsbKind::Disk ? 1 : 0), virtual_panel::SimFault::Stall);
        SyncPanelClockWith(device, failedTransfer.services);
        EXPECT_EQ(failedTransfer.drain().messages, Lines{text::kUsbError});

        CommandRig unplugged;
        auto gone = unplugged.addPanel(kind);
        const Device before = unplugged.deviceOf(kind);
        gone->unplug();
        SyncPanelClockWith(before, unplugged.services);
        const Reports r = unplugged.drain();
        EXPECT_TRUE(r.messages.empty());
        ASSERT_FALSE(r.lines.empty());
        EXPECT_EQ(r.lines[0], text::kUsbNotConnected);
    }
    CommandRig none;
    SyncPanelClockWith(std::nullopt, none.services);
    EXPECT_EQ(none.drain().lines, Lines{text::kUsbNotConnected});
}

TEST(TestFlash, OnlyReplyOnePasses)
{
    enum class Trouble { None, NoReply, Disconnect };
    struct Case {
        std::uint8_t reply;
        Trouble trouble;
        bool passes;
    };
    const Case cases[] = {{1, Trouble::None, true},
                          {0, Trouble::None, false},
                          {2, Trouble::None, false},
                          {1, Trouble::NoReply, false},
                          {1, Trouble::Disconnect, false}};
    for (const Case& c : cases) {
        for (const usb::UsbKind kind : kAllKinds) {
            SCOPED_TRACE(std::string(kindName(kind)) + " reply " + std::to_string(c.reply) + " trouble " +
                         std::to_string(static_cast<int>(c.trouble)));
            CommandRig rig;
            auto panel = rig.addPanel(kind);
            panel->setFlashTestReply(c.reply);
            const Device device = rig.deviceOf(kind);
            const std::size_t open = kind == usb::UsbKind::Disk ? 1 : 0; // the signature read
            if (c.trouble == Trouble::NoReply)
                panel->injectFault(panel->transferCount() + open + 1, virtual_panel::SimFault::NoReply);
            if (c.trouble == Trouble::Disconnect)
                panel->injectFault(panel->transferCount() + open, virtual_panel::SimFault::Disconnect);
            EXPECT_EQ(TestFlashWith(device, rig.services), c.passes);
            const Reports r = rig.drain();
            if (c.passes) {
                EXPECT_EQ(r.lines, Lines{text::kFlashOkLine});
                EXPECT_TRUE(r.messages.empty());
            } else {
                EXPECT_EQ(r.messages, Lines{text::kFlashFailed});
            }
        }
    }
}

TEST(TestFlash, TheDiskPanelGetsThreeClockSecondsBeforeTheRead)
{
    for (const usb::UsbKind kind : kAllKinds) {
        SCOPED_TRACE(kindName(kind));
        CommandRig rig;
        auto panel = rig.addPanel(kind);
        const Device device = rig.deviceOf(kind);
        const std::size_t commandSent = panel->transferCount() + (kind == usb::UsbKind::Disk ? 2 : 1);
        std::vector<std::size_t> transfersAtSleep;
        rig.clock.onSleep = [&] { transfersAtSleep.push_back(panel->transferCount()); };
        EXPECT_TRUE(TestFlashWith(device, rig.services));
        if (kind == usb::UsbKind::Disk) {
            EXPECT_EQ(rig.clock.sleeps(), std::vector<std::chrono::milliseconds>(3, std::chrono::milliseconds(1000)));
            EXPECT_EQ(transfersAtSleep, std::vector<std::size_t>(3, commandSent)) << "after the command, before the read";
        } else {
            EXPECT_TRUE(rig.clock.sleeps().empty());
        }
    }
}

TEST(ClearFlashProject, ConfirmsOnlyAPassedTest)
{
    for (const std::uint8_t reply : {1, 0}) {
        CommandRig rig;
        auto panel = rig.addPanel(usb::UsbKind::Hid);
        panel->setFlashTestReply(reply);
        ClearFlashProjectWith(rig.deviceOf(usb::UsbKind::Hid), rig.services);
        EXPECT_EQ(rig.drain().messages, Lines{reply == 1 ? text::kFlashOk : text::kFlashFailed});
    }
}

TEST(Buzzer, CoefficientsGoOutUnchanged)
{
    for (const std::uint32_t coefficient : {0u, 10u, 5000u, 0xFFFFFFFFu}) {
        for (const usb::UsbKind kind : kAllKinds) {
            CommandRig rig;
            auto panel = rig.addPanel(kind);
            BeepWith(rig.deviceOf(kind), coefficient, rig.services);
            EXPECT_EQ(panel->events().buzzer, coefficient) << kindName(kind);
            EXPECT_TRUE(rig.drain().messages.empty());
        }
    }
    CommandRig none;
    BeepWith(std::nullopt, 10, none.services);
    EXPECT_EQ(none.drain().messages, Lines{text::kUsbNotConnected});
}

TEST(DeviceCommands, APanelHeldByAnOperationIsRefused)
{
    CommandRig rig;
    auto panel = rig.addPanel(usb::UsbKind::Hid);
    const Device device = rig.deviceOf(usb::UsbKind::Hid);
    UsbDeviceHold hold(rig.list, *device);
    ASSERT_TRUE(hold.held());
    const std::size_t before = panel->transferCount();
    EXPECT_FALSE(TestFlashWith(device, rig.services));
    BeepWith(device, 10, rig.services);
    EXPECT_EQ(panel->transferCount(), before);
    EXPECT_EQ(rig.drain().lines, (Lines{text::kDeviceHeld, text::kDeviceHeld}));
}

} // namespace
} // namespace qv::device::test
