#include "compiler/image/image_layout.h"

#include <algorithm>
#include <array>

namespace qv::image {
namespace {

constexpr std::array<SettingsCopy, 24> kCopies{{
    {0x0B8, 68, 1},  {0x0B9, 69, 1},  {0x0BA, 70, 1},  {0x0BB, 71, 1},
    {0x0D4, 112, 4}, {0x0D8, 116, 4}, {0x0DC, 120, 4}, {0x0E0, 124, 4},
    {0x0F0, 144, 4}, {0x0F8, 212, 4}, {0x100, 220, 4}, {0x104, 136, 4},
    {0x108, 140, 4}, {0x110, 228, 4}, {0x114, 232, 4}, {0x118, 236, 4},
    {0x11C, 264, 4}, {0x120, 268, 4}, {0x124, 272, 4}, {0x128, 276, 1},
    {0x129, 284, 1}, {0x12A, 280, 2}, {0x12C, 288, 2}, {0x12E, 290, 2},
}};

// The eleven windows of the start map; every sub-window here is a system sub-window.
const std::array<SystemWindow, 11> kWindows{{
    {0x070, "数字键盘.dlg", false},
    {0x071, "系统设置.drw", true},
    {0x072, "系统登陆.dlg", false},
    {0x073, "权限警告.dlg", false},
    {0x074, "密码错误.dlg", false},
    {0x075, "注销确认.dlg", false},
    {0x076, "已经注销.dlg", false},
    {0x077, "保存确认.dlg", false},
    {0x0C0, "系统键盘.dlg", false},
    {0x0EC, "串口1无响应.dlg", false},
    {0x0ED, "串口2无响应.dlg", false},
}};

} // namespace

std::span<const SettingsCopy> startMapSettingsCopies() { return kCopies; }
std::span<const SystemWindow> startMapWindows() { return kWindows; }

bool isSystemSubWindow(std::string_view fileNameGbk)
{
    return std::any_of(kWindows.begin(), kWindows.end(),
                       [&](const SystemWindow& w) { return !w.screen && w.fileName == fileNameGbk; });
}

} // namespace qv::image
