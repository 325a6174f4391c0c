#pragma once
// The stored framing choices of a port (the settings page's combo indices) as line framing.
// An index outside its table leaves that value as the caller preset it.
#include <array>

namespace qv {

struct SerialFrame {
    char parity = 'N';
    int dataBits = 8;
    int stopBits = 1;
};

inline SerialFrame SerialFraming(int dataBitsIndex, int parityIndex, int stopBitsIndex, SerialFrame preset = {})
{
    constexpr std::array kDataBits{8, 7, 6, 5};
    constexpr std::array kParity{'N', 'O', 'E'};
    constexpr std::array kStopBits{1, 2};
    auto pick = [](const auto& table, int index, auto keep) {
        return index >= 0 && static_cast<std::size_t>(index) < table.size() ? table[static_cast<std::size_t>(index)] : keep;
    };
    return {pick(kParity, parityIndex, preset.parity), pick(kDataBits, dataBitsIndex, preset.dataBits),
            pick(kStopBits, stopBitsIndex, preset.stopBits)};
}

} // namespace qv
