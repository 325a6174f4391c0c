#include "platform/serial/line_settings.h"

#include "platform/serial/custom_baud.h"
#include "platform/text/system_error.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fmt/format.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>

namespace qv {
namespace {

struct SpeedCode {
    int baud;
    speed_t code;
};

constexpr std::array kSpeeds{
    SpeedCode{50, B50},           SpeedCode{75, B75},           SpeedCode{110, B110},
    SpeedCode{134, B134},         SpeedCode{150, B150},         SpeedCode{200, B200},
    SpeedCode{300, B300},         SpeedCode{600, B600},         SpeedCode{1200, B1200},
    SpeedCode{1800, B1800},       SpeedCode{2400, B2400},       SpeedCode{4800, B4800},
    SpeedCode{9600, B9600},       SpeedCode{19200, B19200},     SpeedCode{38400, B38400},
    SpeedCode{57600, B57600},     SpeedCode{115200, B115200},   SpeedCode{230400, B230400},
    SpeedCode{460800, B460800},   SpeedCode{500000, B500000},   SpeedCode{576000, B576000},
    SpeedCode{921600, B921600},   SpeedCode{1000000, B1000000}, SpeedCode{1152000, B1152000},
    SpeedCode{1500000, B1500000}, SpeedCode{2000000, B2000000}, SpeedCode{2500000, B2500000},
    SpeedCode{3000000, B3000000}, SpeedCode{3500000, B3500000}, SpeedCode{4000000, B4000000},
};

// Device numbers of the terminal side of pseudo-terminals.
constexpr unsigned kPtySlaveMajorFirst = 136;
constexpr unsigned kPtySlaveMajorLast = 143;

struct ParityFlags {
    char letter;
    tcflag_t flags;
};

constexpr std::array kParities{
    ParityFlags{'N', 0},
    ParityFlags{'O', PARENB | PARODD},
    ParityFlags{'E', PARENB},
    ParityFlags{'M', PARENB | PARODD | CMSPAR},
    ParityFlags{'S', PARENB | CMSPAR},
};

constexpr std::array<tcflag_t, 4> kSizeFlags{CS5, CS6, CS7, CS8}; // 5..8 data bits

const SpeedCode* findSpeedByBaud(int baud)
{
    for (const auto& s : kSpeeds)
        if (s.baud == baud)
            return &s;
    return nullptr;
}

const ParityFlags* findParity(char letter)
{
    if (letter >= 'a' && letter <= 'z')
        letter = static_cast<char>(letter - 'a' + 'A');
    for (const auto& p : kParities)
        if (p.letter == letter)
            return &p;
    return nullptr;
}

bool refuse(std::string& error, std::string text)
{
    error = std::move(text);
    return false;
}

} // namespace

bool MakeLineTermios(const LineSettings& s, termios& tio, std::string& error)
{
    if (s.baud < kMinBaud || s.baud > kMaxBaud)
        return refuse(error, fmt::format(fmt::runtime(utf8Chars(u8"波特率{}超出范围（{}～{}）")), s.baud, kMinBaud, kMaxBaud));
    const ParityFlags* parity = findParity(s.parity);
    if (!parity)
        return refuse(error, fmt::format(fmt::runtime(utf8Chars(u8"校验方式{}无效，只能是N、O、E、M、S")), s.parity));
    if (s.dataBits < 5 || s.dataBits > 8)
        return refuse(error, fmt::format(fmt::runtime(utf8Chars(u8"数据位{}无效，只能是5～8")), s.dataBits));
    if (s.stopBits != 1 && s.stopBits != 2)
        return refuse(error, fmt::format(fmt::runtime(utf8Chars(u8"停止位{}无效，只能是1或2")), s.stopBits));

    cfmakeraw(&tio);
    tio.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | PARMRK | IGNPAR);
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | HUPCL);
    tio.c_cflag |= CLOCAL | CREAD | kSizeFlags[static_cast<std::size_t>(s.dataBits - 5)] | parity->flags;
    if (s.stopBits == 2)
        tio.c_cflag |= CSTOPB;
    // At least one byte per read: with none at all a read of an empty line would return 0,
    // which is what a hung-up line returns. The descriptor is non-blocking, so an empty
    // line answers EAGAIN instead.
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    // An unusual rate is set afterwards through the arbitrary-rate interface.
    const SpeedCode* speed = findSpeedByBaud(s.baud);
    const speed_t code = speed ? speed->code : B38400;
    if (cfsetispeed(&tio, code) != 0 || cfsetospeed(&tio, code) != 0)
        return refuse(error, fmt::format(fmt::runtime(utf8Chars(u8"系统不接受波特率{}")), s.baud));
    return true;
}

bool IsPseudoTerminal(int fd)
{
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode))
        return false;
    const unsigned m = major(st.st_rdev);
    return m >= kPtySlaveMajorFirst && m <= kPtySlaveMajorLast;
}

bool ApplyLineSettings(int fd, const LineSettings& s, std::string& error)
{
    termios tio{};
    if (tcgetattr(fd, &tio) != 0)
        return refuse(error, fmt::format(fmt::runtime(utf8Chars(u8"读取串口设置失败：{}")), systemErrorText(errno)));
    if (!MakeLineTermios(s, tio, error))
        return false;
    if (tcsetattr(fd, TCSANOW, &tio) != 0)
        return refuse(error, fmt::format(fmt::runtime(utf8Chars(u8"设置串口失败：{}")), systemErrorText(errno)));
    if (!findSpeedByBaud(s.baud) && !SetCustomBaud(fd, s.baud, error))
        return false;

    // tcsetattr succeeds when any part was taken; a device that silently dropped part of the
    // framing would talk garbage, so check it. A pseudo-terminal always reports 8 data bits
    // without parity whatever it was given (the framing means nothing to it).
    termios now{};
    if (tcgetattr(fd, &now) != 0)
        return refuse(error, fmt::format(fmt::runtime(utf8Chars(u8"读取串口设置失败：{}")), systemErrorText(errno)));
    tcflag_t framing = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB;
    if (IsPseudoTerminal(fd))
        framing &= ~(CSIZE | PARENB);
    if ((now.c_cflag & framing) != (tio.c_cflag & framing))
        return refuse(error, fmt::format(fmt::runtime(utf8Chars(u8"设备不接受{}位数据位、校验方式{}、{}位停止位")),
                                         s.dataBits, s.parity, s.stopBits));
    const auto baud = ReadCustomBaud(fd);
    if (baud && std::abs(*baud - s.baud) * 50 > s.baud) // drivers round to what the clock gives
        return refuse(error, fmt::format(fmt::runtime(utf8Chars(u8"设备以波特率{}运行，而不是{}")), *baud, s.baud));
    return true;
}

std::optional<LineSettings> ReadLineSettings(int fd)
{
    termios tio{};
    if (tcgetattr(fd, &tio) != 0)
        return std::nullopt;
    LineSettings s;
    const auto size = tio.c_cflag & CSIZE;
    for (std::size_t i = 0; i < kSizeFlags.size(); ++i)
        if (kSizeFlags[i] == size)
            s.dataBits = static_cast<int>(i) + 5;
    s.stopBits = (tio.c_cflag & CSTOPB) ? 2 : 1;
    s.parity = '?';
    for (const auto& p : kParities)
        if ((tio.c_cflag & (PARENB | PARODD | CMSPAR)) == p.flags)
            s.parity = p.letter;
    s.baud = ReadCustomBaud(fd).value_or(0);
    return s;
}

} // namespace qv
