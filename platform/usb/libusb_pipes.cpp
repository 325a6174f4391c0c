#include "platform/usb/libusb_pipes.h"

#include "platform/usb/open_failure_text.h"

#include <libusb.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>
#include <vector>

namespace qv::usb {
namespace {

// One libusb context for the process, without device discovery: devices come from our
// own sysfs scan and are wrapped from the descriptors we open.
libusb_context* sharedContext()
{
    static libusb_context* context = [] {
        libusb_context* ctx = nullptr;
        libusb_set_option(nullptr, LIBUSB_OPTION_NO_DEVICE_DISCOVERY);
        if (libusb_init(&ctx) != 0)
            return static_cast<libusb_context*>(nullptr);
        return ctx;
    }();
    return context;
}

XferStatus statusOf(int rc)
{
    switch (rc) {
    case LIBUSB_SUCCESS: return XferStatus::Ok;
    case LIBUSB_ERROR_TIMEOUT: return XferStatus::Timeout;
    case LIBUSB_ERROR_NO_DEVICE: return XferStatus::Disconnected;
    case LIBUSB_ERROR_PIPE: return XferStatus::Stall;
    default: return XferStatus::Error;
    }
}

class LibusbPipes final : public BulkPipes {
public:
    LibusbPipes(int fd, libusb_device_handle* handle, std::vector<std::uint8_t> endpoints)
        : fd_(fd), handle_(handle), endpoints_(std::move(endpoints)) {}
    ~LibusbPipes() override
    {
        libusb_release_interface(handle_, 0);
        libusb_close(handle_);
        ::close(fd_);
    }

    Xfer bulkWrite(int pipe, std::span<const std::uint8_t> bytes, Timeout timeout) override
    {
        return transfer(pipe, const_cast<std::uint8_t*>(bytes.data()), bytes.size(), timeout, false);
    }
    Xfer bulkRead(int pipe, std::span<std::uint8_t> into, Timeout timeout) override
    {
        return transfer(pipe, into.data(), into.size(), timeout, true);
    }

private:
    Xfer transfer(int pipe, std::uint8_t* data, std::size_t size, Timeout timeout, bool in)
    {
        if (pipe < 0 || static_cast<std::size_t>(pipe) >= endpoints_.size())
            return {XferStatus::Error, 0};
        const std::uint8_t ep = endpoints_[static_cast<std::size_t>(pipe)];
        if (((ep & LIBUSB_ENDPOINT_IN) != 0) != in)
            return {XferStatus::Error, 0}; // the endpoint layout is not the panel's
        int done = 0;
        const int rc = libusb_bulk_transfer(handle_, ep, data, static_cast<int>(size), &done,
                                            static_cast<unsigned>(timeout.count()));
        return {statusOf(rc), static_cast<std::size_t>(done < 0 ? 0 : done)};
    }

    int fd_;
    libusb_device_handle* handle_;
    std::vector<std::uint8_t> endpoints_;
};

} // namespace

OpenResult openLibusbPipes(const std::filesystem::path& devNode)
{
    libusb_context* ctx = sharedContext();
    if (ctx == nullptr)
        return openFailed(OpenFailure::Other, "libusb");
    const int fd = ::open(devNode.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return openFailedErrno(errno);
    libusb_device_handle* handle = nullptr;
    if (libusb_wrap_sys_device(ctx, fd, &handle) != 0 || handle == nullptr) {
        ::close(fd);
        return openFailed(OpenFailure::NotPanel);
    }
    libusb_set_auto_detach_kernel_driver(handle, 1);
    const int claim = libusb_claim_interface(handle, 0);
    if (claim != 0) {
        libusb_close(handle);
        ::close(fd);
        return openFailed(claim == LIBUSB_ERROR_BUSY ? OpenFailure::Busy
                      : claim == LIBUSB_ERROR_ACCESS ? OpenFailure::NoPermission
                                                      : OpenFailure::Other,
                      libusb_error_name(claim));
    }
    std::vector<std::uint8_t> endpoints;
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_active_config_descriptor(libusb_get_device(handle), &config) == 0 && config != nullptr) {
        if (config->bNumInterfaces > 0 && config->interface[0].num_altsetting > 0) {
            const libusb_interface_descriptor& alt = config->interface[0].altsetting[0];
            for (int i = 0; i < alt.bNumEndpoints; ++i)
                endpoints.push_back(alt.endpoint[i].bEndpointAddress);
        }
        libusb_free_config_descriptor(config);
    }
    OpenResult r;
    r.connection.kind = UsbKind::EzUsb;
    r.connection.pipes = std::make_unique<LibusbPipes>(fd, handle, std::move(endpoints));
    return r;
}

} // namespace qv::usb
