#pragma once
// The variable manager's own texts (see platform/text/own_text.h).
#include "platform/text/own_text.h"

namespace qv::vars::text {

inline constexpr OwnText kAddPrefix = "添加失败!";
inline constexpr OwnText kModifyPrefix = "修改失败!";
inline constexpr OwnText kSameName = "存在相同的变量名字";
inline constexpr OwnText kShortAlign = "short类型的变量的地址必须是2的倍数";
inline constexpr OwnText kIntAlign = "int类型的变量的地址必须是4的倍数";
inline constexpr OwnText kAddressOverlaps = "变量的地址与已有的变量重叠：";
inline constexpr OwnText kCannotDeleteSystem = "不能删除系统变量";
inline constexpr OwnText kCannotCutSystem = "不能剪贴系统变量";
inline constexpr OwnText kWrongPassword = "密码错误!!!";
inline constexpr OwnText kClearPassword = "70615283946";

inline constexpr OwnText kNameEmpty = "变量名字不能为空";
inline constexpr OwnText kNameBlank = "变量名字不能含有空格、制表符或换行符";
inline constexpr OwnText kNotGbk = "含有GBK编码不能表示的文字";
inline constexpr OwnText kTypeInvalid = "变量类型无效：";
inline constexpr OwnText kInitNotNumber = "初始值必须是十进制整数：";
inline constexpr OwnText kInitOutOfRange = "初始值超出变量类型的范围：";
inline constexpr OwnText kSystemNameFixed = "系统变量的名字和类型不能修改";
inline constexpr OwnText kCountRange = "变量个数必须在1～30000之间";
inline constexpr OwnText kMemoryFull = "HMI变量存储区（64K字节）已满";
inline constexpr OwnText kNoProject = "没有打开的工程";
inline constexpr OwnText kCopiesSkipped = "以下变量没有添加：";

inline constexpr OwnText kHeaderPlaceBefore = "头文件位置： <";
inline constexpr OwnText kHeaderPlaceAfter = "> 文件夹下的SysVar.h和HmiVar.h";

} // namespace qv::vars::text
