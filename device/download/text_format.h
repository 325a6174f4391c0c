#pragma once
// printf-style texts for GBK format strings: '%' never occurs as a GBK second byte, so the
// C formatter reads such a string correctly (fmt's braces could).
#include <cstdarg>
#include <cstdio>
#include <string>

namespace qv::device {

[[gnu::format(printf, 1, 2)]] inline std::string formatGbk(const char* format, ...)
{
    char buffer[512];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return n < 0 ? std::string{} : std::string(buffer, std::min<std::size_t>(std::size_t(n), sizeof buffer - 1));
}

} // namespace qv::device
