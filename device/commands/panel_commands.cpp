#include "device/commands/panel_commands.h"

#include "device/link/command_codes.h"

#include <array>

namespace qv::device {
namespace {

bool aborted(const BlockWriteControl& c)
{
    return c.abort != nullptr && c.abort->load() != 0;
}

void addProgress(const BlockWriteControl& c, std::size_t bytes)
{
    if (c.progressDone == nullptr)
        return;
    const long long done = c.progressDone->fetch_add(static_cast<int>(bytes)) + static_cast<long long>(bytes);
    const long long total = c.progressTotal != nullptr ? c.progressTotal->load() : 0;
    if (c.reportProgress && total > 0)
        c.reportProgress(static_cast<int>(done * 100 / total));
}

std::optional<std::uint8_t> oneByteReply(PanelFraming& link, std::uint8_t command)
{
    if (!link.sendCommand(bareCommand(command)))
        return std::nullopt;
    std::array<std::uint8_t, 1> reply{};
    if (!link.readReply(reply))
        return std::nullopt;
    return reply[0];
}

} // namespace

int UsbWriteBlock(PanelFraming& link, std::span<const std::uint8_t> data, std::uint32_t address,
                  const BlockWriteControl& control, std::uint32_t& resultWord)
{
    if (aborted(control) || !link.acceptsBlockLength(data.size()))
        return -1;
    const auto fail = [&] {
        SendAbortWrite(link);
        return -1;
    };
    if (!link.sendCommand(rangeCommand(code::WriteBlock, address, static_cast<std::uint32_t>(data.size()))))
        return fail();
    const std::size_t piece = link.dataPieceSize();
    for (std::size_t at = 0; at < data.size(); at += piece) {
        const auto part = data.subspan(at, std::min(piece, data.size() - at));
        if (!link.sendData(part))
            return fail();
        addProgress(control, part.size());
        if (aborted(control))
            return fail();
    }
    std::array<std::uint8_t, 4> reply{};
    if (!link.readReply(reply))
        return fail();
    resultWord = static_cast<std::uint32_t>(reply[0]) | static_cast<std::uint32_t>(reply[1]) << 8 |
                 static_cast<std::uint32_t>(reply[2]) << 16 | static_cast<std::uint32_t>(reply[3]) << 24;
    return 0;
}

bool UsbResetDevice(PanelFraming& link)
{
    return link.sendCommand(bareCommand(code::Reset));
}

bool SendAbortWrite(PanelFraming& link)
{
    return link.sendClosingCommand(bareCommand(code::AbortWrite));
}

bool StartFirmwareUpgrade(PanelFraming& link)
{
    return link.sendCommand(bareCommand(code::StartUpgrade));
}

std::optional<std::uint8_t> QueryBusy(PanelFraming& link)
{
    return oneByteReply(link, code::BusyQuery);
}

std::optional<DeviceInfo> QueryDeviceInfo(PanelFraming& link)
{
    if (!link.sendCommand(bareCommand(code::DeviceInformation)))
        return std::nullopt;
    std::array<std::uint8_t, 64> reply{};
    if (!link.readReply(reply))
        return std::nullopt;
    return DeviceInfo::parse(reply);
}

bool ReadFlash(PanelFraming& link, std::uint32_t address, std::span<std::uint8_t> out)
{
    if (!link.sendCommand(rangeCommand(code::ReadFlash, address, static_cast<std::uint32_t>(out.size()))))
        return false;
    for (std::size_t at = 0; at < out.size(); at += kMaxReply) {
        std::array<std::uint8_t, kMaxReply> reply{};
        if (!link.readReply(reply))
            return false;
        const std::size_t n = std::min(kMaxReply, out.size() - at);
        std::copy_n(reply.begin(), n, out.begin() + static_cast<std::ptrdiff_t>(at));
    }
    return true;
}

bool SendPanelClock(PanelFraming& link, const PanelTime& t)
{
    // The ninth byte of the vendor-driver form carries nothing.
    const std::array<std::uint8_t, 8> payload{
        static_cast<std::uint8_t>(t.year & 0xFF), static_cast<std::uint8_t>((t.year >> 8) & 0xFF),
        static_cast<std::uint8_t>(t.month),       static_cast<std::uint8_t>(t.day),
        static_cast<std::uint8_t>(t.hour),        static_cast<std::uint8_t>(t.minute),
        static_cast<std::uint8_t>(t.second + 1),  0};
    return link.sendCommand(payloadCommand(code::SetClock, payload));
}

std::optional<std::uint8_t> RunFlashTest(PanelFraming& link, WaitClock& clock)
{
    if (!link.sendCommand(bareCommand(code::FlashTest)))
        return std::nullopt;
    if (link.kind() == usb::UsbKind::Disk)
        for (int i = 0; i < 3; ++i)
            clock.sleepFor(std::chrono::milliseconds(1000));
    std::array<std::uint8_t, 1> reply{};
    if (!link.readReply(reply))
        return std::nullopt;
    return reply[0];
}

bool SendBuzzerCoefficient(PanelFraming& link, std::uint32_t c)
{
    const std::array<std::uint8_t, 4> payload{static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8),
                                              static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 24)};
    return link.sendCommand(payloadCommand(code::Buzzer, payload));
}

} // namespace qv::device
