#include "platform/text/gbk.h"

#include <cerrno>
#include <iconv.h>

namespace qv {
namespace {

// One iconv descriptor per direction and thread: iconv_t is not safe to share.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter()
    {
        if (cd_ != reinterpret_cast<iconv_t>(-1))
            iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts the whole input; on an invalid or unrepresentable sequence either fails
    // or, with a replacement, emits it and skips one byte.
    std::optional<std::string> run(std::string_view in, std::string_view replacement = {}, bool lossy = false)
    {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            return std::nullopt;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::string out;
        out.resize(in.size() * 2 + 8);
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        size_t used = 0;
        while (srcLeft > 0) {
            char* dst = out.data() + used;
            size_t dstLeft = out.size() - used;
            size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            used = out.size() - dstLeft;
            if (r != static_cast<size_t>(-1))
                break;
            if (errno == E2BIG) {
                out.resize(out.size() * 2);
                continue;
            }
            if (!lossy)
                return std::nullopt;
            // EILSEQ or EINVAL: replace one byte and go on.
            out.resize(used);
            out += replacement;
            used = out.size();
            out.resize(used + srcLeft * 2 + 8);
            ++src;
            --srcLeft;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        out.resize(used);
        return out;
    }

private:
    iconv_t cd_;
};

Converter& gbkToUtf8Converter()
{
    thread_local Converter c("UTF-8", "CP936");
    return c;
}

Converter& utf8ToGbkConverter()
{
    thread_local Converter c("CP936", "UTF-8");
    return c;
}

bool isAscii(std::string_view s)
{
    for (unsigned char c : s)
        if (c >= 0x80)
            return false;
    return true;
}

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

} // namespace

std::optional<std::string> gbkToUtf8(std::string_view gbk)
{
    if (isAscii(gbk))
        return std::string(gbk);
    return gbkToUtf8Converter().run(gbk);
}

std::optional<std::string> utf8ToGbk(std::string_view utf8)
{
    if (isAscii(utf8))
        return std::string(utf8);
    return utf8ToGbkConverter().run(utf8);
}

std::string gbkToUtf8Lossy(std::string_view gbk)
{
    if (isAscii(gbk))
        return std::string(gbk);
    return gbkToUtf8Converter().run(gbk, "\xEF\xBF\xBD", true).value_or(std::string());
}

std::vector<std::string> splitGbk(std::string_view s, char separator)
{
    std::vector<std::string> parts;
    std::string current;
    for (std::size_t i = 0; i < s.size();) {
        std::size_t n = gbkCharLength(s, i);
        if (n == 1 && s[i] == separator) {
            parts.push_back(std::move(current));
            current.clear();
        } else {
            current.append(s.substr(i, n));
        }
        i += n;
    }
    parts.push_back(std::move(current));
    return parts;
}

std::string gbkAsciiLower(std::string_view s)
{
    std::string out(s);
    for (std::size_t i = 0; i < out.size();) {
        std::size_t n = gbkCharLength(out, i);
        if (n == 1)
            out[i] = asciiLower(out[i]);
        i += n;
    }
    return out;
}

bool gbkEqualsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && gbkAsciiLower(a) == gbkAsciiLower(b);
}

} // namespace qv
