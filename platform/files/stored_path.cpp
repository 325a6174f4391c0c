#include "platform/files/stored_path.h"

#include "platform/text/gbk.h"

#include <system_error>

namespace qv {
namespace {

bool utf8EqualsNoCaseAscii(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

std::filesystem::path matchPart(const std::filesystem::path& dir, const std::string& part)
{
    std::error_code ec;
    std::filesystem::path exact = dir / std::filesystem::path(part);
    if (std::filesystem::exists(std::filesystem::symlink_status(exact, ec)))
        return exact;
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        if (utf8EqualsNoCaseAscii(it->path().filename().string(), part))
            return it->path();
    }
    return exact;
}

} // namespace

std::optional<std::filesystem::path> resolveStoredPath(const std::filesystem::path& base, std::string_view stored)
{
    std::filesystem::path result = base;
    for (const std::string& rawPart : splitGbk(stored, '\\')) {
        for (const std::string& part : splitGbk(rawPart, '/')) {
            if (part.empty() || part == ".")
                continue;
            if (part == ".." || part.find(':') != std::string::npos)
                return std::nullopt;
            std::optional<std::string> utf8 = gbkToUtf8(part);
            if (!utf8)
                return std::nullopt;
            result = matchPart(result, *utf8);
        }
    }
    return result;
}

} // namespace qv
