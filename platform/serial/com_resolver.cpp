#include "platform/serial/com_resolver.h"

#include "platform/files/atomic_file.h"
#include "platform/process/user_dirs.h"
#include "platform/text/system_error.h"

#include <charconv>
#include <cstdlib>
#include <fmt/format.h>

namespace qv {
namespace {

std::string_view trim(std::string_view s)
{
    constexpr std::string_view blanks = " \t\r\n";
    const auto first = s.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

std::optional<int> parseComName(std::string_view name)
{
    if (name.size() >= 3 && (name[0] == 'C' || name[0] == 'c') && (name[1] == 'O' || name[1] == 'o')
        && (name[2] == 'M' || name[2] == 'm'))
        name.remove_prefix(3);
    int n = 0;
    const auto [end, ec] = std::from_chars(name.data(), name.data() + name.size(), n);
    if (ec != std::errc() || end != name.data() + name.size() || n < 1)
        return std::nullopt;
    return n;
}

} // namespace

std::filesystem::path ComMapFilePath()
{
    return userConfigDir() / "quorvane" / "com-ports.conf";
}

std::map<int, std::string> ParseComMap(std::string_view text, char separator)
{
    std::map<int, std::string> map;
    while (!text.empty()) {
        const auto cut = text.find(separator);
        std::string_view entry = text.substr(0, cut);
        text = cut == std::string_view::npos ? std::string_view{} : text.substr(cut + 1);
        if (const auto hash = entry.find('#'); hash != std::string_view::npos)
            entry = entry.substr(0, hash);
        const auto eq = entry.find('=');
        if (eq == std::string_view::npos)
            continue;
        const auto number = parseComName(trim(entry.substr(0, eq)));
        const auto path = trim(entry.substr(eq + 1));
        if (number && !path.empty())
            map[*number] = std::string(path);
    }
    return map;
}

std::optional<ComDevice> ResolveComPort(int comNumber, std::string* whyNot)
{
    auto refuse = [&](std::string why) -> std::optional<ComDevice> {
        if (whyNot)
            *whyNot = std::move(why);
        return std::nullopt;
    };
    if (comNumber < 1)
        return refuse(fmt::format(fmt::runtime(utf8Chars(u8"COM{} 不是有效的串口号")), comNumber));

    if (const char* env = std::getenv(kComMapEnv); env != nullptr) {
        const auto map = ParseComMap(env, ';');
        if (const auto it = map.find(comNumber); it != map.end())
            return ComDevice{it->second, kComMapEnv};
        return refuse(fmt::format(fmt::runtime(utf8Chars(u8"COM{} 不在 {} 中")), comNumber, kComMapEnv));
    }

    const auto file = ComMapFilePath();
    std::error_code ec;
    if (std::filesystem::exists(file, ec)) {
        std::string text;
        if (readWholeFile(file, text)) {
            const auto map = ParseComMap(text, '\n');
            if (const auto it = map.find(comNumber); it != map.end())
                return ComDevice{it->second, file.string()};
        }
    }
    return ComDevice{fmt::format("/dev/ttyS{}", comNumber - 1), "default"};
}

} // namespace qv
