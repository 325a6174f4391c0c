#include "model/vars/var_types.h"

#include <array>

namespace qv {

namespace {
constexpr std::array<HmiVarType, 6> kTypes{{
    {"signed char", 0, 1, true},
    {"unsigned char", 1, 1, false},
    {"signed short", 2, 2, true},
    {"unsigned short", 3, 2, false},
    {"signed int", 4, 4, true},
    {"unsigned int", 5, 4, false},
}};
} // namespace

std::span<const HmiVarType> hmiVarTypes() { return kTypes; }

std::optional<std::uint8_t> hmiVarTypeCode(std::string_view typeName)
{
    for (const HmiVarType& t : kTypes)
        if (t.name == typeName)
            return t.code;
    return std::nullopt;
}

const HmiVarType* hmiVarTypeByCode(int code)
{
    if (code < 0 || code >= static_cast<int>(kTypes.size()))
        return nullptr;
    return &kTypes[static_cast<std::size_t>(code)];
}

int hmiVarTypeWidth(std::string_view typeName)
{
    const auto code = hmiVarTypeCode(typeName);
    return code ? kTypes[*code].width : 0;
}

int hmiVarTypeWidth(int code)
{
    const HmiVarType* type = hmiVarTypeByCode(code);
    return type ? type->width : 0;
}

HmiVarRange hmiVarTypeRange(const HmiVarType& type)
{
    const int bits = 8 * type.width;
    if (type.isSigned)
        return {-(std::int64_t{1} << (bits - 1)), (std::int64_t{1} << (bits - 1)) - 1};
    return {0, (std::int64_t{1} << bits) - 1};
}

} // namespace qv
