#pragma once
// The HID back end: hidapi over hidraw. Reads come back without report id 0.
#include "platform/usb/usb_link.h"

#include <filesystem>

namespace qv::usb {

OpenResult openHidrawReports(const std::filesystem::path& devNode);

} // namespace qv::usb
