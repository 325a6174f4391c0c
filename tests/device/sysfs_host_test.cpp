// The machine's host reads sysfs under a root folder: a fake tree shows what it lists.
#include "device/list/device_scan.h"
#include "platform/usb/open_failure_text.h"
#include "platform/usb/system_usb_host.h"
#include "tests/fixtures/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>

namespace qv::device::test {
namespace {

namespace fs = std::filesystem;

void write(const fs::path& file, const std::string& text)
{
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text << "\n";
}

void usbDevice(const fs::path& dir, const char* vid, const char* pid, int bus, int dev, const char* devpath)
{
    write(dir / "idVendor", vid);
    write(dir / "idProduct", pid);
    write(dir / "busnum", std::to_string(bus));
    write(dir / "devnum", std::to_string(dev));
    write(dir / "devpath", devpath);
    write(dir / "serial", "S1");
}

void link(const fs::path& target, const fs::path& at)
{
    fs::create_directories(at.parent_path());
    fs::create_directory_symlink(fs::relative(target, at.parent_path()), at);
}

TEST(SysfsHost, AnEmptyRootListsNothingAndSaysWhy)
{
    qv::test::TempDir root;
    usb::SystemUsbHost host(root.path());
    UsbDeviceList list;
    const ScanNotes notes = EnumDevices(host, list, {{0x04B4, 0x8613}});
    EXPECT_EQ(list.Count(), 0);
    ASSERT_EQ(notes.lines.size(), 1u);
    EXPECT_NE(notes.lines[0].find((root.path() / "sys/bus/usb/devices").string()), std::string::npos);
}

TEST(SysfsHost, FindsPanelsByIdsAndUsbDisksOnly)
{
    qv::test::TempDir root;
    const fs::path sys = root.path() / "sys";
    const fs::path hub = sys / "devices/pci0000:00/usb1";
    // Listed in port order: 1-3 before 1-10, whatever the folder order.
    usbDevice(hub / "1-10", "04b4", "8613", 1, 9, "10");
    usbDevice(hub / "1-3", "04b4", "8613", 1, 4, "3");
    usbDevice(hub / "1-4", "5345", "1256", 1, 5, "4");
    usbDevice(hub / "1-5", "0781", "5567", 1, 6, "5");
    for (const char* d : {"1-10", "1-3", "1-4", "1-5"})
        link(hub / d, sys / "bus/usb/devices" / d);
    const fs::path hid = hub / "1-4/1-4:1.0/0003:5345:1256.0001";
    write(hid / "uevent", "DRIVER=hid-generic\nHID_ID=0003:00005345:00001256");
    fs::create_directories(hid / "hidraw/hidraw2");
    link(hid, hid / "hidraw/hidraw2/device");
    link(hid / "hidraw/hidraw2", sys / "class/hidraw/hidraw2");
    const fs::path usbDisk = hub / "1-5/1-5:1.0/host6/target6:0:0/6:0:0:0/block/sdb";
    const fs::path ataDisk = sys / "devices/pci0000:00/ata1/host0/target0:0:0/0:0:0:0/block/sda";
    fs::create_directories(usbDisk);
    fs::create_directories(ataDisk);
    link(usbDisk, sys / "block/sdb");
    link(ataDisk, sys / "block/sda");

    usb::SystemUsbHost host(root.path());
    const std::vector<usb::UsbId> ids{{0x04B4, 0x8613}};
    const auto ez = host.vendorDevices(ids);
    ASSERT_EQ(ez.size(), 2u);
    EXPECT_EQ(ez[0].node, (root.path() / "dev/bus/usb/001/004").string());
    EXPECT_EQ(ez[1].node, (root.path() / "dev/bus/usb/001/009").string());
    const auto hids = host.hidDevices({0x5345, 0x1256});
    ASSERT_EQ(hids.size(), 1u);
    EXPECT_EQ(hids[0].node, (root.path() / "dev/hidraw2").string());
    EXPECT_TRUE(host.hidDevices({0x5345, 0x1257}).empty());
    const auto disks = host.usbDisks();
    ASSERT_EQ(disks.size(), 1u) << "the internal disk is never a candidate";
    EXPECT_EQ(disks[0].node, (root.path() / "dev/sdb").string());

    // The nodes are not there: found, not opened, and said why.
    UsbDeviceList list;
    const ScanNotes notes = EnumDevices(host, list, ids);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(notes.lines.size(), 4u);
    // A node that another device took since the scan is refused.
    usb::UsbCandidate stale = hids[0];
    stale.identity = "1-9 5345:1256 other";
    EXPECT_EQ(host.open(stale).failure, usb::OpenFailure::Changed);
}

} // namespace
} // namespace qv::device::test
