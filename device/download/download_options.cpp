#include "device/download/download_options.h"

#include <algorithm>

namespace qv::device {

MachineNameProblem checkMachineName(std::string_view name)
{
    if (std::any_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80 || c == 0; }))
        return MachineNameProblem::NotAscii;
    return name.size() > kMaxMachineName ? MachineNameProblem::TooLong : MachineNameProblem::None;
}

std::array<std::uint8_t, 64> encodeDownloadOptions(const DownloadOptionValues& v)
{
    std::array<std::uint8_t, 64> b{};
    const auto put16 = [&](std::size_t at, int value) {
        b[at] = static_cast<std::uint8_t>(value);
        b[at + 1] = static_cast<std::uint8_t>(value >> 8);
    };
    const auto put = [&](std::size_t at, const auto& bytes) { std::copy(bytes.begin(), bytes.end(), b.begin() + at); };
    put(opt::Mac, v.mac);
    put16(opt::LocalPort, v.localPort);
    put(opt::PanelIp, v.panelIp);
    put(opt::Mask, v.mask);
    put(opt::Gateway, v.gateway);
    put(opt::ServerIp, v.serverIp);
    put16(opt::ServerPort, v.serverPort);
    put16(opt::Handshake, v.handshake);
    const std::size_t n = std::min(v.machineName.size(), kMaxMachineName);
    std::copy_n(v.machineName.begin(), n, b.begin() + opt::MachineName); // the 0 after it is already there
    return b;
}

} // namespace qv::device
