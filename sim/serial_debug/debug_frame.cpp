#include "sim/serial_debug/debug_frame.h"

#include <fmt/format.h>

namespace qv::sim {

int DebugValueLength(int typeCode)
{
    if (typeCode == 0 || typeCode == 1)
        return 1;
    if (typeCode == 2 || typeCode == 3)
        return 2;
    return 4;
}

std::vector<std::uint8_t> BuildDebugFrame(DebugCommand command, std::uint8_t device, std::int32_t address, int typeCode,
                                          std::int64_t value)
{
    const int length = DebugValueLength(typeCode);
    std::vector<std::uint8_t> frame{plc::panel::FRAME_START, static_cast<std::uint8_t>(command), device};
    for (int i = 0; i < 4; ++i)
        frame.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(address) >> (8 * i)));
    frame.push_back(static_cast<std::uint8_t>(length));
    frame.push_back(0);
    if (command == DebugCommand::Write)
        for (int i = 0; i < length; ++i)
            frame.push_back(static_cast<std::uint8_t>(static_cast<std::uint64_t>(value) >> (8 * i)));
    std::uint16_t sum = 0;
    for (std::uint8_t b : frame)
        sum = static_cast<std::uint16_t>(sum + b);
    frame.push_back(static_cast<std::uint8_t>(sum));
    frame.push_back(static_cast<std::uint8_t>(sum >> 8));
    return frame;
}

std::string DebugHex(const std::uint8_t* bytes, std::size_t count)
{
    std::string out;
    out.reserve(count * 3);
    for (std::size_t i = 0; i < count; ++i)
        out += fmt::format("{:02X} ", bytes[i]);
    return out;
}

std::uint16_t Rgb565Of(int red, int green, int blue)
{
    return static_cast<std::uint16_t>((red & 0xF8) << 8 | (green & 0xFC) << 3 | (blue & 0xF8) >> 3);
}

} // namespace qv::sim
