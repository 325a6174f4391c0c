#include "platform/usb/open_failure_text.h"

#include <cerrno>
#include <cstring>

namespace qv::usb {

std::string openFailureText(OpenFailure failure, const std::string& detail)
{
    std::string text;
    switch (failure) {
    case OpenFailure::None: text = "正常"; break;
    case OpenFailure::Missing: text = "设备已不存在"; break;
    case OpenFailure::NoPermission: text = "没有访问权限(请安装udev规则)"; break;
    case OpenFailure::Busy: text = "设备忙(已被其他程序占用)"; break;
    case OpenFailure::Changed: text = "设备已更换,请重新扫描"; break;
    case OpenFailure::NotPanel: text = "不是工控机设备"; break;
    case OpenFailure::Other: text = "无法打开"; break;
    }
    if (!detail.empty())
        text += "(" + detail + ")";
    return text;
}

OpenResult openFailed(OpenFailure failure, const std::string& detail)
{
    OpenResult r;
    r.failure = failure;
    r.reason = openFailureText(failure, detail);
    return r;
}

OpenResult openFailedErrno(int error)
{
    return openFailed(openFailureFromErrno(error), std::strerror(error));
}

OpenFailure openFailureFromErrno(int error)
{
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO: return OpenFailure::Missing;
    case EACCES:
    case EPERM: return OpenFailure::NoPermission;
    case EBUSY: return OpenFailure::Busy;
    default: return OpenFailure::Other;
    }
}

XferStatus statusFromErrno(int error)
{
    switch (error) {
    case ENODEV:
    case ENXIO:
    case ESHUTDOWN:
    case EIO: return XferStatus::Disconnected;
    case ETIMEDOUT:
    case EAGAIN: return XferStatus::Timeout;
    case EPIPE: return XferStatus::Stall;
    default: return XferStatus::Error;
    }
}

} // namespace qv::usb
