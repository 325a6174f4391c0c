#pragma once
// The line of an open terminal device: raw bytes, speed and framing.
#include <optional>
#include <string>
#include <termios.h>

namespace qv {

// The baud rates a line takes.
inline constexpr int kMinBaud = 1;
inline constexpr int kMaxBaud = 4000000;

struct LineSettings {
    int baud = 19200;
    char parity = 'N';  // 'N', 'O', 'E', 'M' (mark), 'S' (space)
    int dataBits = 8;   // 5..8
    int stopBits = 1;   // 1 or 2
    bool operator==(const LineSettings&) const = default;
};

// Puts the device in raw mode (no echo, no line editing, no translation, no flow control,
// receiver on, modem lines ignored) with the given speed and framing. Rates the classic
// speed table lacks are set as an arbitrary rate. Returns false with `error` set when a value
// is out of range or the device refuses it.
bool ApplyLineSettings(int fd, const LineSettings& settings, std::string& error);

// Turns `tio` into the raw line ApplyLineSettings sets (for an unusual rate the speed code
// is a placeholder). False with `error` set for a value out of range.
bool MakeLineTermios(const LineSettings& settings, termios& tio, std::string& error);

// A pseudo-terminal takes any speed but keeps 8 data bits without parity.
bool IsPseudoTerminal(int fd);

// What the device reports now; nothing when it is not a terminal.
std::optional<LineSettings> ReadLineSettings(int fd);

} // namespace qv
