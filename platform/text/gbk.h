#pragma once
// GBK text: the model, the files and the panel hold GBK bytes; UTF-8 exists only at the
// Qt and file-system edges. Every walk over GBK text is lead-byte aware, because 0x5C ('\')
// and other ASCII values occur as second bytes of two-byte characters.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

constexpr bool isGbkLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// Length in bytes of the character starting at s[i] (1 or 2; 1 for a lone lead byte at the end).
inline std::size_t gbkCharLength(std::string_view s, std::size_t i)
{
    return (isGbkLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ? 2 : 1;
}

// Converters through glibc iconv (CP936). nullopt when the input is not valid in its
// encoding or holds a character the other side cannot represent.
std::optional<std::string> gbkToUtf8(std::string_view gbk);
std::optional<std::string> utf8ToGbk(std::string_view utf8);

// For display and logs: invalid sequences become U+FFFD instead of failing.
std::string gbkToUtf8Lossy(std::string_view gbk);

// Splits on an ASCII separator, never inside a two-byte character.
std::vector<std::string> splitGbk(std::string_view s, char separator);

// ASCII letters folded to lower case; second bytes of two-byte characters stay as they are.
std::string gbkAsciiLower(std::string_view s);

// Case-insensitive compare of ASCII letters, lead-byte aware (Windows-style name matching).
bool gbkEqualsNoCase(std::string_view a, std::string_view b);

} // namespace qv
