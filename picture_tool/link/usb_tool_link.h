#pragma once
// The tool's commands on the panel's vendor-driver pipes: one command byte on pipe 1,
// data on pipe 3 in 512-byte pieces, replies on pipe 0.
#include "platform/usb/usb_host.h"
#include "picture_tool/link/tool_link.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qv::picture_tool {

namespace usbcmd {
inline constexpr std::uint8_t kWrite = 0x01, kBusy = 0x02, kStop = 0x03, kFinish = 0x04, kRaw = 0x05,
                              kFlashType = 'X', kDirectory = 'Y', kPrepare = 'Z', kRelease = '[';
}

inline constexpr std::size_t kUsbPiece = 512;

class UsbToolLink final : public ToolLink {
public:
    UsbToolLink(std::unique_ptr<usb::BulkPipes> pipes, TransferContext& context,
                usb::Timeout timeout = usb::kDefaultTimeout);

    // The first vendor-driver panel of `host`; nullptr with the reason (GBK) when none opens.
    static std::unique_ptr<usb::BulkPipes> openFirst(usb::UsbHost& host, std::string* why = nullptr);

    bool command(std::uint8_t code);
    std::optional<std::vector<std::uint8_t>> read(std::size_t n);
    // A command and its `n`-byte reply; nullopt when either transfer fails.
    std::optional<std::vector<std::uint8_t>> ask(std::uint8_t code, std::size_t n);
    bool writeBlock(std::span<const std::uint8_t> data, std::uint32_t address, std::uint32_t& status) override;
    // 0x05, then the bytes on pipe 3. A short piece sends the stop command.
    bool writeRaw(std::span<const std::uint8_t> bytes);

private:
    bool pieces(std::span<const std::uint8_t> data, bool counted);
    std::unique_ptr<usb::BulkPipes> pipes_;
    TransferContext& context_;
    usb::Timeout timeout_;
};

} // namespace qv::picture_tool
