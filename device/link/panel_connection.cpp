#include "device/link/panel_connection.h"

#include "platform/usb/open_failure_text.h"

namespace qv::device {

PanelConnection::PanelConnection(usb::UsbHost& host, usb::RawConnection raw, usb::UsbCandidate candidate,
                                 usb::Timeout timeout)
    : host_(host), raw_(std::move(raw)), candidate_(std::move(candidate)), framing_(makeFraming(raw_, timeout))
{
    lateAtOpen_ = host_.lateReplyPossible(candidate_);
    framing_->setLateReplyPossible(lateAtOpen_);
}

PanelConnection::~PanelConnection()
{
    // Only what this connection learnt: one that exchanged nothing (a scan's) leaves the
    // word of another connection to the device as it is.
    if (framing_->lateReplyPossible() != lateAtOpen_)
        host_.setLateReplyPossible(candidate_, framing_->lateReplyPossible());
}

std::unique_ptr<PanelConnection> PanelConnection::open(usb::UsbHost& host, const usb::UsbCandidate& candidate,
                                                       std::string* why, usb::Timeout timeout)
{
    usb::OpenResult opened = host.open(candidate);
    if (!opened.ok() || opened.connection.kind != candidate.kind) {
        if (why != nullptr)
            *why = opened.reason.empty() ? usb::openFailureText(usb::OpenFailure::Other) : opened.reason;
        return nullptr;
    }
    // A disk is named by its node only: look for the signature at every open, so nothing
    // is ever written to a disk that is not the panel.
    if (candidate.kind == usb::UsbKind::Disk && !hasPanelSignature(*opened.connection.disk, timeout)) {
        if (why != nullptr)
            *why = usb::openFailureText(usb::OpenFailure::NotPanel);
        return nullptr;
    }
    return std::unique_ptr<PanelConnection>(new PanelConnection(host, std::move(opened.connection), candidate, timeout));
}

} // namespace qv::device
