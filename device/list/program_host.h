#pragma once
// The USB host the program talks to: the simulated panels of QV_SIM_PANELS when that is set
// (so a test run never reaches real hardware), else the machine's own devices.
#include "platform/usb/usb_host.h"

#include <string>

namespace qv::device {

usb::UsbHost& ProgramUsbHost();
// What went wrong reading QV_SIM_PANELS (empty when it parsed or is not set).
const std::string& ProgramUsbHostProblem();
// Reads QV_SIM_PANELS again into a new host, so that each test of a process has the panels
// it names. Nothing may use the old host any more (no window, worker or connection).
void ResetProgramUsbHost();

} // namespace qv::device
