#pragma once
// Projects and texts name serial ports by COM number; this maps a number to a device file.
// In order: the environment override QV_COM_MAP ("1=/dev/pts/5;2=/dev/pts/6", used by tests;
// when set it is the whole map, so a test never reaches real hardware), then the user's
// mapping file (lines "COM3=/dev/ttyUSB0" or a /dev/serial/by-id path; '#' starts a
// comment), then the default COMn -> /dev/ttyS(n-1).
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace qv {

inline constexpr const char* kComMapEnv = "QV_COM_MAP";

// The user's mapping file: <config folder>/quorvane/com-ports.conf.
std::filesystem::path ComMapFilePath();

// Reads "n=path" or "COMn=path" entries separated by `separator` (';' for the environment,
// '\n' for the file); blanks around names and paths are dropped, malformed entries skipped.
std::map<int, std::string> ParseComMap(std::string_view text, char separator);

struct ComDevice {
    std::filesystem::path path;
    std::string origin; // where the mapping came from, for messages
};

// The device of COM<comNumber>, or nothing (with the reason in `whyNot`) for a number below
// 1 or one the test override does not list.
std::optional<ComDevice> ResolveComPort(int comNumber, std::string* whyNot = nullptr);

} // namespace qv
