#include "platform/usb/sg_disk.h"

#include "platform/usb/open_failure_text.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <scsi/sg.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace qv::usb {
namespace {

constexpr unsigned char kSenseBytes = 32;
constexpr unsigned short kHostTimedOut = 0x03; // the host adapter's "timed out" status

class SgDisk final : public ScsiDisk {
public:
    explicit SgDisk(int fd) : fd_(fd) {}
    ~SgDisk() override { ::close(fd_); }

    Xfer execute(std::span<const std::uint8_t, 12> cdb, ScsiDirection direction, std::span<std::uint8_t> data,
                 Timeout timeout) override
    {
        unsigned char command[12];
        std::memcpy(command, cdb.data(), sizeof command);
        unsigned char sense[kSenseBytes] = {};
        sg_io_hdr_t io{};
        io.interface_id = 'S';
        io.cmdp = command;
        io.cmd_len = sizeof command;
        io.sbp = sense;
        io.mx_sb_len = kSenseBytes;
        io.dxfer_direction = direction == ScsiDirection::ToDevice     ? SG_DXFER_TO_DEV
                             : direction == ScsiDirection::FromDevice ? SG_DXFER_FROM_DEV
                                                                      : SG_DXFER_NONE;
        io.dxferp = data.empty() ? nullptr : data.data();
        io.dxfer_len = static_cast<unsigned>(data.size());
        io.timeout = static_cast<unsigned>(timeout.count());
        if (::ioctl(fd_, SG_IO, &io) < 0)
            return {statusFromErrno(errno), 0};
        if (io.host_status == kHostTimedOut)
            return {XferStatus::Timeout, 0};
        if ((io.info & SG_INFO_OK_MASK) != SG_INFO_OK)
            return {XferStatus::Error, 0};
        const int moved = static_cast<int>(data.size()) - io.resid;
        return {XferStatus::Ok, static_cast<std::size_t>(moved < 0 ? 0 : moved)};
    }

private:
    int fd_;
};

} // namespace

OpenResult openSgDisk(const std::filesystem::path& devNode)
{
    const int fd = ::open(devNode.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return openFailedErrno(errno);
    int version = 0;
    if (::ioctl(fd, SG_GET_VERSION_NUM, &version) < 0) {
        ::close(fd);
        return openFailed(OpenFailure::NotPanel);
    }
    OpenResult r;
    r.connection.kind = UsbKind::Disk;
    r.connection.disk = std::make_unique<SgDisk>(fd);
    return r;
}

} // namespace qv::usb
