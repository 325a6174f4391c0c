#pragma once
// The project commands' own texts (see platform/text/own_text.h).
#include "platform/text/own_text.h"

namespace qv::project::text {

inline constexpr OwnText kProjectExists = "选定目录下工程已经存在！！！";
inline constexpr OwnText kSaveAsFolderTitle = "请选择目录：";
inline constexpr OwnText kSaveAsExistsPrefix = "选定目录下存在同工程名";
inline constexpr OwnText kSaveAsExistsSuffix = "的文件夹!!!";
inline constexpr OwnText kSaveAsFailed = "另存为失败！！！";
inline constexpr OwnText kSaveAsDonePrefix = "成功另存为工程到目录";
inline constexpr OwnText kSaveAsIntoItself = "不能把工程另存到工程自己的文件夹里！！！";
inline constexpr OwnText kRefreshMissingWindow = "Error:UpDateVar";
inline constexpr OwnText kFirstScreen = "win0.drw";
inline constexpr OwnText kProjectExtension = ".hmi";
inline constexpr OwnText kWindowFolder = "window";

inline constexpr OwnText kCannotCreateFolder = "无法创建文件夹：";
inline constexpr OwnText kCannotWriteLatest = "无法写入latest.txt：";
inline constexpr OwnText kCannotCopyFolder = "无法复制文件夹：";
inline constexpr OwnText kCannotCopyFile = "无法复制文件：";
inline constexpr OwnText kCannotReadFile = "无法读取文件：";
inline constexpr OwnText kRecentProjectGone = "工程文件不存在，已从最近文件列表中删除：";
inline constexpr OwnText kNameNotGbk = "名字含有GBK不能表示的字符：";
inline constexpr OwnText kWindowNotFixed = "窗口文件没有更新变量编号，它的变量引用可能已经错位：";

} // namespace qv::project::text
