#include "device/virtual_panel/sim_panel.h"

#include "compiler/image/image_layout.h"

#include <algorithm>
#include <cstring>

namespace qv::device::virtual_panel {
namespace {

using usb::Xfer;
using usb::XferStatus;

// The panel's own reading of the command tables.
constexpr std::uint8_t kWrite = 1, kBusy = 2, kAbort = 3, kReset = 4, kRead = 6, kUpgrade = 7, kInfo = 11,
                       kClock = 0x30, kFlashTest = 0x31, kBuzzer = 0x32;
// The picture tool's one-byte commands.
constexpr std::uint8_t kRawData = 5, kToolFlashType = 'X', kToolDirectory = 'Y', kToolPrepare = 'Z',
                       kToolRelease = '[';
constexpr std::size_t kMarkAt = 10;
constexpr char kMark[] = "usb-hid";
constexpr std::uint8_t kOpWrite10 = 0x2A, kOpRead10 = 0x28, kMailbox = 100;

std::uint32_t le32(std::span<const std::uint8_t> b, std::size_t at)
{
    if (b.size() < at + 4)
        return 0;
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

bool marked(std::span<const std::uint8_t> frame)
{
    return frame.size() >= kMarkAt + 7 && std::memcmp(frame.data() + kMarkAt, kMark, 7) == 0;
}

class SimPipes final : public usb::BulkPipes {
public:
    explicit SimPipes(SimPanel& p) : p_(p) {}
    ~SimPipes() override { p_.disconnectClient(); }
    Xfer bulkWrite(int pipe, std::span<const std::uint8_t> b, usb::Timeout) override
    {
        std::vector<std::uint8_t> copy(b.begin(), b.end());
        return p_.bulk(true, pipe, copy);
    }
    Xfer bulkRead(int pipe, std::span<std::uint8_t> into, usb::Timeout) override { return p_.bulk(false, pipe, into); }

private:
    SimPanel& p_;
};

class SimReports final : public usb::HidReports {
public:
    explicit SimReports(SimPanel& p) : p_(p) {}
    Xfer writeReport(std::span<const std::uint8_t> r, usb::Timeout) override
    {
        std::vector<std::uint8_t> copy(r.begin(), r.end());
        return p_.report(true, copy);
    }
    Xfer readReport(std::span<std::uint8_t> into, usb::Timeout) override { return p_.report(false, into); }

private:
    SimPanel& p_;
};

class SimDisk final : public usb::ScsiDisk {
public:
    explicit SimDisk(SimPanel& p) : p_(p) {}
    Xfer execute(std::span<const std::uint8_t, 12> cdb, usb::ScsiDirection d, std::span<std::uint8_t> data,
                 usb::Timeout) override
    {
        return p_.scsi(cdb, d == usb::ScsiDirection::ToDevice, data);
    }

private:
    SimPanel& p_;
};

} // namespace

DeviceInfo SimPanelSettings::defaultInfo()
{
    DeviceInfo d;
    d.width = 800;
    d.height = 480;
    d.sramBytes = 0x10000;
    d.nandCapacity = kDefaultNandGeometry.capacity;
    // The program's own version: a panel of another version is asked for by name.
    d.hardwareMajor = image::kVersionMajor;
    d.hardwareMinor = image::kVersionMinor;
    d.colourDepthCode = 1;
    return d;
}

SimPanel::SimPanel(SimPanelSettings settings) : settings_(std::move(settings)) {}

void SimPanel::setDeviceInfo(const DeviceInfo& info)
{
    std::lock_guard lock(mutex_);
    settings_.info = info;
}

void SimPanel::setFlashTestReply(std::uint8_t reply)
{
    std::lock_guard lock(mutex_);
    settings_.flashTestReply = reply;
}

void SimPanel::injectFault(std::size_t transferIndex, SimFault fault)
{
    std::lock_guard lock(mutex_);
    faults_[transferIndex] = fault;
}

std::size_t SimPanel::transferCount() const
{
    std::lock_guard lock(mutex_);
    return transferIndex_;
}

std::vector<SimTransfer> SimPanel::transfers() const
{
    std::lock_guard lock(mutex_);
    return record_;
}

SimPanelEvents SimPanel::events() const
{
    std::lock_guard lock(mutex_);
    return events_;
}

std::vector<std::uint8_t> SimPanel::readNand(std::uint32_t address, std::size_t length) const
{
    std::lock_guard lock(mutex_);
    return nandBytes(address, length);
}

void SimPanel::writeNand(std::uint32_t address, const std::vector<std::uint8_t>& bytes)
{
    std::lock_guard lock(mutex_);
    program(address, bytes);
}

void SimPanel::setBadBlocks(std::set<std::uint32_t> blocks)
{
    std::lock_guard lock(mutex_);
    settings_.badBlocks = std::move(blocks);
}

std::vector<std::uint8_t> SimPanel::nandBytes(std::uint32_t address, std::size_t length) const
{
    std::vector<std::uint8_t> out(length, 0xFF);
    const std::uint32_t page = settings_.nand.pageSize();
    for (std::size_t i = 0; i < length;) {
        const std::uint64_t a = std::uint64_t{address} + i;
        const std::size_t inPage = static_cast<std::size_t>(a % page);
        const std::size_t n = std::min<std::size_t>(page - inPage, length - i);
        if (const auto it = pages_.find(static_cast<std::uint32_t>(a / page)); it != pages_.end())
            std::copy_n(it->second.begin() + static_cast<std::ptrdiff_t>(inPage), n,
                        out.begin() + static_cast<std::ptrdiff_t>(i));
        i += n;
    }
    return out;
}

void SimPanel::releaseHang()
{
    {
        std::lock_guard lock(mutex_);
        hangReleased_ = true;
    }
    hangEnds_.notify_all();
}

bool SimPanel::hanging() const
{
    std::lock_guard lock(mutex_);
    return hanging_;
}

void SimPanel::unplug()
{
    std::lock_guard lock(mutex_);
    plugged_ = false;
}

void SimPanel::replug()
{
    std::lock_guard lock(mutex_);
    plugged_ = true;
    writeAddress_.reset(); // a write cut by the unplug is gone
    replies_.clear();
}

bool SimPanel::plugged() const
{
    std::lock_guard lock(mutex_);
    return plugged_;
}

usb::RawConnection SimPanel::connect()
{
    std::lock_guard lock(mutex_);
    usb::RawConnection c;
    c.kind = settings_.kind;
    switch (settings_.kind) {
    case usb::UsbKind::EzUsb:
        claimed_ = true;
        c.pipes = std::make_unique<SimPipes>(*this);
        break;
    case usb::UsbKind::Hid: c.hid = std::make_unique<SimReports>(*this); break;
    case usb::UsbKind::Disk: c.disk = std::make_unique<SimDisk>(*this); break;
    }
    return c;
}

void SimPanel::disconnectClient()
{
    std::lock_guard lock(mutex_);
    claimed_ = false;
}

bool SimPanel::claimed() const
{
    std::lock_guard lock(mutex_);
    return claimed_;
}

bool SimPanel::beginTransfer(std::unique_lock<std::mutex>& lock, SimTransfer& t, Xfer& result,
                             std::span<std::uint8_t> bytes)
{
    const std::size_t index = transferIndex_++;
    if (const auto it = faults_.find(index); it != faults_.end()) {
        switch (it->second) {
        case SimFault::Disconnect: plugged_ = false; break;
        case SimFault::ShortTransfer:
            result = {XferStatus::Ok, bytes.empty() ? 0 : bytes.size() - 1};
            if (!t.out)
                std::fill(bytes.begin(), bytes.end(), 0);
            return false;
        case SimFault::Stall: result = {XferStatus::Stall, 0}; return false;
        case SimFault::NoReply: result = {XferStatus::Timeout, 0}; return false;
        case SimFault::Hang:
            hanging_ = true;
            hangEnds_.wait(lock, [this] { return hangReleased_; });
            result = {XferStatus::Timeout, 0};
            return false;
        case SimFault::LateReply:
            if (t.out)
                break;
            result = {XferStatus::Timeout, 0};
            return false;
        }
    }
    if (!plugged_) {
        result = {XferStatus::Disconnected, 0};
        return false;
    }
    return true;
}

void SimPanel::record(SimTransfer t, const Xfer& result)
{
    t.status = result.status;
    if (recording_)
        record_.push_back(std::move(t));
}

void SimPanel::setRecording(bool on)
{
    std::lock_guard lock(mutex_);
    recording_ = on;
}

Xfer SimPanel::bulk(bool out, int pipe, std::span<std::uint8_t> bytes)
{
    std::unique_lock lock(mutex_);
    SimTransfer t{out, pipe, {}, {}, XferStatus::Ok};
    if (out)
        t.bytes.assign(bytes.begin(), bytes.end());
    Xfer result{XferStatus::Ok, bytes.size()};
    if (beginTransfer(lock, t, result, bytes)) {
        if (out && pipe == 1 && !bytes.empty() && bytes.size() <= 9)
            onCommand(bytes);
        else if (out && pipe == 3 && !writeAddress_ && jtag_)
            onJtag(bytes);
        else if (out && pipe == 3)
            onData(bytes);
        else if (!out && pipe == 0) {
            if (auto reply = takeReply()) {
                const std::size_t n = std::min(bytes.size(), reply->size());
                std::copy_n(reply->begin(), n, bytes.begin());
                result.count = n;
                t.bytes.assign(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
            } else {
                result = {XferStatus::Timeout, 0};
            }
        } else {
            result = {XferStatus::Error, 0}; // no such pipe in the panel's layout
        }
    }
    record(std::move(t), result);
    return result;
}

Xfer SimPanel::report(bool out, std::span<std::uint8_t> bytes)
{
    std::unique_lock lock(mutex_);
    SimTransfer t{out, -1, {}, {}, XferStatus::Ok};
    if (out)
        t.bytes.assign(bytes.begin(), bytes.end());
    Xfer result{XferStatus::Ok, bytes.size()};
    if (beginTransfer(lock, t, result, bytes)) {
        if (out) {
            if (bytes.size() != 65 || bytes[0] != 0)
                result = {XferStatus::Error, 0};
            else if (writeAddress_ && !isMarkedAbort(bytes, 1))
                onData(bytes.subspan(1, 64));
            else if (marked(bytes))
                onCommand(bytes.subspan(1, 9));
            else if (jtag_)
                onJtag(bytes.subspan(1, 64));
            else
                ++events_.ignoredCommands;
        } else {
            // hidraw hands over an unnumbered report without its id: 64 bytes.
            std::fill(bytes.begin(), bytes.end(), 0);
            if (auto reply = takeReply()) {
                std::copy_n(reply->begin(), std::min(reply->size(), bytes.size()), bytes.begin());
                result.count = std::min<std::size_t>(64, bytes.size());
                t.bytes.assign(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(result.count));
            } else {
                result = {XferStatus::Timeout, 0};
            }
        }
    }
    record(std::move(t), result);
    return result;
}

Xfer SimPanel::scsi(std::span<const std::uint8_t, 12> cdb, bool out, std::span<std::uint8_t> data)
{
    std::unique_lock lock(mutex_);
    SimTransfer t{out, -1, std::vector<std::uint8_t>(cdb.begin(), cdb.end()), {}, XferStatus::Ok};
    if (out)
        t.bytes.assign(data.begin(), data.end());
    Xfer result{XferStatus::Ok, data.size()};
    if (beginTransfer(lock, t, result, data)) {
        const std::size_t length = static_cast<std::size_t>(cdb[7]) << 8 | cdb[8];
        const bool mailbox = cdb[2] == 0 && cdb[3] == 0 && cdb[4] == 0 && cdb[5] == kMailbox;
        const bool block0 = cdb[2] == 0 && cdb[3] == 0 && cdb[4] == 0 && cdb[5] == 0;
        if (length != data.size()) {
            result = {XferStatus::Error, 0};
        } else if (cdb[0] == kOpWrite10 && out && mailbox) {
            if (writeAddress_ && !isMarkedAbort(data, 0))
                onData(data);
            else if (data.size() == 64 && marked(data))
                onCommand(data.first(9));
            else if (jtag_ && data.size() == 64)
                onJtag(data);
            else
                ++events_.ignoredCommands;
        } else if (cdb[0] == kOpRead10 && !out && block0) {
            std::fill(data.begin(), data.end(), 0);
            static constexpr char kSignature[] = "qzkv58";
            if (settings_.signature && data.size() >= 15)
                std::memcpy(data.data() + 9, kSignature, 6);
            t.bytes.assign(data.begin(), data.end());
        } else if (cdb[0] == kOpRead10 && !out && mailbox) {
            std::fill(data.begin(), data.end(), 0);
            if (auto reply = takeReply()) {
                std::copy_n(reply->begin(), std::min(reply->size(), data.size()), data.begin());
                t.bytes.assign(data.begin(), data.end());
            } else {
                result = {XferStatus::Timeout, 0};
            }
        } else {
            result = {XferStatus::Error, 0};
        }
    }
    record(std::move(t), result);
    return result;
}

bool SimPanel::isMarkedAbort(std::span<const std::uint8_t> frame, std::size_t codeAt) const
{
    return marked(frame) && frame.size() > codeAt && frame[codeAt] == kAbort;
}

void SimPanel::onCommand(std::span<const std::uint8_t> c)
{
    rawData_ = false;
    switch (c[0]) {
    case kRawData: rawData_ = true; break;
    case kToolFlashType: replies_.push_back({settings_.toolFlashType}); break;
    case kToolDirectory: {
        const std::uint32_t d = settings_.toolDirectory;
        replies_.push_back({static_cast<std::uint8_t>(d), static_cast<std::uint8_t>(d >> 8),
                            static_cast<std::uint8_t>(d >> 16), static_cast<std::uint8_t>(d >> 24)});
        break;
    }
    case kToolPrepare: ++events_.prepares; break;
    case kToolRelease: ++events_.releases; break;
    case kWrite:
        writeAddress_ = le32(c, 1);
        writeLength_ = le32(c, 5);
        writeData_.clear();
        if (writeLength_ == 0)
            onData({});
        break;
    case kBusy:
        replies_.push_back({static_cast<std::uint8_t>(busyAnswered_++ < settings_.busyReplies ? 1 : 0)});
        break;
    case kAbort:
        writeAddress_.reset();
        ++events_.aborts;
        break;
    case kReset: ++events_.resets; break;
    case kRead: {
        const std::uint32_t address = le32(c, 1);
        const std::uint32_t length = le32(c, 5);
        if (length > (1u << 24))
            break; // more than any read the program makes: no answer
        const std::vector<std::uint8_t> bytes = nandBytes(address, length);
        for (std::size_t at = 0; at < bytes.size(); at += 64) {
            std::vector<std::uint8_t> chunk(64, 0);
            std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at), std::min<std::size_t>(64, bytes.size() - at),
                        chunk.begin());
            replies_.push_back(std::move(chunk));
        }
        break;
    }
    case kUpgrade:
        ++events_.upgrades;
        if (!jtag_)
            jtag_.emplace(settings_.fpga);
        break;
    case kInfo: {
        const auto info = settings_.info.encode();
        replies_.emplace_back(info.begin(), info.end());
        break;
    }
    case kClock:
        if (c.size() >= 8)
            events_.clock = std::vector<std::uint8_t>(c.begin() + 1, c.begin() + 8);
        break;
    case kFlashTest: replies_.push_back({settings_.flashTestReply}); break;
    case kBuzzer: events_.buzzer = le32(c, 1); break;
    default: ++events_.ignoredCommands; break;
    }
}

void SimPanel::onData(std::span<const std::uint8_t> data)
{
    if (rawData_ && !writeAddress_) {
        events_.raw.insert(events_.raw.end(), data.begin(), data.end());
        return;
    }
    if (!writeAddress_)
        return;
    const std::size_t room = writeLength_ - writeData_.size();
    writeData_.insert(writeData_.end(), data.begin(), data.begin() + static_cast<std::ptrdiff_t>(std::min(room, data.size())));
    if (writeData_.size() < writeLength_)
        return;
    const std::uint32_t address = *writeAddress_;
    writeAddress_.reset();
    // The result word: 0 when written, else an address inside the first bad block met
    // (a block past the flash counts as bad); nothing is written then.
    std::uint32_t result = 0;
    const std::uint32_t blockSize = settings_.nand.blockSize;
    if (writeLength_ > 0) {
        const std::uint64_t end = std::uint64_t{address} + writeLength_;
        for (std::uint64_t b = address / blockSize; b * blockSize < end; ++b) {
            const bool past = (b + 1) * blockSize > settings_.nand.capacity;
            if (past || settings_.badBlocks.count(static_cast<std::uint32_t>(b)) != 0) {
                result = static_cast<std::uint32_t>(std::max<std::uint64_t>(address, b * blockSize));
                if (result == 0) // 0 means written: name the piece's last byte in block 0 instead
                    result = static_cast<std::uint32_t>(std::min<std::uint64_t>(end, blockSize) - 1);
                break;
            }
        }
    }
    if (result == 0)
        program(address, writeData_);
    replies_.push_back({static_cast<std::uint8_t>(result), static_cast<std::uint8_t>(result >> 8),
                        static_cast<std::uint8_t>(result >> 16), static_cast<std::uint8_t>(result >> 24)});
}

void SimPanel::onJtag(std::span<const std::uint8_t> packet)
{
    std::vector<std::uint8_t> reply;
    if (jtag_->onPacket(packet, reply) && !reply.empty())
        replies_.push_back(std::move(reply));
}

std::optional<SimJtagTarget> SimPanel::jtagTarget() const
{
    std::lock_guard lock(mutex_);
    return jtag_;
}

void SimPanel::program(std::uint32_t address, const std::vector<std::uint8_t>& data)
{
    const std::uint32_t page = settings_.nand.pageSize();
    for (std::size_t i = 0; i < data.size();) {
        const std::uint64_t a = std::uint64_t{address} + i;
        const std::size_t inPage = static_cast<std::size_t>(a % page);
        const std::size_t n = std::min<std::size_t>(page - inPage, data.size() - i);
        auto& bytes = pages_[static_cast<std::uint32_t>(a / page)];
        if (bytes.empty())
            bytes.assign(page, 0xFF);
        std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(i), n, bytes.begin() + static_cast<std::ptrdiff_t>(inPage));
        i += n;
    }
}

std::optional<std::vector<std::uint8_t>> SimPanel::takeReply()
{
    if (replies_.empty())
        return std::nullopt;
    auto r = std::move(replies_.front());
    replies_.pop_front();
    return r;
}

} // namespace qv::device::virtual_panel
