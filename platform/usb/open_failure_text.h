#pragma once
// The words the output bar uses for a device that did not open.
#include "platform/usb/usb_link.h"

#include <string>

namespace qv::usb {

// GBK text of `failure`, with the system's detail (errno text) appended when given.
std::string openFailureText(OpenFailure failure, const std::string& detail = {});
// A failed open with its text.
OpenResult openFailed(OpenFailure failure, const std::string& detail = {});
// The same for an errno of open().
OpenResult openFailedErrno(int error);
// The failure an errno of open() or of the kernel's answer stands for.
OpenFailure openFailureFromErrno(int error);
// The status an errno of a transfer stands for.
XferStatus statusFromErrno(int error);

} // namespace qv::usb
