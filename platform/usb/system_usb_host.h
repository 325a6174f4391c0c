#pragma once
// The machine's own USB devices: candidates from sysfs under the root folder, opened through
// libusb, hidraw or SG_IO.
#include "platform/usb/usb_sysfs.h"

namespace qv::usb {

class SystemUsbHost final : public UsbHost {
public:
    explicit SystemUsbHost(std::filesystem::path root = usbHostRoot()) : sysfs_(std::move(root)) {}

    std::vector<UsbCandidate> vendorDevices(std::span<const UsbId> ids) override;
    std::vector<UsbCandidate> hidDevices(UsbId id) override;
    std::vector<UsbCandidate> usbDisks() override;
    OpenResult open(const UsbCandidate& candidate) override;
    std::string unavailableReason() override;

private:
    UsbSysfs sysfs_;
};

} // namespace qv::usb
