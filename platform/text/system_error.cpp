#include "platform/text/system_error.h"

#include <cerrno>
#include <cstring>

namespace qv {
namespace {

struct ErrorText {
    int number;
    const char8_t* chinese;
};

constexpr ErrorText kErrorTexts[] = {
    {ENOENT, u8"文件不存在"},
    {EACCES, u8"没有访问权限"},
    {EPERM, u8"不允许的操作"},
    {EBUSY, u8"设备或资源正忙"},
    {ENODEV, u8"没有这个设备"},
    {ENXIO, u8"设备不存在或未连接"},
    {EIO, u8"输入输出错误"},
    {ENOTTY, u8"设备不支持这个操作"},
    {EINVAL, u8"无效的参数"},
    {ENOSPC, u8"磁盘空间不足"},
    {EDQUOT, u8"超出磁盘配额"},
    {EROFS, u8"文件系统只读"},
    {EEXIST, u8"文件已存在"},
    {ENOTDIR, u8"路径中有一项不是文件夹"},
    {EISDIR, u8"这是一个文件夹"},
    {ENAMETOOLONG, u8"文件名太长"},
    {EMFILE, u8"打开的文件太多"},
    {ENFILE, u8"系统打开的文件太多"},
    {ENOMEM, u8"内存不足"},
    {EAGAIN, u8"资源暂时不可用"},
    {EINTR, u8"操作被中断"},
    {ETIMEDOUT, u8"操作超时"},
    {ELOOP, u8"符号链接层数太多"},
    {ETXTBSY, u8"文件正在使用"},
};

} // namespace

std::string systemErrorText(int errorNumber)
{
    const std::string raw = std::strerror(errorNumber);
    for (const ErrorText& e : kErrorTexts)
        if (e.number == errorNumber)
            return reinterpret_cast<const char*>(e.chinese) + (" (" + raw + ")");
    return raw;
}

} // namespace qv
