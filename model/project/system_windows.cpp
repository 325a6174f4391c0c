#include "model/project/system_windows.h"

#include <algorithm>
#include <array>

namespace qv {

namespace {

constexpr std::array<SystemWindowName, 11> kSystemWindows{{
    {syswin::NumericKeypad, false},
    {syswin::SystemSettings, true},
    {syswin::Login, false},
    {syswin::AccessWarning, false},
    {syswin::WrongPassword, false},
    {syswin::LogoutConfirm, false},
    {syswin::LoggedOut, false},
    {syswin::SaveConfirm, false},
    {syswin::SystemKeyboard, false},
    {syswin::Port1NoReply, false},
    {syswin::Port2NoReply, false},
}};

} // namespace

std::span<const SystemWindowName> systemWindows() { return kSystemWindows; }

bool isSystemSubWindow(std::string_view fileNameGbk)
{
    return std::any_of(kSystemWindows.begin(), kSystemWindows.end(),
                       [&](const SystemWindowName& w) { return !w.screen && w.fileName == fileNameGbk; });
}

} // namespace qv
