#pragma once
// The raw transfers of the three kinds of panel device, below any framing: bulk pipes of a
// vendor-driver (EZ-USB) device, 65-byte HID reports, SCSI commands to the panel's disk.
// The real back ends (libusb, hidraw, SG_IO) and the simulated panel implement the same
// interfaces, so the framing above runs unchanged against either.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace qv::usb {

enum class UsbKind { EzUsb, Hid, Disk };

enum class XferStatus { Ok, Timeout, Disconnected, Stall, Error };

// What one transfer did: its status and the bytes it moved.
struct Xfer {
    XferStatus status = XferStatus::Error;
    std::size_t count = 0;
    bool complete(std::size_t wanted) const { return status == XferStatus::Ok && count == wanted; }
};

using Timeout = std::chrono::milliseconds;
inline constexpr Timeout kDefaultTimeout{3000};

// Vendor-driver device: pipe n is the n-th endpoint of the claimed interface.
class BulkPipes {
public:
    virtual ~BulkPipes() = default;
    virtual Xfer bulkWrite(int pipe, std::span<const std::uint8_t> bytes, Timeout timeout) = 0;
    virtual Xfer bulkRead(int pipe, std::span<std::uint8_t> into, Timeout timeout) = 0;
};

// HID device: output reports are written whole (report id first); input reports arrive
// without their report id, as hidraw delivers unnumbered reports.
class HidReports {
public:
    virtual ~HidReports() = default;
    virtual Xfer writeReport(std::span<const std::uint8_t> report, Timeout timeout) = 0;
    virtual Xfer readReport(std::span<std::uint8_t> into, Timeout timeout) = 0;
};

enum class ScsiDirection { None, ToDevice, FromDevice };

// Disk: one SCSI command with its data phase. `count` is the bytes moved.
class ScsiDisk {
public:
    virtual ~ScsiDisk() = default;
    virtual Xfer execute(std::span<const std::uint8_t, 12> cdb, ScsiDirection direction,
                         std::span<std::uint8_t> data, Timeout timeout) = 0;
};

// One open device of any kind: exactly the member of its kind is set.
struct RawConnection {
    UsbKind kind = UsbKind::EzUsb;
    std::unique_ptr<BulkPipes> pipes;
    std::unique_ptr<HidReports> hid;
    std::unique_ptr<ScsiDisk> disk;
    bool valid() const
    {
        switch (kind) {
        case UsbKind::EzUsb: return pipes != nullptr;
        case UsbKind::Hid: return hid != nullptr;
        case UsbKind::Disk: return disk != nullptr;
        }
        return false;
    }
};

// Why a device did not open, for the output bar.
enum class OpenFailure { None, Missing, NoPermission, Busy, Changed, NotPanel, Other };

struct OpenResult {
    RawConnection connection;
    OpenFailure failure = OpenFailure::None;
    std::string reason; // GBK text for the user when the open failed
    bool ok() const { return failure == OpenFailure::None && connection.valid(); }
};

} // namespace qv::usb
