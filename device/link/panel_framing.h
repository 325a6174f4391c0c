#pragma once
// One framing per kind of panel device: it gives commands, data and replies their wire form
// and checks that every transfer moved all its bytes within the time-out. The commands
// (panel_commands.h) are written once above it; the raw back ends and the simulated panel
// sit below it.
//
//   kind     command                     data piece                  reply
//   EZ-USB   the command bytes, pipe 1   pipe 3                      n bytes, pipe 0
//   HID      65-byte report, id 0,       65-byte report {0, piece}   one input report,
//            marker at 10..16            (piece <= 64)               reply from byte 1
//   disk     64-byte block, marker,      WRITE(10) at block 100      64-byte READ(10) at
//            WRITE(10) at block 100                                  block 100
#include "device/link/usb_command_packet.h"
#include "platform/usb/usb_link.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace qv::device {

inline constexpr int kCommandPipe = 1;
inline constexpr int kDataPipe = 3;
inline constexpr int kReplyPipe = 0;
inline constexpr std::size_t kPacketSize = 64;       // EZ-USB and HID data pieces
inline constexpr std::size_t kDiskChunkSize = 0xFC00; // disk data pieces
inline constexpr std::size_t kMaxReply = 64;
inline constexpr std::uint8_t kMailboxBlock = 100; // the panel's command mailbox on its disk

class PanelFraming {
public:
    explicit PanelFraming(usb::Timeout timeout) : timeout_(timeout) {}
    virtual ~PanelFraming() = default;

    virtual usb::UsbKind kind() const = 0;
    // True only when the whole frame went out. After a reply read that timed out, what the
    // panel still sends is read and dropped first: a late answer would otherwise be taken for
    // the answer to this command, and every later one read one behind.
    bool sendCommand(const UsbCommandPacket& packet);
    // A command that ends the exchange under way (a failed write's abort): sent at once; what
    // the panel may still send is read away before the next exchange's command.
    bool sendClosingCommand(const UsbCommandPacket& packet) { return transmitCommand(packet); }
    // One data transfer; `piece` is at most dataPieceSize() bytes (HID: at most 64).
    virtual bool sendData(std::span<const std::uint8_t> piece) = 0;
    // One reply of at most 64 bytes into `out`, which is zeroed first; true only when the
    // whole reply arrived.
    bool readReply(std::span<std::uint8_t> out);
    // The size of the pieces a block write is cut into.
    virtual std::size_t dataPieceSize() const = 0;
    // Whether a block of `length` bytes goes out without losing bytes (HID sends whole
    // 64-byte reports only).
    virtual bool acceptsBlockLength(std::size_t length) const { return true; }

    usb::Timeout timeout() const { return timeout_; }

    // Whether a reply read timed out and its answer may still come; a connection hands this
    // on to the next connection of the same device.
    bool lateReplyPossible() const { return lateReplyPossible_; }
    void setLateReplyPossible(bool possible) { lateReplyPossible_ = possible; }

protected:
    struct ReplyRead {
        usb::Xfer xfer;          // the read as it went
        std::size_t wanted = 0;  // what a whole reply of the kind moves
    };
    virtual bool transmitCommand(const UsbCommandPacket& packet) = 0;
    // The kind's reply read into a zeroed `out` of at most 64 bytes.
    virtual ReplyRead receiveReply(std::span<std::uint8_t> out, usb::Timeout timeout) = 0;

private:
    void dropLateReplies();

    usb::Timeout timeout_;
    bool lateReplyPossible_ = false;
};

// The framing of `raw`'s kind over it (which must outlive the framing).
std::unique_ptr<PanelFraming> makeFraming(usb::RawConnection& raw, usb::Timeout timeout = usb::kDefaultTimeout);

// The disk's 12-byte READ(10)/WRITE(10) blocks: the transfer-length field carries the byte
// count, not a count of sectors.
std::array<std::uint8_t, 12> diskWriteCdb(std::size_t length);
std::array<std::uint8_t, 12> diskReadCdb(std::uint8_t block, std::size_t length);

// Reads the first 64 bytes of the disk's block 0 and checks the panel's signature "qzkv58"
// at bytes 9..14. Only reads.
bool hasPanelSignature(usb::ScsiDisk& disk, usb::Timeout timeout = usb::kDefaultTimeout);

} // namespace qv::device
