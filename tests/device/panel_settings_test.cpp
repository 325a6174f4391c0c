// The texts that name panels: the vendor-driver id list and the simulated panels' settings.
#include "device/list/ezusb_ids.h"
#include "device/virtual_panel/sim_usb_host.h"

#include <gtest/gtest.h>

namespace qv::device::test {
namespace {

TEST(EzUsbIds, ParsesListedPairsAndSkipsTheRest)
{
    struct Case {
        const char* text;
        char separator;
        std::vector<usb::UsbId> ids;
    };
    const Case cases[] = {
        {"04b4:8613,04B4:1004", ',', {{0x04B4, 0x8613}, {0x04B4, 0x1004}}},
        {"# panels\n 04b4:8613 \n\nzz:1\n10000:1\n04b4:8613 # again\n", '\n', {{0x04B4, 0x8613}, {0x04B4, 0x8613}}},
        {"", ',', {}},
        {"04b4", ',', {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseEzUsbIds(c.text, c.separator), c.ids) << c.text;
}

TEST(SimPanelSettings, ParsesKindsAndKeysAndRefusesTheUnknown)
{
    std::string why;
    const auto panels = virtual_panel::parseSimPanels("ezusb;hid,name=front,pid=1257,flashtest=0,busy=2;disk,signature=0,bad=3+9,"
                                       "refuse=permission",
                                       &why);
    ASSERT_TRUE(panels) << why;
    ASSERT_EQ(panels->size(), 3u);
    EXPECT_EQ((*panels)[0].first.kind, usb::UsbKind::EzUsb);
    const auto& hid = (*panels)[1].first;
    EXPECT_EQ(hid.name, "front");
    EXPECT_EQ(hid.id, (usb::UsbId{0x5345, 0x1257}));
    EXPECT_EQ(hid.flashTestReply, 0);
    EXPECT_EQ(hid.busyReplies, 2);
    const auto& disk = (*panels)[2];
    EXPECT_FALSE(disk.first.signature);
    EXPECT_EQ(disk.first.badBlocks, (std::set<std::uint32_t>{3, 9}));
    EXPECT_EQ(disk.second, usb::OpenFailure::NoPermission);

    for (const char* bad : {"floppy", "hid,pid=10000", "hid,colour=1", "hid,busy", "disk,bad=1+x"}) {
        why.clear();
        EXPECT_FALSE(virtual_panel::parseSimPanels(bad, &why)) << bad;
        EXPECT_FALSE(why.empty()) << bad;
    }
}

} // namespace
} // namespace qv::device::test
