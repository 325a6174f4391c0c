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

// The eleven windows of the start map.
const std::array<SystemWindow, 11> kWindows{{
    {0x070, syswin::NumericKeypad},
    {0x071, syswin::SystemSettings},
    {0x072, syswin::Login},
    {0x073, syswin::AccessWarning},
    {0x074, syswin::WrongPassword},
    {0x075, syswin::LogoutConfirm},
    {0x076, syswin::LoggedOut},
    {0x077, syswin::SaveConfirm},
    {0x0C0, syswin::SystemKeyboard},
    {0x0EC, syswin::Port1NoReply},
    {0x0ED, syswin::Port2NoReply},
}};

} // namespace

std::span<const SettingsCopy> startMapSettingsCopies() { return kCopies; }
std::span<const SystemWindow> startMapWindows() { return kWindows; }

} // namespace qv::image
