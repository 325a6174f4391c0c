#pragma once
// Where panels come from: the candidates of each kind a scan finds, and the open of one of
// them. The system's host reads sysfs and opens device nodes; the simulated panel's host
// answers from its panels. The scan and every command above are written once against this.
#include "platform/usb/usb_link.h"

#include <cstdint>
#include <mutex>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace qv::usb {

struct UsbId {
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    bool operator==(const UsbId&) const = default;
};

// A device a scan found. `identity` is what the scan saw (USB port path, ids, serial): an
// open later refuses the node when another device sits there now.
struct UsbCandidate {
    UsbKind kind = UsbKind::EzUsb;
    std::string node;     // the device node (host path) or the simulated panel's name
    std::string identity;
    bool operator==(const UsbCandidate&) const = default;
};

class UsbHost {
public:
    virtual ~UsbHost() = default;
    // Vendor-driver devices whose ids are in `ids`, in bus and port order.
    virtual std::vector<UsbCandidate> vendorDevices(std::span<const UsbId> ids) = 0;
    // HID devices with exactly this vendor and product id, in bus and port order.
    virtual std::vector<UsbCandidate> hidDevices(UsbId id) = 0;
    // Disks attached through USB (never internal disks), in bus and port order.
    virtual std::vector<UsbCandidate> usbDisks() = 0;
    // Opens the candidate after checking that the node still is the device the scan saw.
    virtual OpenResult open(const UsbCandidate& candidate) = 0;
    // Why no device can be found at all (nothing to read), else empty. GBK.
    virtual std::string unavailableReason() { return {}; }

    // Devices whose last reply read timed out, so that their answer may still come: the
    // next connection to one reads it away before its first command.
    bool lateReplyPossible(const UsbCandidate& device) const
    {
        std::lock_guard lock(lateLock_);
        return late_.count(device.node) != 0;
    }
    void setLateReplyPossible(const UsbCandidate& device, bool possible)
    {
        std::lock_guard lock(lateLock_);
        if (possible)
            late_.insert(device.node);
        else
            late_.erase(device.node);
    }

private:
    mutable std::mutex lateLock_;
    std::set<std::string> late_;
};

} // namespace qv::usb
