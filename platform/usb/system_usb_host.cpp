#include "platform/usb/system_usb_host.h"

#include "platform/usb/hidraw_reports.h"
#include "platform/usb/libusb_pipes.h"
#include "platform/usb/open_failure_text.h"
#include "platform/usb/sg_disk.h"

#include <algorithm>
#include <system_error>

namespace qv::usb {
namespace {

std::vector<UsbCandidate> candidatesOf(UsbKind kind, const std::vector<UsbSysfs::Node>& nodes)
{
    std::vector<UsbCandidate> out;
    for (const UsbSysfs::Node& n : nodes)
        out.push_back({kind, n.devNode.string(), n.usb.identity()});
    return out;
}

} // namespace

std::vector<UsbCandidate> SystemUsbHost::vendorDevices(std::span<const UsbId> ids)
{
    std::vector<UsbCandidate> out;
    for (const SysfsUsbDevice& d : sysfs_.usbDevices())
        if (std::find(ids.begin(), ids.end(), d.id) != ids.end())
            out.push_back({UsbKind::EzUsb, sysfs_.devBusNode(d).string(), d.identity()});
    return out;
}

std::vector<UsbCandidate> SystemUsbHost::hidDevices(UsbId id)
{
    return candidatesOf(UsbKind::Hid, sysfs_.hidrawNodes(id));
}

std::vector<UsbCandidate> SystemUsbHost::usbDisks()
{
    return candidatesOf(UsbKind::Disk, sysfs_.usbDisks());
}

OpenResult SystemUsbHost::open(const UsbCandidate& candidate)
{
    // The node must still belong to the device the scan saw: a panel unplugged and another
    // device plugged in gets the same node name.
    const auto now = sysfs_.identityOfNode(candidate.kind, candidate.node);
    if (!now || *now != candidate.identity)
        return openFailed(now ? OpenFailure::Changed : OpenFailure::Missing);
    switch (candidate.kind) {
    case UsbKind::EzUsb: return openLibusbPipes(candidate.node);
    case UsbKind::Hid: return openHidrawReports(candidate.node);
    case UsbKind::Disk: return openSgDisk(candidate.node);
    }
    return {};
}

std::string SystemUsbHost::unavailableReason()
{
    std::error_code ec;
    const auto dir = sysfs_.root() / "sys/bus/usb/devices";
    if (!std::filesystem::is_directory(dir, ec))
        return "找不到USB设备目录 " + dir.string();
    return {};
}

} // namespace qv::usb
