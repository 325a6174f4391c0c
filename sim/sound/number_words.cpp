#include "sim/sound/number_words.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace qv::sim {
namespace {

constexpr std::array<std::string_view, 10> kDigits{"零", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
// Units of the integer positions from the tens upward.
constexpr std::array<std::string_view, 10> kUnits{"", "十", "百", "千", "万", "十", "百", "千", "亿", "十"};
constexpr std::string_view kPoint = "点";
constexpr std::string_view kMinus = "负";
constexpr std::string_view kPlus = "正";
constexpr int kTenThousand = 4;
constexpr int kHundredMillion = 8;

} // namespace

std::string NumberToWords(std::int64_t value, int decimals, bool plus)
{
    // Built from the lowest digit upward: each piece goes in front of what is there.
    std::string words;
    auto prepend = [&](std::string_view piece) { words.insert(0, piece); };
    std::uint64_t rest = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);

    bool fractionSeen = false; // a non-zero decimal digit was met
    for (int i = 0; i < std::max(decimals, 0); ++i) {
        const auto digit = static_cast<int>(rest % 10);
        rest /= 10;
        if (digit != 0)
            fractionSeen = true;
        if (fractionSeen)
            prepend(kDigits[static_cast<std::size_t>(digit)]);
    }
    if (fractionSeen)
        prepend(kPoint);

    if (rest == 0) {
        prepend(kDigits[0]);
    } else {
        int previous = 0; // the digit to the right
        for (int p = 0; rest != 0 && p < static_cast<int>(kUnits.size()); ++p) {
            const auto digit = static_cast<int>(rest % 10);
            rest /= 10;
            if (p == 0) {
                if (digit != 0)
                    prepend(kDigits[static_cast<std::size_t>(digit)]);
            } else if (p == kTenThousand || p == kHundredMillion) {
                // 万 in front means its whole group was zero: 亿 takes its place.
                if (p == kHundredMillion && words.starts_with(kUnits[kTenThousand]))
                    words.replace(0, kUnits[kTenThousand].size(), kUnits[kHundredMillion]);
                else
                    prepend(kUnits[static_cast<std::size_t>(p)]);
                if (digit != 0)
                    prepend(kDigits[static_cast<std::size_t>(digit)]);
            } else if (digit != 0) {
                prepend(kUnits[static_cast<std::size_t>(p)]);
                prepend(kDigits[static_cast<std::size_t>(digit)]);
            } else if (previous != 0) {
                prepend(kDigits[0]);
            }
            previous = digit;
        }
    }

    if (value < 0)
        prepend(kMinus);
    else if (value > 0 && plus)
        prepend(kPlus);
    return words;
}

} // namespace qv::sim
