#pragma once
// Clock, FLASH test, clear and buzzer: each opens the device it is given (the one selected
// when the command started), speaks its command and closes it. They block on the panel, so
// they run off the GUI thread (DeviceCommandThread); the download runs the FLASH test on its
// own connection.
#include "device/link/panel_framing.h"
#include "device/tasks/device_command_services.h"

#include <cstdint>
#include <optional>

namespace qv::device {

using Device = std::optional<usb::UsbCandidate>;

// Waits while the PC's seconds are above 57 (sleeping to the next minute, never spinning),
// then sends the time with second + 1. Success is shown only when the command went out.
void SyncPanelClockWith(const Device& device, const DeviceCommandServices& s);
// The FLASH test over an open link: reply 1 gives an output line and true; anything else
// (0, no reply, a lost panel) the failure message and false.
bool TestFlashOn(PanelFraming& link, const DeviceCommandServices& s);
// The same on `device`, opened for it ("USB未连接" when it does not open).
bool TestFlashWith(const Device& device, const DeviceCommandServices& s);
// The FLASH test; when it passed, the message box says so.
void ClearFlashProjectWith(const Device& device, const DeviceCommandServices& s);
// The buzzer coefficient as it is.
void BeepWith(const Device& device, std::uint32_t coefficient, const DeviceCommandServices& s);

} // namespace qv::device
