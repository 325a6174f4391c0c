#include "picture_tool/link/usb_tool_link.h"

#include "compiler/image/le_bytes.h"
#include "device/link/panel_framing.h"
#include "device/list/ezusb_ids.h"

#include <array>

namespace qv::picture_tool {

UsbToolLink::UsbToolLink(std::unique_ptr<usb::BulkPipes> pipes, TransferContext& context, usb::Timeout timeout)
    : pipes_(std::move(pipes)), context_(context), timeout_(timeout)
{
}

std::unique_ptr<usb::BulkPipes> UsbToolLink::openFirst(usb::UsbHost& host, std::string* why)
{
    const auto ids = device::EzUsbPanelIds();
    const auto found = host.vendorDevices(ids);
    if (found.empty()) {
        if (why)
            *why = host.unavailableReason();
        return nullptr;
    }
    usb::OpenResult r = host.open(found.front());
    if (!r.ok()) {
        if (why)
            *why = r.reason;
        return nullptr;
    }
    return std::move(r.connection.pipes);
}

bool UsbToolLink::command(std::uint8_t code)
{
    const std::array<std::uint8_t, 1> b{code};
    return pipes_->bulkWrite(device::kCommandPipe, b, timeout_).complete(1);
}

std::optional<std::vector<std::uint8_t>> UsbToolLink::read(std::size_t n)
{
    std::vector<std::uint8_t> b(n, 0);
    if (!pipes_->bulkRead(device::kReplyPipe, b, timeout_).complete(n))
        return std::nullopt;
    return b;
}

std::optional<std::vector<std::uint8_t>> UsbToolLink::ask(std::uint8_t code, std::size_t n)
{
    if (!command(code))
        return std::nullopt;
    return read(n);
}

bool UsbToolLink::pieces(std::span<const std::uint8_t> data, bool counted)
{
    const std::size_t full = data.size() / kUsbPiece;
    for (std::size_t k = 0; k < full; ++k) {
        if (!pipes_->bulkWrite(device::kDataPipe, data.subspan(k * kUsbPiece, kUsbPiece), timeout_).complete(kUsbPiece))
            return false;
        if (counted) {
            if (context_.aborted())
                return false;
            context_.progress.piece(k + 1, full);
        }
    }
    const std::size_t rest = data.size() % kUsbPiece;
    return rest == 0 || pipes_->bulkWrite(device::kDataPipe, data.subspan(full * kUsbPiece), timeout_).complete(rest);
}

bool UsbToolLink::writeBlock(std::span<const std::uint8_t> data, std::uint32_t address, std::uint32_t& status)
{
    context_.progress.blockStart();
    std::array<std::uint8_t, 9> head{usbcmd::kWrite};
    image::putU32(head, 1, address);
    image::putU32(head, 5, static_cast<std::uint32_t>(data.size()));
    bool ok = pipes_->bulkWrite(device::kCommandPipe, head, timeout_).complete(head.size()) && pieces(data, true);
    if (ok) {
        context_.progress.blockEnd();
        const auto word = read(4);
        ok = word.has_value();
        if (ok)
            status = image::getU32(*word, 0);
    }
    if (!ok)
        command(usbcmd::kStop); // the pipes stay with their owner, who closes them once
    return ok;
}

bool UsbToolLink::writeRaw(std::span<const std::uint8_t> bytes)
{
    if (!command(usbcmd::kRaw))
        return false;
    if (pieces(bytes, false))
        return true;
    command(usbcmd::kStop);
    return false;
}

} // namespace qv::picture_tool
