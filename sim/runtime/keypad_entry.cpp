#include "sim/runtime/keypad_entry.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "model/app/editor_app.h"
#include "model/params/blocks/number_block.h"
#include "model/shape/draw_obj.h"
#include "model/vars/var_types.h"
#include "sim/runtime/var_write.h"

namespace qv::sim {
namespace {

namespace nb = blocks::number;

constexpr int kMaxDigits = 20;

std::string keypadText(const CEditorApp& app)
{
    const auto& buf = app.m_szKeypadText;
    return std::string(buf.data(), strnlen(buf.data(), buf.size()));
}

void setKeypadText(CEditorApp& app, const std::string& text)
{
    auto& buf = app.m_szKeypadText;
    buf.fill(0);
    const std::size_t n = std::min(text.size(), buf.size() - 1);
    std::memcpy(buf.data(), text.data(), n);
    app.m_nKeypadLength = static_cast<int>(n);
}

} // namespace

void NumericKeypadKey(CEditorApp& app, const CDrawObj& target, std::string_view key)
{
    std::string text = keypadText(app);
    const NumberBlock b{target.m_Params};
    if (key.size() == 1 && key[0] >= '0' && key[0] <= '9') {
        if (static_cast<int>(text.size()) < kMaxDigits)
            text += key[0];
    } else if (!text.empty()) {
        if (key == "后退")
            text.pop_back();
        else if (key == "清除")
            text.clear();
        else if (key == "." && b.get(nb::kDecimals) > 0 && text.find('.') == std::string::npos && text.back() != '-')
            text += '.';
    } else if (key == "-") {
        if (b.get(nb::kValueType) % 2 == 0 || b.get(nb::kToFloat) != 0)
            text = "-";
    }
    setKeypadText(app, text);
}

bool ScaledInteger(std::string_view text, std::int64_t decimals, std::int64_t& value)
{
    if (decimals < 0 || decimals > 18)
        return false; // no 64-bit value holds that many decimals
    const std::size_t point = text.find('.');
    std::string digits(text.substr(0, point));
    std::string fraction = point == std::string_view::npos ? std::string() : std::string(text.substr(point + 1));
    fraction.resize(static_cast<std::size_t>(decimals), '0');
    digits += fraction;
    if (digits.empty() || digits == "-")
        return false;
    const char* first = digits.data();
    const char* last = first + digits.size();
    const auto result = std::from_chars(first, last, value);
    return result.ec == std::errc() && result.ptr == last;
}

std::string FloatBytes(double value, int layout)
{
    std::vector<std::uint8_t> le;
    if (layout < 4) {
        const float f = static_cast<float>(value);
        std::uint32_t bits;
        std::memcpy(&bits, &f, 4);
        for (int i = 0; i < 4; ++i)
            le.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
    } else {
        std::uint64_t bits;
        std::memcpy(&bits, &value, 8);
        for (int i = 0; i < 8; ++i)
            le.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
    }
    std::string out(le.size(), '\0');
    const std::size_t n = le.size();
    for (std::size_t i = 0; i < n; ++i) {
        std::size_t from = i;
        switch (layout % 4) {
        case 1: from = i ^ 1; break;                     // bytes of each 16-bit word swapped
        case 2: from = n - 1 - i; break;                 // big-endian
        case 3: from = (n - 2 - (i & ~std::size_t{1})) + (i & 1); break; // words reversed
        default: break;
        }
        out[i] = static_cast<char>(le[from]);
    }
    return out;
}

bool StoreKeypadEntry(CEditorApp& app, PortWriter* writer, const CDrawObj& target)
{
    const NumberBlock b{target.m_Params};
    const std::int32_t readAddress = b.get(nb::kValueAddress);
    if (readAddress < 0)
        return false;
    const bool separate = b.get(nb::kOtherWriteOn) != 0;
    const std::int64_t address = separate ? b.get(nb::kOtherAddress) : readAddress;
    const int type = separate ? b.get(nb::kOtherType) : b.get(nb::kValueType);
    const std::int64_t decimals = b.get(nb::kDecimals);
    const bool checkRange = b.get(nb::kNoLimit) == 0;
    const std::int64_t minimum = b.get(nb::kMinimum);
    const std::int64_t maximum = b.get(nb::kMaximum);
    const std::string text = keypadText(app);

    if (b.get(nb::kToFloat) != 0) {
        if (decimals < 0 || decimals > 308)
            return false;
        // Read with a point whatever the process locale says (Qt takes it from the environment).
        double value = 0;
        const char* last = text.data() + text.size();
        const auto read = std::from_chars(text.data(), last, value);
        if (text.empty() || read.ec != std::errc() || read.ptr != last || !std::isfinite(value))
            return false;
        const double scale = std::pow(10.0, static_cast<double>(decimals));
        if (checkRange && (value < minimum / scale || value > maximum / scale))
            return false;
        const std::string bytes = FloatBytes(value, b.get(nb::kFloatOrder) & 7);
        std::uint64_t raw = 0;
        for (std::size_t i = 0; i < bytes.size(); ++i)
            raw |= static_cast<std::uint64_t>(static_cast<std::uint8_t>(bytes[i])) << (8 * i);
        return WriteRunValue(app, writer, address, static_cast<int>(bytes.size()), raw);
    }

    std::int64_t value = 0;
    const int width = hmiVarTypeWidth(type);
    if (width == 0 || !ScaledInteger(text, decimals, value))
        return false;
    if (checkRange && (value < minimum || value > maximum))
        return false;
    return WriteRunValue(app, writer, address, width, static_cast<std::uint64_t>(value));
}

} // namespace qv::sim
