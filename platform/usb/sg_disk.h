#pragma once
// The disk back end: SCSI commands through the SG_IO ioctl of the disk's node.
#include "platform/usb/usb_link.h"

#include <filesystem>

namespace qv::usb {

OpenResult openSgDisk(const std::filesystem::path& devNode);

} // namespace qv::usb
