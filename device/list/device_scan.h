#pragma once
// The device scan: rebuilds the application's list from what the host finds. A device is
// listed only when it opens (a disk also needs the panel's signature); a panel that is found
// but does not open is named with its reason. A device an operation holds is listed as it
// is, without being opened again.
#include "model/app/usb_device_list.h"
#include "platform/usb/usb_host.h"

#include <functional>
#include <string>
#include <vector>

namespace qv::device {

inline constexpr usb::UsbId kHidPanelId{0x5345, 0x1256};
inline constexpr std::size_t kMaxPerKind = 10;

struct ScanNotes {
    std::vector<std::string> lines; // GBK lines for the output bar, each ending "\r\n"
};

// EnumDevices: rebuilds `list` (selection back to 0).
ScanNotes EnumDevices(usb::UsbHost& host, UsbDeviceList& list, const std::vector<usb::UsbId>& ezUsbIds);

// EnumDevicesAndSelect: EnumDevices, then `choose` when two or more devices are listed.
ScanNotes EnumDevicesAndSelect(usb::UsbHost& host, UsbDeviceList& list, const std::vector<usb::UsbId>& ezUsbIds,
                               const std::function<void(UsbDeviceList&)>& choose);

} // namespace qv::device
