#include "device/link/usb_command_packet.h"

#include <algorithm>
#include <stdexcept>

namespace qv::device {
namespace {

void putLe32(std::uint8_t* at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

} // namespace

UsbCommandPacket bareCommand(std::uint8_t code)
{
    UsbCommandPacket p;
    p.bytes[0] = code;
    p.size = 1;
    return p;
}

UsbCommandPacket rangeCommand(std::uint8_t code, std::uint32_t address, std::uint32_t length)
{
    UsbCommandPacket p;
    p.bytes[0] = code;
    putLe32(&p.bytes[1], address);
    putLe32(&p.bytes[5], length);
    p.size = 9;
    return p;
}

UsbCommandPacket payloadCommand(std::uint8_t code, std::span<const std::uint8_t> payload)
{
    if (payload.size() > kMaxCommandBytes - 1)
        throw std::length_error("command payload longer than 8 bytes");
    UsbCommandPacket p;
    p.bytes[0] = code;
    std::copy(payload.begin(), payload.end(), p.bytes.begin() + 1);
    p.size = 1 + payload.size();
    return p;
}

std::span<std::uint8_t> UsbMarkPacket(std::span<std::uint8_t> buffer)
{
    if (buffer.size() < kMarkerOffset + kUsbMarker.size())
        throw std::length_error("buffer too short for the marker");
    std::copy(kUsbMarker.begin(), kUsbMarker.end(), buffer.begin() + kMarkerOffset);
    return buffer;
}

} // namespace qv::device
