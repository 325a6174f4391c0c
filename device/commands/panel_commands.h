#pragma once
// The panel's commands, written once over any kind's framing. Every transfer is checked:
// a command reports success only when each of its transfers moved all its bytes in time.
#include "device/commands/device_info.h"
#include "device/link/panel_framing.h"
#include "device/link/wait_clock.h"
#include "model/vars/panel_clock.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

namespace qv::device {

// What a block write reads and reports while it runs.
struct BlockWriteControl {
    const std::atomic<int>* abort = nullptr;        // the application's abort flag
    std::atomic<int>* progressDone = nullptr;       // bytes sent so far (caller sets it first)
    const std::atomic<int>* progressTotal = nullptr;
    std::function<void(int percent)> reportProgress; // done x 100 / total after every piece
};

// Command 1: the block goes out in the kind's pieces, then the 4-byte result word (0: written,
// else an address inside the first bad block the panel met). 0 when the block went through,
// -1 on a transport failure, an abort (command 3 then sent), or a length the kind cannot
// carry whole. A write started with the abort flag set touches nothing.
int UsbWriteBlock(PanelFraming& link, std::span<const std::uint8_t> data, std::uint32_t address,
                  const BlockWriteControl& control, std::uint32_t& resultWord);

bool UsbResetDevice(PanelFraming& link);        // command 4, no reply
// Command 3, no reply: it closes the exchange under way, so it goes out at once and a late
// reply is read away before the next command instead.
bool SendAbortWrite(PanelFraming& link);
bool StartFirmwareUpgrade(PanelFraming& link);  // command 7, no reply
std::optional<std::uint8_t> QueryBusy(PanelFraming& link);          // command 2: 1 = busy
std::optional<DeviceInfo> QueryDeviceInfo(PanelFraming& link);      // command 11
// Command 6: fills `out` in 64-byte replies.
bool ReadFlash(PanelFraming& link, std::uint32_t address, std::span<std::uint8_t> out);
// Command 0x30: year, month, day, hour, minute, then second + 1.
bool SendPanelClock(PanelFraming& link, const PanelTime& time);
// Command 0x31: the reply byte (1 = the flash passed). The disk panel needs three seconds
// before it answers; the wait takes `clock`.
std::optional<std::uint8_t> RunFlashTest(PanelFraming& link, WaitClock& clock);
// Command 0x32: the coefficient as it is, little-endian.
bool SendBuzzerCoefficient(PanelFraming& link, std::uint32_t coefficient);

} // namespace qv::device
