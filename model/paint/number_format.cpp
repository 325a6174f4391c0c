#include "model/paint/number_format.h"

#include <algorithm>

namespace qv {
namespace {

constexpr int kMaxDigits = 32;

// Builds the text from its end, as the panel's firmware does.
std::string formatMagnitude(std::uint64_t magnitude, bool negative, int decimals, int digits, int mode, bool plus)
{
    digits = std::clamp(digits, 1, kMaxDigits);
    decimals = std::clamp(decimals, 0, digits - 1);
    std::string rev; // reversed text
    rev.push_back(static_cast<char>('0' + magnitude % 10));
    magnitude /= 10;
    while (--digits != 0) {
        if (--decimals == 0)
            rev.push_back('.');
        if (magnitude == 0)
            break;
        rev.push_back(static_cast<char>('0' + magnitude % 10));
        magnitude /= 10;
    }
    if (decimals > 0) {
        while (decimals > 0) {
            rev.push_back('0');
            --digits;
            --decimals;
        }
        rev.push_back('.');
    }
    if (rev.back() == '.') {
        rev.push_back('0');
        --digits;
    }
    const int fill = std::max(digits, 0);
    const char sign = negative ? '-' : (plus ? '+' : '\0');
    switch (mode) {
    case kFillZeros:
        rev.append(static_cast<std::size_t>(fill), '0');
        if (sign)
            rev.push_back(sign);
        break;
    case kFillSpaces:
        if (sign)
            rev.push_back(sign);
        rev.append(static_cast<std::size_t>(fill), ' ');
        break;
    default:
        if (sign)
            rev.push_back(sign);
        break;
    }
    return std::string(rev.rbegin(), rev.rend());
}

std::uint64_t magnitudeOf(std::int64_t v)
{
    return v < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

std::string FormatSignedDecimal(std::int64_t value, int decimals, int digits, int mode, bool plus)
{
    return formatMagnitude(magnitudeOf(value), value < 0, decimals, digits, mode, plus);
}

std::string FormatSignedDecimal2(std::int64_t value, int decimals, int digits, int mode, bool plus)
{
    return FormatSignedDecimal(value, decimals, digits, mode, plus);
}

std::string FormatUnsignedDecimal(std::uint64_t value, int decimals, int digits, int mode, bool plus)
{
    return formatMagnitude(value, false, decimals, digits, mode, plus);
}

std::string ReformatDecimalText(std::string_view text, int decimals, int width, int mode, bool plus)
{
    decimals = std::clamp(decimals, 0, static_cast<int>(kMaxDecimalText));
    width = std::clamp(width, 0, static_cast<int>(kMaxDecimalText));
    // Only "-ddd", "ddd.ddd" and the like are numbers this can rewrite.
    const bool negative = !text.empty() && text[0] == '-';
    const std::size_t firstDigit = negative ? 1 : 0;
    const std::size_t point = text.find('.');
    const std::string_view intDigits = text.substr(firstDigit, point == std::string_view::npos ? std::string_view::npos : point - firstDigit);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
    const bool plain = !intDigits.empty() && std::all_of(intDigits.begin(), intDigits.end(), isDigit) &&
                       std::all_of(fraction.begin(), fraction.end(), isDigit);
    if (!plain)
        return std::string(text.substr(0, kMaxDecimalText));
    if (intDigits.size() + static_cast<std::size_t>(decimals) + 2 > kMaxDecimalText)
        return std::string(static_cast<std::size_t>(std::max(width, 1)), '#');

    std::string intPart = std::string(text.substr(0, firstDigit + intDigits.size()));
    std::string body = intPart;
    if (decimals > 0) {
        std::string frac(fraction.substr(0, static_cast<std::size_t>(decimals)));
        frac.resize(static_cast<std::size_t>(decimals), '0');
        body += '.';
        body += frac;
    }
    const bool signPlus = plus && !negative;
    int pad = signPlus ? 1 : 0;
    const int room = width - decimals;
    if (mode != kFillNone && static_cast<int>(intPart.size()) < room)
        pad += room - static_cast<int>(intPart.size());

    std::string out;
    if (signPlus) {
        if (mode == kFillSpaces) {
            out.append(static_cast<std::size_t>(pad - 1), ' ');
            out += '+';
        } else {
            out += '+';
            if (mode == kFillZeros)
                out.append(static_cast<std::size_t>(pad - 1), '0');
        }
        out += body;
    } else {
        const char fill = mode == kFillZeros ? '0' : ' ';
        const std::size_t at = negative ? 1 : 0;
        out = body;
        if (mode != kFillNone)
            out.insert(at, static_cast<std::size_t>(pad), fill);
    }
    if (out.size() > kMaxDecimalText)
        return std::string(static_cast<std::size_t>(std::max(width, 1)), '#');
    return out;
}

std::array<std::uint8_t, 3> Rgb565ToRgb(std::uint16_t value)
{
    return {static_cast<std::uint8_t>((value >> 8) & 0xF8), static_cast<std::uint8_t>((value >> 3) & 0xFC),
            static_cast<std::uint8_t>((value << 3) & 0xFF)};
}

std::uint8_t TextLength8(std::string_view text)
{
    const std::size_t end = text.find('\0');
    return static_cast<std::uint8_t>((end == std::string_view::npos ? text.size() : end) & 0xFF);
}

} // namespace qv
