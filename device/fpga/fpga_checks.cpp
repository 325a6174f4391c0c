#include "device/fpga/fpga_checks.h"

#include "device/fpga/fpga_errors.h"

#include <charconv>
#include <fstream>
#include <sstream>

namespace qv::device::fpga {
namespace {

std::optional<unsigned> number(const std::string& word)
{
    unsigned v = 0;
    const bool hex = word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
    const char* first = word.data() + (hex ? 2 : 0);
    const char* last = word.data() + word.size();
    const auto r = std::from_chars(first, last, v, hex ? 16 : 10);
    if (r.ec != std::errc{} || r.ptr != last || first == last)
        return std::nullopt;
    return v;
}

std::optional<Vector16> vector16(const std::string& hex)
{
    if (hex.size() != 32)
        return std::nullopt;
    Vector16 v{};
    for (std::size_t i = 0; i < 16; ++i) {
        unsigned b = 0;
        const auto r = std::from_chars(hex.data() + 2 * i, hex.data() + 2 * i + 2, b, 16);
        if (r.ec != std::errc{} || r.ptr != hex.data() + 2 * i + 2)
            return std::nullopt;
        v[i] = static_cast<std::uint8_t>(b);
    }
    return v;
}

} // namespace

std::optional<CheckData> ParseCheckData(std::string_view text, std::string* why)
{
    CheckData data;
    std::istringstream in{std::string(text)};
    std::string line;
    int lineNo = 0;
    const auto bad = [&](const char* reason) -> std::optional<CheckData> {
        if (why)
            *why = "line " + std::to_string(lineNo) + ": " + reason;
        return std::nullopt;
    };
    while (std::getline(in, line)) {
        ++lineNo;
        if (const auto hash = line.find('#'); hash != std::string::npos)
            line.erase(hash);
        std::istringstream words(line);
        std::string key;
        if (!(words >> key))
            continue;
        std::vector<std::string> args;
        for (std::string w; words >> w;)
            args.push_back(w);
        if (key == "variant1" || key == "variant2" || key == "variant3" || key == "dualkey") {
            const auto v = args.size() == 1 ? vector16(args[0]) : std::nullopt;
            if (!v)
                return bad("a vector is 32 hex digits");
            if (key == "dualkey")
                data.dualKey = v;
            else
                data.variants[static_cast<std::size_t>(key[7] - '1')] = v;
        } else if (key == "conflicts" && args.size() == 1 && args[0] == "none") {
            if (!data.conflicts)
                data.conflicts.emplace();
        } else if (key == "conflict" && (args.size() == 4 || args.size() == 5)) {
            std::array<unsigned, 5> n{0, 0, 0, 0, 0};
            for (std::size_t i = 0; i < args.size(); ++i) {
                const auto v = number(args[i]);
                if (!v)
                    return bad("not a number");
                n[i] = *v;
            }
            if (n[0] > 255 || !IsConflictCode(static_cast<std::uint8_t>(n[0])))
                return bad("a conflict code is one of 33..37, 47, 49");
            if (n[1] > 6 || n[2] > 255 || n[3] > 255 || n[4] > 0xFFFF)
                return bad("byte 0..6, mask and value 0..255, support bits 0..0xFFFF");
            if (!data.conflicts)
                data.conflicts.emplace();
            data.conflicts->push_back({static_cast<std::uint8_t>(n[0]), static_cast<std::uint8_t>(n[1]),
                                       static_cast<std::uint8_t>(n[2]), static_cast<std::uint8_t>(n[3]),
                                       static_cast<std::uint16_t>(n[4])});
        } else {
            return bad("unknown entry");
        }
    }
    return data;
}

CheckData LoadCheckData(const std::filesystem::path& file, std::string* why)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return {};
    // One byte more than we take: a longer file is refused whole, never cut inside a line.
    std::string text(kMaxCheckDataBytes + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (in.bad() || text.size() > kMaxCheckDataBytes) {
        if (why)
            *why = in.bad() ? "read error" : "larger than 64 KiB";
        return {};
    }
    auto data = ParseCheckData(text, why);
    return data ? std::move(*data) : CheckData{};
}

} // namespace qv::device::fpga
