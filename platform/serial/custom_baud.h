#pragma once
// Arbitrary line speeds through the kernel's second terminal interface. Kept apart because
// its header cannot be included together with <termios.h>.
#include <optional>
#include <string>

namespace qv {

// Sets input and output speed of `fd` to `baud` exactly, keeping the other settings.
bool SetCustomBaud(int fd, int baud, std::string& error);

// The output speed the driver holds, in bits per second (also for classic rates).
std::optional<int> ReadCustomBaud(int fd);

} // namespace qv
