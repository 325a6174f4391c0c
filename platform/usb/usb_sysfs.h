#pragma once
// The USB devices, hidraw nodes and USB disks as sysfs describes them, read under a root
// folder ("/" normally; tests set another through QV_USB_ROOT). Nothing here opens a device.
#include "platform/usb/usb_host.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace qv::usb {

inline constexpr const char* kUsbRootEnv = "QV_USB_ROOT";

// QV_USB_ROOT when set, else "/".
std::filesystem::path usbHostRoot();

// One USB device (not an interface) of /sys/bus/usb/devices.
struct SysfsUsbDevice {
    std::filesystem::path sysDir;
    UsbId id;
    int busnum = 0;
    int devnum = 0;
    std::string devpath; // port path below the root hub, "1.2"
    std::string serial;
    // Identity shown to the scan: "bus-port vvvv:pppp serial".
    std::string identity() const;
    // The bus and port order key.
    std::vector<int> orderKey() const;
};

class UsbSysfs {
public:
    explicit UsbSysfs(std::filesystem::path root) : root_(std::move(root)) {}
    const std::filesystem::path& root() const { return root_; }

    std::vector<SysfsUsbDevice> usbDevices() const;
    // The USB device a sysfs device folder hangs below, if any.
    std::optional<SysfsUsbDevice> usbAncestor(const std::filesystem::path& sysDir) const;

    struct Node {
        std::filesystem::path devNode;
        SysfsUsbDevice usb;
    };
    std::vector<Node> hidrawNodes(UsbId id) const; // USB HID with these ids
    std::vector<Node> usbDisks() const;            // sd* disks below a USB device
    // The identity of whatever device now owns a node the scan named, or nullopt.
    std::optional<std::string> identityOfNode(UsbKind kind, const std::filesystem::path& devNode) const;

    std::filesystem::path devBusNode(const SysfsUsbDevice& d) const;

private:
    std::optional<SysfsUsbDevice> readUsbDevice(const std::filesystem::path& dir) const;
    std::filesystem::path root_;
};

void sortByPort(std::vector<UsbSysfs::Node>& nodes);

} // namespace qv::usb
