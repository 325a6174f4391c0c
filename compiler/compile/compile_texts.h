#pragma once
// The compile's log lines and message-box texts (see platform/text/own_text.h); every log
// line carries its own "\r\n".
#include "platform/text/own_text.h"

namespace qv::compile::text {

inline constexpr OwnText kStartCompiler = "启动编译器编译工程\r\n";
inline constexpr OwnText kNoThread = "计算机内存不足，创建线程失败!!!\r\n";
inline constexpr OwnText kDiskFull = "存放工程的磁盘空间不足，编译工程失败\r\n";
inline constexpr OwnText kUserAbort = "用户执行取消编译!!!\r\n";
inline constexpr OwnText kAbortDone = "取消编译成功!!!";
inline constexpr OwnText kTooManyItems = "工程中画面或控件数量太多，编译工程失败\r\n";
inline constexpr OwnText kCannotReopen = "无法打开NandFlash.Zip文件，编译工程失败\r\n";
inline constexpr OwnText kLinking = "链接生成NandFlash.Zip\r\n";
inline constexpr OwnText kSuccess = "编译工程成功";
inline constexpr OwnText kCompilingFile = "编译文件";

// Refusals that keep an image from holding values its fields cannot carry.
inline constexpr OwnText kBadFlashCode = "FLASH容量设置错误，编译工程失败\r\n";
inline constexpr OwnText kTooManyWindows = "工程中画面和子窗口总数超过255个，编译工程失败\r\n";
inline constexpr OwnText kMissingWindowPrefix = "找不到窗口文件";      // + file name
inline constexpr OwnText kRecordTooLargeSuffix = "的控件数据超过64K字节"; // file name +
inline constexpr OwnText kFailSuffix = "，编译工程失败\r\n";
inline constexpr OwnText kResolutionOutOfRange = "工程分辨率超出范围"; // + width X height (range) +
inline constexpr OwnText kUserCodeInvalid = "MC8051单片机代码有误，编译工程失败\r\n";
inline constexpr OwnText kPlcBlockShort = "PLC通讯协议数据不完整，编译工程失败\r\n";
// A fault inside the compiler itself; the reason (GBK) follows in brackets.
inline constexpr OwnText kInternalError = "编译器内部错误，编译工程失败";

} // namespace qv::compile::text
