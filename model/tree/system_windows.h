#pragma once
// The windows every project may carry for the panel's own dialogs. Seven sub-windows are
// never deleted (the run time opens them by name) and are imported together; three more are
// shown as system windows; one screen is the system screen.
#include <array>
#include <string_view>

namespace qv {

// In import order.
inline constexpr std::array<std::string_view, 7> kUndeletableSubWindows{
    "系统键盘.dlg", "数字键盘.dlg", "系统登陆.dlg", "权限警告.dlg", "密码错误.dlg", "串口1无响应.dlg", "串口2无响应.dlg"};

inline constexpr std::string_view kSystemScreen = "系统设置.drw";

// Folder of the base folder's "images" that holds the files of the special windows and, in
// its "images" subfolder, their pictures.
inline constexpr std::string_view kSpecialWindowFolder = "images\\SpecialWindow";

bool IsUndeletableSubWindow(std::string_view fileNameGbk);

} // namespace qv
