#pragma once
// The variable manager's own texts (GBK). Never put them inside a fmt format string.
#include <string_view>

namespace qv::var_text {

inline constexpr std::string_view AddPrefix = "添加失败!";
inline constexpr std::string_view ModifyPrefix = "修改失败!";
inline constexpr std::string_view SameName = "存在相同的变量名字";
inline constexpr std::string_view ShortAlign = "short类型的变量的地址必须是2的倍数";
inline constexpr std::string_view IntAlign = "int类型的变量的地址必须是4的倍数";
inline constexpr std::string_view AddressOverlaps = "变量的地址与已有的变量重叠：";
inline constexpr std::string_view CannotDeleteSystem = "不能删除系统变量";
inline constexpr std::string_view CannotCutSystem = "不能剪贴系统变量";
inline constexpr std::string_view WrongPassword = "密码错误!!!";
inline constexpr std::string_view ClearPassword = "70615283946";

inline constexpr std::string_view NameEmpty = "变量名字不能为空";
inline constexpr std::string_view NameBlank = "变量名字不能含有空格、制表符或换行符";
inline constexpr std::string_view NotGbk = "含有GBK编码不能表示的文字";
inline constexpr std::string_view TypeInvalid = "变量类型无效：";
inline constexpr std::string_view InitNotNumber = "初始值必须是十进制整数：";
inline constexpr std::string_view InitOutOfRange = "初始值超出变量类型的范围：";
inline constexpr std::string_view SystemNameFixed = "系统变量的名字和类型不能修改";
inline constexpr std::string_view CountRange = "变量个数必须在1～30000之间";
inline constexpr std::string_view MemoryFull = "HMI变量存储区（64K字节）已满";
inline constexpr std::string_view NoProject = "没有打开的工程";
inline constexpr std::string_view CopiesSkipped = "以下变量没有添加：";

inline constexpr std::string_view HeaderPlaceBefore = "头文件位置： <";
inline constexpr std::string_view HeaderPlaceAfter = "> 文件夹下的SysVar.h和HmiVar.h";

} // namespace qv::var_text
