#include "sim/plc/crc16.h"

#include <array>

namespace qv::sim::plc {
namespace {

constexpr std::array<std::uint16_t, 256> makeTable()
{
    std::array<std::uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        std::uint16_t v = static_cast<std::uint16_t>(i);
        for (int bit = 0; bit < 8; ++bit)
            v = static_cast<std::uint16_t>((v & 1) ? (v >> 1) ^ 0xA001 : v >> 1);
        table[i] = v;
    }
    return table;
}
constexpr auto kTable = makeTable();

} // namespace

std::uint16_t Crc16(std::span<const std::uint8_t> data)
{
    std::uint16_t crc = 0xFFFF;
    for (const std::uint8_t b : data)
        crc = static_cast<std::uint16_t>((crc >> 8) ^ kTable[(crc ^ b) & 0xFF]);
    return crc;
}

bool HasGoodCrc(std::span<const std::uint8_t> frame)
{
    if (frame.size() < 3)
        return false;
    const auto crc = Crc16(frame.first(frame.size() - 2));
    return frame[frame.size() - 2] == (crc & 0xFF) && frame[frame.size() - 1] == (crc >> 8);
}

} // namespace qv::sim::plc
