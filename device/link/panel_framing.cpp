#include "device/link/panel_framing.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace qv::device {
namespace {

using usb::UsbKind;

class EzUsbFraming final : public PanelFraming {
public:
    EzUsbFraming(usb::BulkPipes& pipes, usb::Timeout t) : PanelFraming(t), pipes_(pipes) {}
    UsbKind kind() const override { return UsbKind::EzUsb; }
    std::size_t dataPieceSize() const override { return kPacketSize; }

    bool transmitCommand(const UsbCommandPacket& packet) override
    {
        return pipes_.bulkWrite(kCommandPipe, packet.view(), timeout()).complete(packet.size);
    }
    bool sendData(std::span<const std::uint8_t> piece) override
    {
        return pipes_.bulkWrite(kDataPipe, piece, timeout()).complete(piece.size());
    }
    ReplyRead receiveReply(std::span<std::uint8_t> out, usb::Timeout t) override
    {
        return {pipes_.bulkRead(kReplyPipe, out, t), out.size()};
    }

private:
    usb::BulkPipes& pipes_;
};

class HidFraming final : public PanelFraming {
public:
    HidFraming(usb::HidReports& hid, usb::Timeout t) : PanelFraming(t), hid_(hid) {}
    UsbKind kind() const override { return UsbKind::Hid; }
    std::size_t dataPieceSize() const override { return kPacketSize; }
    bool acceptsBlockLength(std::size_t length) const override { return length % kPacketSize == 0; }

    bool transmitCommand(const UsbCommandPacket& packet) override
    {
        std::array<std::uint8_t, kHidReportSize> report{};
        std::copy(packet.bytes.begin(), packet.bytes.begin() + packet.size, report.begin() + 1);
        UsbMarkPacket(report);
        return hid_.writeReport(report, timeout()).complete(report.size());
    }
    bool sendData(std::span<const std::uint8_t> piece) override
    {
        if (piece.size() > kPacketSize)
            return false;
        std::array<std::uint8_t, kHidReportSize> report{};
        std::copy(piece.begin(), piece.end(), report.begin() + 1);
        return hid_.writeReport(report, timeout()).complete(report.size());
    }
    ReplyRead receiveReply(std::span<std::uint8_t> out, usb::Timeout t) override
    {
        // hidraw hands over the report without its id; put id 0 back so the reply sits at
        // byte 1 as the panel sends it.
        std::array<std::uint8_t, kHidReportSize> report{};
        const ReplyRead read{hid_.readReport(std::span(report).subspan(1), t), kHidReportSize - 1};
        if (read.xfer.complete(read.wanted))
            std::copy_n(report.begin() + 1, out.size(), out.begin());
        return read;
    }

private:
    usb::HidReports& hid_;
};

class DiskFraming final : public PanelFraming {
public:
    DiskFraming(usb::ScsiDisk& disk, usb::Timeout t) : PanelFraming(t), disk_(disk) {}
    UsbKind kind() const override { return UsbKind::Disk; }
    std::size_t dataPieceSize() const override { return kDiskChunkSize; }

    bool transmitCommand(const UsbCommandPacket& packet) override
    {
        std::array<std::uint8_t, kDiskBlockSize> block{};
        std::copy(packet.bytes.begin(), packet.bytes.begin() + packet.size, block.begin());
        UsbMarkPacket(block);
        return write(block);
    }
    bool sendData(std::span<const std::uint8_t> piece) override
    {
        return piece.size() <= kDiskChunkSize && write(piece);
    }
    ReplyRead receiveReply(std::span<std::uint8_t> out, usb::Timeout t) override
    {
        std::array<std::uint8_t, kDiskBlockSize> block{};
        const auto cdb = diskReadCdb(kMailboxBlock, block.size());
        const ReplyRead read{disk_.execute(cdb, usb::ScsiDirection::FromDevice, block, t), block.size()};
        if (read.xfer.complete(read.wanted))
            std::copy_n(block.begin(), out.size(), out.begin());
        return read;
    }

private:
    bool write(std::span<const std::uint8_t> bytes)
    {
        const auto cdb = diskWriteCdb(bytes.size());
        // The pass-through takes a mutable buffer for both directions; it only reads it here.
        std::span<std::uint8_t> data(const_cast<std::uint8_t*>(bytes.data()), bytes.size());
        return disk_.execute(cdb, usb::ScsiDirection::ToDevice, data, timeout()).complete(bytes.size());
    }

    usb::ScsiDisk& disk_;
};

} // namespace

bool PanelFraming::sendCommand(const UsbCommandPacket& packet)
{
    if (lateReplyPossible_)
        dropLateReplies();
    return transmitCommand(packet);
}

void PanelFraming::dropLateReplies()
{
    // Every reply of the longest read the program makes (a flash block in 64-byte replies),
    // each read given a short time of its own: a late answer is already on its way.
    constexpr int kMostReplies = 8192;
    constexpr usb::Timeout kLateReplyWait{200};
    std::array<std::uint8_t, kMaxReply> scratch{};
    for (int i = 0; i < kMostReplies; ++i) {
        const ReplyRead read = receiveReply(scratch, std::min(timeout_, kLateReplyWait));
        if (read.xfer.status != usb::XferStatus::Ok || read.xfer.count == 0)
            break;
    }
    lateReplyPossible_ = false;
}

bool PanelFraming::readReply(std::span<std::uint8_t> out)
{
    std::fill(out.begin(), out.end(), 0);
    if (out.size() > kMaxReply)
        return false;
    const ReplyRead read = receiveReply(out, timeout_);
    if (read.xfer.status == usb::XferStatus::Timeout)
        lateReplyPossible_ = true;
    return read.xfer.complete(read.wanted);
}

std::unique_ptr<PanelFraming> makeFraming(usb::RawConnection& raw, usb::Timeout timeout)
{
    switch (raw.kind) {
    case UsbKind::EzUsb: return raw.pipes ? std::make_unique<EzUsbFraming>(*raw.pipes, timeout) : nullptr;
    case UsbKind::Hid: return raw.hid ? std::make_unique<HidFraming>(*raw.hid, timeout) : nullptr;
    case UsbKind::Disk: return raw.disk ? std::make_unique<DiskFraming>(*raw.disk, timeout) : nullptr;
    }
    return nullptr;
}

std::array<std::uint8_t, 12> diskWriteCdb(std::size_t length)
{
    return {0x2A, 0, 0, 0, 0, kMailboxBlock, 0, static_cast<std::uint8_t>(length >> 8),
            static_cast<std::uint8_t>(length & 0xFF), 0, 0, 0};
}

std::array<std::uint8_t, 12> diskReadCdb(std::uint8_t block, std::size_t length)
{
    return {0x28, 0, 0, 0, 0, block, 0, static_cast<std::uint8_t>(length >> 8),
            static_cast<std::uint8_t>(length & 0xFF), 0, 0, 0};
}

bool hasPanelSignature(usb::ScsiDisk& disk, usb::Timeout timeout)
{
    std::array<std::uint8_t, kDiskBlockSize> sector{};
    const auto cdb = diskReadCdb(0, sector.size());
    if (!disk.execute(cdb, usb::ScsiDirection::FromDevice, sector, timeout).complete(sector.size()))
        return false;
    static constexpr char kSignature[] = "qzkv58";
    return std::memcmp(sector.data() + 9, kSignature, 6) == 0;
}

} // namespace qv::device
