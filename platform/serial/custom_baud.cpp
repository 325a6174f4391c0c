#include "platform/serial/custom_baud.h"
#include "platform/text/system_error.h"

#include <asm/termbits.h>
#include <cerrno>
#include <cstring>
#include <fmt/format.h>
#include <sys/ioctl.h>

namespace qv {

bool SetCustomBaud(int fd, int baud, std::string& error)
{
    struct termios2 tio {};
    if (ioctl(fd, TCGETS2, &tio) != 0) {
        error = fmt::format(fmt::runtime(utf8Chars(u8"读取串口设置失败：{}")), systemErrorText(errno));
        return false;
    }
    tio.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    tio.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    tio.c_ispeed = static_cast<speed_t>(baud);
    tio.c_ospeed = static_cast<speed_t>(baud);
    if (ioctl(fd, TCSETS2, &tio) != 0) {
        error = fmt::format(fmt::runtime(utf8Chars(u8"设备不接受波特率{}：{}")), baud, systemErrorText(errno));
        return false;
    }
    return true;
}

std::optional<int> ReadCustomBaud(int fd)
{
    struct termios2 tio {};
    if (ioctl(fd, TCGETS2, &tio) != 0)
        return std::nullopt;
    return static_cast<int>(tio.c_ospeed);
}

} // namespace qv
