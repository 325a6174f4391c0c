// The scan over simulated panels: order and kind boundaries, what is left out, the choice.
#include "device/list/device_scan.h"
#include "device/tasks/device_texts.h"
#include "platform/usb/open_failure_text.h"
#include "tests/device/sim_link_fixture.h"

namespace qv::device::test {
namespace {

const std::vector<usb::UsbId> kEzIds{{0x04B4, 0x8613}};

TEST(DeviceScan, OnePanelOfEachKindInTheKindsOrder)
{
    virtual_panel::SimUsbHost host;
    host.add(settingsOfKind(usb::UsbKind::Disk, "disk"));
    host.add(settingsOfKind(usb::UsbKind::Hid, "hid"));
    host.add(settingsOfKind(usb::UsbKind::EzUsb, "ez"));
    UsbDeviceList list;
    int chooserRuns = 0;
    const ScanNotes notes = EnumDevicesAndSelect(host, list, kEzIds, [&](UsbDeviceList& l) {
        ++chooserRuns;
        l.Select(2);
    });
    EXPECT_TRUE(notes.lines.empty());
    const auto s = list.Get();
    ASSERT_EQ(s.devices.size(), 3u);
    EXPECT_EQ(s.devices[0].node, "ez");
    EXPECT_EQ(s.devices[1].node, "hid");
    EXPECT_EQ(s.devices[2].node, "disk");
    EXPECT_EQ(s.ezUsbCount, 1);
    EXPECT_EQ(s.hidEnd, 2);
    EXPECT_EQ(s.kindAt(0), usb::UsbKind::EzUsb);
    EXPECT_EQ(s.kindAt(1), usb::UsbKind::Hid);
    EXPECT_EQ(s.kindAt(2), usb::UsbKind::Disk);
    EXPECT_EQ(chooserRuns, 1);
    EXPECT_EQ(list.Selected()->node, "disk");
    // Every scan starts again at the first entry.
    EnumDevices(host, list, kEzIds);
    EXPECT_EQ(list.Get().selected, 0);
}

TEST(DeviceScan, OnePanelNeedsNoChoice)
{
    virtual_panel::SimUsbHost host;
    host.add(settingsOfKind(usb::UsbKind::Hid));
    UsbDeviceList list;
    bool asked = false;
    EnumDevicesAndSelect(host, list, kEzIds, [&](UsbDeviceList&) { asked = true; });
    EXPECT_FALSE(asked);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Get().selected, 0);
}

TEST(DeviceScan, DevicesThatAreNoPanelsAreLeftOut)
{
    virtual_panel::SimUsbHost host;
    auto otherProduct = settingsOfKind(usb::UsbKind::Hid, "otherProduct");
    otherProduct.id.product = 0x1257;
    host.add(otherProduct);
    auto unlisted = settingsOfKind(usb::UsbKind::EzUsb, "unlistedIds");
    unlisted.id = {0x04B4, 0x1004};
    host.add(unlisted);
    auto stick = settingsOfKind(usb::UsbKind::Disk, "memoryStick");
    stick.signature = false;
    host.add(stick);
    UsbDeviceList list;
    const ScanNotes notes = EnumDevices(host, list, kEzIds);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(notes.lines.empty());
    // With the list empty every command fails its open.
    EXPECT_FALSE(list.Selected().has_value());
}

TEST(DeviceScan, APanelThatDoesNotOpenIsNamedWithItsReason)
{
    struct Case {
        usb::UsbKind kind;
        usb::OpenFailure failure;
    };
    const Case cases[] = {{usb::UsbKind::EzUsb, usb::OpenFailure::Busy},
                          {usb::UsbKind::Hid, usb::OpenFailure::NoPermission},
                          {usb::UsbKind::Disk, usb::OpenFailure::NoPermission}};
    for (const Case& c : cases) {
        SCOPED_TRACE(kindName(c.kind));
        virtual_panel::SimUsbHost host;
        host.add(settingsOfKind(c.kind, "locked"));
        host.refuseOpen("locked", c.failure);
        UsbDeviceList list;
        const ScanNotes notes = EnumDevices(host, list, kEzIds);
        EXPECT_EQ(list.Count(), 0);
        ASSERT_EQ(notes.lines.size(), 1u);
        EXPECT_NE(notes.lines[0].find("locked"), std::string::npos);
        EXPECT_NE(notes.lines[0].find(usb::openFailureText(c.failure)), std::string::npos);
    }
}

TEST(DeviceScan, ADeviceAnOperationHoldsStaysListed)
{
    virtual_panel::SimUsbHost host;
    host.add(settingsOfKind(usb::UsbKind::EzUsb, "ez"));
    UsbDeviceList list;
    EnumDevices(host, list, kEzIds);
    const auto device = *list.Selected();
    UsbDeviceHold hold(list, device);
    auto busy = PanelConnection::open(host, device); // the operation's connection claims it
    ASSERT_TRUE(busy);
    const ScanNotes notes = EnumDevices(host, list, kEzIds);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_TRUE(notes.lines.empty());
}

} // namespace
} // namespace qv::device::test
