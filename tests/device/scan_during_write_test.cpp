// A download keeps its device while the list is rescanned and the selection moves.
#include "device/commands/panel_commands.h"
#include "device/list/device_scan.h"
#include "tests/device/sim_link_fixture.h"

#include <thread>

namespace qv::device::test {
namespace {

TEST(ScanDuringWrite, TheWriteStaysOnItsDevice)
{
    virtual_panel::SimUsbHost host;
    auto first = host.add(settingsOfKind(usb::UsbKind::Hid, "first"));
    auto second = host.add(settingsOfKind(usb::UsbKind::Hid, "second"));
    UsbDeviceList list;
    EnumDevices(host, list, {});
    list.Select(1);
    const usb::UsbCandidate device = *list.Selected();
    ASSERT_EQ(device.node, "second");

    constexpr int kBlocks = 40;
    std::atomic<int> written{0};
    std::atomic<bool> ok{true};
    std::thread download([&] {
        UsbDeviceHold hold(list, device);
        auto c = PanelConnection::open(host, device);
        if (!c) {
            ok = false;
            return;
        }
        for (int b = 0; b < kBlocks; ++b) {
            std::uint32_t result = 1;
            const Bytes block(512, static_cast<std::uint8_t>(b + 1));
            if (UsbWriteBlock(c->framing(), block, 0x200000 + b * 512, {}, result) != 0 || result != 0)
                ok = false;
            ++written;
        }
    });
    // Rescans while the blocks go out: each moves the selection back to "first".
    while (written.load() < kBlocks) {
        EnumDevices(host, list, {});
        EXPECT_EQ(list.Selected()->node, "first");
    }
    download.join();
    EXPECT_TRUE(ok.load());
    for (int b = 0; b < kBlocks; ++b)
        EXPECT_EQ(second->readNand(0x200000 + b * 512, 512), Bytes(512, static_cast<std::uint8_t>(b + 1))) << b;
    EXPECT_EQ(first->readNand(0x200000, kBlocks * 512), Bytes(kBlocks * 512, 0xFF));
    EXPECT_EQ(first->events().ignoredCommands, 0);
}

} // namespace
} // namespace qv::device::test
