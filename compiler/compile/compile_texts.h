#pragma once
// The compile's log lines and message-box texts (GBK literals; every line carries its own
// "\r\n").
namespace qv::compile::text {

inline constexpr const char* kStartCompiler = "启动编译器编译工程\r\n";
inline constexpr const char* kNoThread = "计算机内存不足，创建线程失败!!!\r\n";
inline constexpr const char* kDiskFull = "存放工程的磁盘空间不足，编译工程失败\r\n";
inline constexpr const char* kUserAbort = "用户执行取消编译!!!\r\n";
inline constexpr const char* kAbortDone = "取消编译成功!!!";
inline constexpr const char* kTooManyItems = "工程中画面或控件数量太多，编译工程失败\r\n";
inline constexpr const char* kCannotReopen = "无法打开NandFlash.Zip文件，编译工程失败\r\n";
inline constexpr const char* kLinking = "链接生成NandFlash.Zip\r\n";
inline constexpr const char* kSuccess = "编译工程成功";
inline constexpr const char* kCompilingFile = "编译文件";

// Refusals that keep an image from holding values its fields cannot carry.
inline constexpr const char* kBadFlashCode = "FLASH容量设置错误，编译工程失败\r\n";
inline constexpr const char* kTooManyWindows = "工程中画面和子窗口总数超过255个，编译工程失败\r\n";
inline constexpr const char* kMissingWindowPrefix = "找不到窗口文件";      // + file name
inline constexpr const char* kRecordTooLargeSuffix = "的控件数据超过64K字节"; // file name +
inline constexpr const char* kFailSuffix = "，编译工程失败\r\n";
inline constexpr const char* kResolutionOutOfRange = "工程分辨率超出范围"; // + width X height (range) +
inline constexpr const char* kUserCodeInvalid = "MC8051单片机代码有误，编译工程失败\r\n";
inline constexpr const char* kPlcBlockShort = "PLC通讯协议数据不完整，编译工程失败\r\n";
// A fault inside the compiler itself; the reason (GBK) follows in brackets.
inline constexpr const char* kInternalError = "编译器内部错误，编译工程失败";

} // namespace qv::compile::text
