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

    bool sendCommand(const UsbCommandPacket& packet) override
    {
        return pipes_.bulkWrite(kCommandPipe, packet.view(), timeout()).complete(packet.size);
    }
    bool sendData(std::span<const std::uint8_t> piece) override
    {
        return pipes_.bulkWrite(kDataPipe, piece, timeout()).complete(piece.size());
    }
    bool receiveReply(std::span<std::uint8_t> out) override
    {
        return pipes_.bulkRead(kReplyPipe, out, timeout()).complete(out.size());
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

    bool sendCommand(const UsbCommandPacket& packet) override
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
    bool receiveReply(std::span<std::uint8_t> out) override
    {
        // hidraw hands over the report without its id; put id 0 back so the reply sits at
        // byte 1 as the panel sends it.
        std::array<std::uint8_t, kHidReportSize> report{};
        if (!hid_.readReport(std::span(report).subspan(1), timeout()).complete(kHidReportSize - 1))
            return false;
        std::copy_n(report.begin() + 1, out.size(), out.begin());
        return true;
    }

private:
    usb::HidReports& hid_;
};

class DiskFraming final : public PanelFraming {
public:
    DiskFraming(usb::ScsiDisk& disk, usb::Timeout t) : PanelFraming(t), disk_(disk) {}
    UsbKind kind() const override { return UsbKind::Disk; }
    std::size_t dataPieceSize() const override { return kDiskChunkSize; }

    bool sendCommand(const UsbCommandPacket& packet) override
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
    bool receiveReply(std::span<std::uint8_t> out) override
    {
        std::array<std::uint8_t, kDiskBlockSize> block{};
        const auto cdb = diskReadCdb(kMailboxBlock, block.size());
        if (!disk_.execute(cdb, usb::ScsiDirection::FromDevice, block, timeout()).complete(block.size()))
            return false;
        std::copy_n(block.begin(), out.size(), out.begin());
        return true;
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

bool PanelFraming::readReply(std::span<std::uint8_t> out)
{
    std::fill(out.begin(), out.end(), 0);
    return out.size() <= kMaxReply && receiveReply(out);
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
