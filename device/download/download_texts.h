#pragma once
// The texts of the project and code downloads (see platform/text/own_text.h).
#include "platform/text/own_text.h"

namespace qv::device::text {

inline constexpr OwnText kDownloading = "正在下载，请稍等......\r\n";
inline constexpr OwnText kNoImage = "请先生成Flash文件!!!";
inline constexpr OwnText kDownloadFailedLine = "下载失败\r\n";
inline constexpr OwnText kDownloadFailed = "下载失败";
inline constexpr OwnText kUserAbort = "用户终止下载\r\n";
inline constexpr OwnText kUsbErrorLine = "USB通信错误\r\n";
inline constexpr OwnText kNoCapacity = "NandFlash容量不够\r\n";
inline constexpr OwnText kNoBaseBlock = "NandFlash基地址不够，请联系调整\r\n";
inline constexpr OwnText kCheckFlash = "检查NANDFLASH....\r\n";
inline constexpr OwnText kStage1 = "下载阶段一....\r\n";
inline constexpr OwnText kStage2 = "下载阶段二....\r\n";
inline constexpr OwnText kStage3 = "下载阶段三....\r\n";
inline constexpr OwnText kStage4 = "下载阶段四....\r\n";
inline constexpr OwnText kStage5 = "下载阶段五....\r\n";
inline constexpr OwnText kStage6 = "下载阶段六....\r\n";
inline constexpr OwnText kStage64 = "下载阶段六4....\r\n";
inline constexpr OwnText kStage65 = "下载阶段六5....\r\n";
inline constexpr OwnText kStage7 = "下载阶段七....\r\n";
inline constexpr OwnText kProjectDone = "下载工程成功";
inline constexpr OwnText kCodeDone = "下载单片机代码成功";
inline constexpr OwnText kLineEnd = "\r\n";
inline constexpr OwnText kDownloadFile = "下载文件:";
inline constexpr OwnText kColourMismatch = "工程的颜色位深与目标的不一致";
inline constexpr OwnText kFlashTypeMismatch = "工程NandFlash型号与目标的不一致";
inline constexpr OwnText kNoMemory = "内存不足";
inline constexpr OwnText kNoCode = "无正确的单片机代码下载!";
inline constexpr OwnText kRedownload = "正在重新下载工程和单片机代码.....\r\n";
inline constexpr OwnText kNameTooLong = "下位机机器名不能大于15个字符";
inline constexpr OwnText kNoThread = "计算机内存不足\r\n";
// Our own: the image or the panel's stored project cannot be used as it is.
inline constexpr OwnText kBadImage = "Flash文件已损坏，下载失败!";
inline constexpr OwnText kImageReadFailed = "读取Flash文件失败\r\n";
inline constexpr OwnText kNameNotAscii = "下位机机器名只能使用英文字母、数字和符号";
inline constexpr OwnText kFileLeftOut = "文件超过128个，未下载:";
inline constexpr OwnText kPanelProjectDamaged = "下位机内的工程信息无效\r\n";
inline constexpr OwnText kBadCodeFile = "MC8051单片机代码文件有误，下载失败!\r\n";

} // namespace qv::device::text
