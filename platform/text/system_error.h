#pragma once
// The operating system's common error numbers in the program's language: the Chinese
// text first, the system's own text after it in brackets, so a user reads the reason and a
// search still finds the original. Numbers without an entry keep the system's text alone.
#include <string>

namespace qv {

// A UTF-8 literal as the bytes the program's UTF-8 strings hold (plain literals are GBK).
inline const char* utf8Chars(const char8_t* text) { return reinterpret_cast<const char*>(text); }

// UTF-8, e.g. "文件不存在 (No such file or directory)" for ENOENT.
std::string systemErrorText(int errorNumber);

} // namespace qv
