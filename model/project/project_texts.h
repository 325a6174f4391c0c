#pragma once
// The project commands' own texts (GBK). Never put them inside a fmt format string.
#include <string_view>

namespace qv::project_text {

inline constexpr std::string_view ProjectExists = "选定目录下工程已经存在！！！";
inline constexpr std::string_view SaveAsFolderTitle = "请选择目录：";
inline constexpr std::string_view SaveAsExistsPrefix = "选定目录下存在同工程名";
inline constexpr std::string_view SaveAsExistsSuffix = "的文件夹!!!";
inline constexpr std::string_view SaveAsFailed = "另存为失败！！！";
inline constexpr std::string_view SaveAsDonePrefix = "成功另存为工程到目录";
inline constexpr std::string_view SaveAsIntoItself = "不能把工程另存到工程自己的文件夹里！！！";
inline constexpr std::string_view RefreshMissingWindow = "Error:UpDateVar";
inline constexpr std::string_view FirstScreen = "win0.drw";
inline constexpr std::string_view ProjectExtension = ".hmi";
inline constexpr std::string_view WindowFolder = "window";

inline constexpr std::string_view CannotCreateFolder = "无法创建文件夹：";
inline constexpr std::string_view CannotWriteLatest = "无法写入latest.txt：";
inline constexpr std::string_view CannotCopyFolder = "无法复制文件夹：";
inline constexpr std::string_view CannotCopyFile = "无法复制文件：";
inline constexpr std::string_view CannotReadFile = "无法读取文件：";
inline constexpr std::string_view RecentProjectGone = "工程文件不存在，已从最近文件列表中删除：";
inline constexpr std::string_view NameNotGbk = "名字含有GBK不能表示的字符：";
inline constexpr std::string_view WindowNotFixed = "窗口文件没有更新变量编号，它的变量引用可能已经错位：";

} // namespace qv::project_text
