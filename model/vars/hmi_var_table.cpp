#include "model/vars/hmi_var_table.h"

#include "model/vars/var_bank.h"
#include "model/vars/var_types.h"

#include <algorithm>
#include <cstdint>
#include <charconv>

namespace qv {

std::optional<std::int64_t> parseDecimal(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

namespace {
bool isRow(const HmiVarTable& table, std::int64_t row)
{
    return row >= 0 && static_cast<std::size_t>(row) < table.size() && table.IsParallel();
}

// Addresses are 32-bit on the panel: a text beyond that range names no place.
std::optional<std::int32_t> panelAddress(std::string_view text)
{
    const auto address = parseDecimal(text);
    if (!address || *address < INT32_MIN || *address > INT32_MAX)
        return std::nullopt;
    return static_cast<std::int32_t>(*address);
}
} // namespace

VarBinding varBindingOf(const HmiVarTable& table, std::int64_t row)
{
    if (!isRow(table, row))
        return {};
    const auto r = static_cast<std::size_t>(row);
    const auto address = panelAddress(table.address[r]);
    return {address ? *address : -1, hmiVarTypeCode(table.type[r])};
}

std::optional<VarExtent> varExtentOf(const HmiVarTable& table, std::int64_t row)
{
    if (!isRow(table, row))
        return std::nullopt;
    const auto r = static_cast<std::size_t>(row);
    const auto address = panelAddress(table.address[r]);
    const int width = hmiVarTypeWidth(table.type[r]);
    if (!address || width == 0)
        return std::nullopt;
    return VarExtent{*address, width};
}

std::int64_t varTableEnd(const HmiVarTable& table)
{
    std::int64_t end = 0;
    for (const std::string& text : table.address)
        if (const auto address = parseDecimal(text)) // a wild address keeps the table full, never wraps
            end = std::max(end, clampToPanelAddress(*address) + 4);
    return (end + 3) / 4 * 4;
}

std::optional<int> findVarRow(const HmiVarTable& table, std::string_view name)
{
    const auto it = std::find(table.name.begin(), table.name.end(), name);
    if (it == table.name.end())
        return std::nullopt;
    return static_cast<int>(it - table.name.begin());
}

AddVarOutcome findOrAddVarRow(HmiVarTable& table, std::string_view type, std::string_view name,
                              std::string_view initial, std::string_view description, std::int64_t memorySize)
{
    if (const auto row = findVarRow(table, name))
        return {*row, false, {}};
    const int width = hmiVarTypeWidth(type);
    if (width == 0)
        return {-1, false, std::string("无效的HMI变量类型：").append(type)};
    const std::int64_t address = memorySize / 2;
    if (!isValidVarRange(address, width))
        return {-1, false, std::string("HMI变量内存（64K字节）已满，无法添加变量：").append(name)};
    table.AppendRow(std::to_string(address), std::string(type), std::string(name), std::string(initial),
                    std::string(description));
    return {static_cast<int>(table.size() - 1), true, {}};
}

} // namespace qv
