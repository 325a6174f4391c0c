#pragma once
// The download options: what the options dialog edits, and the 64 option bytes the panel
// gets in its parameter block (little-endian; bytes not listed stay 0).
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace qv::device {

struct DownloadOptionValues {
    int choice = 0; // 0 the whole project with the user code, 1 only the user code
    bool selfConfirm = false;
    bool resetAfter = false;
    std::array<std::uint8_t, 6> mac{14, 12, 15, 36, 78, 99};
    int localPort = 8088;
    std::array<std::uint8_t, 4> panelIp{192, 168, 1, 18};
    std::array<std::uint8_t, 4> mask{255, 255, 255, 0};
    std::array<std::uint8_t, 4> gateway{192, 168, 1, 1};
    std::array<std::uint8_t, 4> serverIp{192, 168, 1, 255};
    int serverPort = 8080;
    int handshake = 2;
    // Only which fields the dialog shows: the panel gets the network values and the machine
    // name whether it is ticked or not, and the option bytes have no place for it.
    bool setEthernet = false;
    std::string machineName = "A001"; // ASCII
    bool resolutionMustMatch = true;
};

inline constexpr std::size_t kMaxMachineName = 15;

enum class MachineNameProblem { None, TooLong, NotAscii };
// The panel takes the name as ASCII bytes and a terminating 0 in 16 bytes.
MachineNameProblem checkMachineName(std::string_view name);

// Byte offsets of the option bytes.
namespace opt {
inline constexpr std::size_t Mac = 0, LocalPort = 6, PanelIp = 8, Mask = 12, Gateway = 16, ServerIp = 20,
                             ServerPort = 24, Handshake = 26, MachineName = 28, MachineNameSize = 16;
}

// The option bytes of `v` (whose name passed checkMachineName).
std::array<std::uint8_t, 64> encodeDownloadOptions(const DownloadOptionValues& v);

} // namespace qv::device
