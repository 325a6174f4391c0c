#include "device/list/device_scan.h"

#include "device/link/panel_connection.h"
#include "platform/usb/open_failure_text.h"

namespace qv::device {
namespace {

const char* kindWord(usb::UsbKind kind)
{
    switch (kind) {
    case usb::UsbKind::EzUsb: return "USB设备(自定义类驱动)";
    case usb::UsbKind::Hid: return "USB设备(免驱动)";
    case usb::UsbKind::Disk: return "USB磁盘";
    }
    return "";
}

// The candidates that open (at most ten), with a note for each that does not. A disk
// without the signature is some other disk and is left out silently.
std::vector<usb::UsbCandidate> usable(usb::UsbHost& host, const UsbDeviceList& list,
                                      const std::vector<usb::UsbCandidate>& found, ScanNotes& notes)
{
    std::vector<usb::UsbCandidate> out;
    for (const usb::UsbCandidate& c : found) {
        if (out.size() == kMaxPerKind)
            break;
        if (list.IsHeld(c)) {
            out.push_back(c);
            continue;
        }
        std::string why;
        if (PanelConnection::open(host, c, &why)) {
            out.push_back(c);
            continue;
        }
        if (why != usb::openFailureText(usb::OpenFailure::NotPanel))
            notes.lines.push_back(std::string(kindWord(c.kind)) + " " + c.node + ": " + why + "\r\n");
    }
    return out;
}

} // namespace

ScanNotes EnumDevices(usb::UsbHost& host, UsbDeviceList& list, const std::vector<usb::UsbId>& ezUsbIds)
{
    ScanNotes notes;
    auto ez = usable(host, list, host.vendorDevices(ezUsbIds), notes);
    auto hid = usable(host, list, host.hidDevices(kHidPanelId), notes);
    auto disks = usable(host, list, host.usbDisks(), notes);
    list.Rebuild(std::move(ez), std::move(hid), std::move(disks));
    if (list.Count() == 0) {
        const std::string why = host.unavailableReason();
        if (!why.empty())
            notes.lines.push_back(why + "\r\n");
    }
    return notes;
}

ScanNotes EnumDevicesAndSelect(usb::UsbHost& host, UsbDeviceList& list, const std::vector<usb::UsbId>& ezUsbIds,
                               const std::function<void(UsbDeviceList&)>& choose)
{
    ScanNotes notes = EnumDevices(host, list, ezUsbIds);
    if (list.Count() >= 2 && choose)
        choose(list);
    return notes;
}

} // namespace qv::device
