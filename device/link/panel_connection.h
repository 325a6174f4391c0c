#pragma once
// One open panel: the raw device and its kind's framing. A single command opens and closes
// one; a download or an upgrade keeps one from start to end. The host must outlive it.
#include "device/link/panel_framing.h"
#include "platform/usb/usb_host.h"

#include <memory>
#include <string>

namespace qv::device {

class PanelConnection {
public:
    // Opens `candidate` on `host`; a disk must still carry the panel's signature. nullptr
    // (with the reason in `why`, GBK) when it does not open.
    static std::unique_ptr<PanelConnection> open(usb::UsbHost& host, const usb::UsbCandidate& candidate,
                                                 std::string* why = nullptr,
                                                 usb::Timeout timeout = usb::kDefaultTimeout);

    // The host keeps whether a late answer may still come, for the next connection.
    ~PanelConnection();

    PanelFraming& framing() { return *framing_; }
    usb::UsbKind kind() const { return framing_->kind(); }
    const usb::UsbCandidate& candidate() const { return candidate_; }

private:
    PanelConnection(usb::UsbHost& host, usb::RawConnection raw, usb::UsbCandidate candidate, usb::Timeout timeout);
    usb::UsbHost& host_;
    usb::RawConnection raw_;
    usb::UsbCandidate candidate_;
    std::unique_ptr<PanelFraming> framing_;
    bool lateAtOpen_ = false;
};

} // namespace qv::device
