#include "platform/usb/hidraw_reports.h"

#include "platform/usb/open_failure_text.h"

#include <hidapi.h>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <unistd.h>

namespace qv::usb {
namespace {

class HidrawReports final : public HidReports {
public:
    explicit HidrawReports(hid_device* dev) : dev_(dev) {}
    ~HidrawReports() override { hid_close(dev_); }

    Xfer writeReport(std::span<const std::uint8_t> report, Timeout) override
    {
        errno = 0;
        const int n = hid_write(dev_, report.data(), report.size());
        if (n < 0)
            return {errno != 0 ? statusFromErrno(errno) : XferStatus::Error, 0};
        return {XferStatus::Ok, static_cast<std::size_t>(n)};
    }

    Xfer readReport(std::span<std::uint8_t> into, Timeout timeout) override
    {
        errno = 0;
        const int n = hid_read_timeout(dev_, into.data(), into.size(), static_cast<int>(timeout.count()));
        if (n < 0)
            return {errno != 0 ? statusFromErrno(errno) : XferStatus::Disconnected, 0};
        if (n == 0)
            return {XferStatus::Timeout, 0};
        return {XferStatus::Ok, static_cast<std::size_t>(n)};
    }

private:
    hid_device* dev_;
};

} // namespace

OpenResult openHidrawReports(const std::filesystem::path& devNode)
{
    static std::once_flag once;
    std::call_once(once, [] { hid_init(); });
    // hidapi reports no reason; the node's access says it.
    if (::access(devNode.c_str(), R_OK | W_OK) != 0)
        return openFailedErrno(errno);
    hid_device* dev = hid_open_path(devNode.c_str());
    if (dev == nullptr)
        return openFailed(OpenFailure::NotPanel);
    OpenResult r;
    r.connection.kind = UsbKind::Hid;
    r.connection.hid = std::make_unique<HidrawReports>(dev);
    return r;
}

} // namespace qv::usb
