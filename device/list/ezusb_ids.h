#pragma once
// The vendor-driver panels carry no name that says "panel": they are the USB devices whose
// vendor and product ids the user lists. QV_EZUSB_IDS ("04b4:8613,04b4:1004"), when set,
// is the whole list (tests); else the user's file <config>/quorvane/ezusb-ids.conf, one
// "vvvv:pppp" a line, '#' starting a comment; else none.
#include "platform/usb/usb_host.h"

#include <filesystem>
#include <string_view>
#include <vector>

namespace qv::device {

inline constexpr const char* kEzUsbIdsEnv = "QV_EZUSB_IDS";

std::filesystem::path EzUsbIdsFilePath();
// "vvvv:pppp" entries separated by `separator`, blanks ignored; malformed entries skipped.
std::vector<usb::UsbId> ParseEzUsbIds(std::string_view text, char separator);
std::vector<usb::UsbId> EzUsbPanelIds();

} // namespace qv::device
