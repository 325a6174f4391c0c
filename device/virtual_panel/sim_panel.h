#pragma once
// A panel in software, below the framing: it takes raw transfers (bulk pipes, HID reports,
// SCSI commands) and decodes them as the panel's firmware does, with its own reading of the
// command tables. Tests plug it in directly; QV_SIM_PANELS plugs it into the program.
//
// It holds a NAND of the reported geometry (sparse, erased 0xFF) with bad blocks, answers
// busy and FLASH-test queries, records every raw transfer, and fails any transfer on demand.
#include "device/commands/device_info.h"
#include "device/virtual_panel/sim_jtag.h"
#include "model/app/nand_geometry.h"
#include "platform/usb/usb_host.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace qv::device::virtual_panel {

struct SimPanelSettings {
    usb::UsbKind kind = usb::UsbKind::Hid;
    std::string name = "panel";
    usb::UsbId id{0x5345, 0x1256};
    DeviceInfo info = defaultInfo();
    NandGeometry nand = kDefaultNandGeometry;
    std::set<std::uint32_t> badBlocks; // block numbers
    std::uint8_t flashTestReply = 1;
    int busyReplies = 0;   // this many busy queries are answered 1, later ones 0
    bool signature = true; // disk: "qzkv58" in block 0
    // The picture tool's queries: flash type ('X') and picture directory address ('Y').
    std::uint8_t toolFlashType = 0;
    std::uint32_t toolDirectory = 0;
    SimFpgaSettings fpga;  // the JTAG target behind command 7
    static DeviceInfo defaultInfo();
};

// Hang: the transfer waits until releaseHang() and then times out (a silent panel).
// LateReply: a read times out, but the answer it waited for comes afterwards: it stays for
// the next read (a transfer to the panel goes through as usual).
enum class SimFault { Disconnect, ShortTransfer, Stall, NoReply, Hang, LateReply };

struct SimTransfer {
    bool out = true;                 // host to panel
    int pipe = -1;                   // vendor driver: the pipe
    std::vector<std::uint8_t> cdb;   // disk: the SCSI command
    std::vector<std::uint8_t> bytes; // what went out or came back
    usb::XferStatus status = usb::XferStatus::Ok;
};

// What the panel was told besides block writes.
struct SimPanelEvents {
    std::optional<std::vector<std::uint8_t>> clock; // year lo, hi, month, day, hour, minute, second
    std::optional<std::uint32_t> buzzer;
    int resets = 0;
    int aborts = 0;
    int upgrades = 0;
    int ignoredCommands = 0; // command frames without the marker
    int prepares = 0;        // the picture tool's 'Z'
    int releases = 0;        // the picture tool's '['
    std::vector<std::uint8_t> raw; // bytes after the raw-data command 0x05
};

class SimPanel {
public:
    explicit SimPanel(SimPanelSettings settings);

    const SimPanelSettings& settings() const { return settings_; }
    void setDeviceInfo(const DeviceInfo& info);
    void setFlashTestReply(std::uint8_t reply);
    // Fails the transfer with this index (counted from 0 over the panel's life).
    void injectFault(std::size_t transferIndex, SimFault fault);
    std::size_t transferCount() const;
    std::vector<SimTransfer> transfers() const;
    // Off: transfers are counted but not kept (long runs such as benchmarks).
    void setRecording(bool on);
    SimPanelEvents events() const;
    std::vector<std::uint8_t> readNand(std::uint32_t address, std::size_t length) const;
    // Changes the flash behind the host's back (a damaged panel).
    void writeNand(std::uint32_t address, const std::vector<std::uint8_t>& bytes);
    void setBadBlocks(std::set<std::uint32_t> blocks);

    // The FPGA as the upgrade left it; nullopt before command 7 switched the panel into
    // upgrade mode, after which unmarked data frames are JTAG packets.
    std::optional<SimJtagTarget> jtagTarget() const;

    void releaseHang();
    // True once a transfer waits in a Hang fault.
    bool hanging() const;
    void unplug();
    // Plugged in again after an unplug or a Disconnect fault; the flash keeps what it had.
    void replug();
    bool plugged() const;

    // The raw device of the panel's kind, as a back end hands it to the framing.
    usb::RawConnection connect();
    void disconnectClient(); // an open client went away (vendor driver: the claim ends)
    bool claimed() const;

    // Raw transfers (the connection's objects call these).
    usb::Xfer bulk(bool out, int pipe, std::span<std::uint8_t> bytes);
    usb::Xfer report(bool out, std::span<std::uint8_t> bytes);
    usb::Xfer scsi(std::span<const std::uint8_t, 12> cdb, bool out, std::span<std::uint8_t> data);

private:
    // Applies a fault to this transfer; true when the transfer is to go on normally.
    bool beginTransfer(std::unique_lock<std::mutex>& lock, SimTransfer& t, usb::Xfer& result,
                       std::span<std::uint8_t> bytes);
    void record(SimTransfer t, const usb::Xfer& result);
    void onCommand(std::span<const std::uint8_t> command);
    void onData(std::span<const std::uint8_t> data);
    void onJtag(std::span<const std::uint8_t> packet);
    void program(std::uint32_t address, const std::vector<std::uint8_t>& data);
    std::vector<std::uint8_t> nandBytes(std::uint32_t address, std::size_t length) const;
    std::optional<std::vector<std::uint8_t>> takeReply();
    bool isMarkedAbort(std::span<const std::uint8_t> frame, std::size_t codeAt) const;

    mutable std::mutex mutex_;
    std::condition_variable hangEnds_;
    bool hanging_ = false;
    bool hangReleased_ = false;
    SimPanelSettings settings_;
    std::map<std::uint32_t, std::vector<std::uint8_t>> pages_;
    std::deque<std::vector<std::uint8_t>> replies_;
    std::map<std::size_t, SimFault> faults_;
    std::vector<SimTransfer> record_;
    SimPanelEvents events_;
    std::size_t transferIndex_ = 0;
    bool plugged_ = true;
    bool recording_ = true;
    bool claimed_ = false;
    int busyAnswered_ = 0;
    bool rawData_ = false;
    std::optional<SimJtagTarget> jtag_;
    // A block write in progress: address, length, bytes so far.
    std::optional<std::uint32_t> writeAddress_;
    std::uint32_t writeLength_ = 0;
    std::vector<std::uint8_t> writeData_;
};

} // namespace qv::device::virtual_panel
