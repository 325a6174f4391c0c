#pragma once
// The vendor-driver (EZ-USB) back end on libusb-1.0: the device node is opened by us (so the
// root folder of the scan holds) and wrapped; interface 0 is claimed and pipe n is its n-th
// endpoint.
#include "platform/usb/usb_link.h"

#include <filesystem>

namespace qv::usb {

OpenResult openLibusbPipes(const std::filesystem::path& devNode);

} // namespace qv::usb
