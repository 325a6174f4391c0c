#pragma once
// The texts of the device commands (see platform/text/own_text.h).
#include "platform/text/own_text.h"

namespace qv::device::text {

inline constexpr OwnText kUsbNotConnected = "USB未连接\r\n";
inline constexpr OwnText kUsbError = "USB通信错误";
inline constexpr OwnText kClockSynced = "成功同步PC和下位机时钟！！！";
inline constexpr OwnText kFlashOkLine = "FLASH读写正常！！！\r\n";
inline constexpr OwnText kFlashOk = "FLASH读写正常！！！";
inline constexpr OwnText kFlashFailed = "FLASH读写失败！！！";
// A device command on a panel that a download or an upgrade is using.
inline constexpr OwnText kDeviceHeld = "该设备正在下载或升级,请稍后再试\r\n";
// A device command while the previous one still waits for its panel.
inline constexpr OwnText kCommandRunning = "上一个设备命令还没有结束\r\n";

} // namespace qv::device::text
