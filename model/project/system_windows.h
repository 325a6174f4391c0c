#pragma once
// The windows the panel's firmware and the simulator find by file name: ten system
// sub-windows and the system settings screen. One table for the model and the compiler.
#include <span>
#include <string_view>

namespace qv {

namespace syswin {
inline constexpr std::string_view NumericKeypad = "数字键盘.dlg";
inline constexpr std::string_view SystemSettings = "系统设置.drw";
inline constexpr std::string_view Login = "系统登陆.dlg";
inline constexpr std::string_view AccessWarning = "权限警告.dlg";
inline constexpr std::string_view WrongPassword = "密码错误.dlg";
inline constexpr std::string_view LogoutConfirm = "注销确认.dlg";
inline constexpr std::string_view LoggedOut = "已经注销.dlg";
inline constexpr std::string_view SaveConfirm = "保存确认.dlg";
inline constexpr std::string_view SystemKeyboard = "系统键盘.dlg";
inline constexpr std::string_view Port1NoReply = "串口1无响应.dlg";
inline constexpr std::string_view Port2NoReply = "串口2无响应.dlg";
} // namespace syswin

struct SystemWindowName {
    std::string_view fileName; // GBK, extension included
    bool screen;               // the settings screen; every other entry is a sub-window
};

// All eleven, in the order above.
std::span<const SystemWindowName> systemWindows();

// True for the ten system sub-windows (whole file name, ".dlg" included, exact bytes).
bool isSystemSubWindow(std::string_view fileNameGbk);

} // namespace qv
