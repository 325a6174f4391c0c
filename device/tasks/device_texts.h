#pragma once
// The texts of the device commands (GBK in the program).
namespace qv::device::text {

inline constexpr const char* kUsbNotConnected = "USB未连接\r\n";
inline constexpr const char* kUsbError = "USB通信错误";
inline constexpr const char* kClockSynced = "成功同步PC和下位机时钟！！！";
inline constexpr const char* kFlashOkLine = "FLASH读写正常！！！\r\n";
inline constexpr const char* kFlashOk = "FLASH读写正常！！！";
inline constexpr const char* kFlashFailed = "FLASH读写失败！！！";
// A device command on a panel that a download or an upgrade is using.
inline constexpr const char* kDeviceHeld = "该设备正在下载或升级,请稍后再试\r\n";
// A device command while the previous one still waits for its panel.
inline constexpr const char* kCommandRunning = "上一个设备命令还没有结束\r\n";

} // namespace qv::device::text
