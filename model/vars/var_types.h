#pragma once
// The six HMI variable types: the name the variable table holds, the code a control's
// reference caches, and the width the variable takes in the variable memory.
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace qv {

struct HmiVarType {
    std::string_view name;  // as the table stores it ("unsigned short")
    std::uint8_t code;      // cached in references (0..5)
    int width;              // bytes in the variable memory
    bool isSigned;
};

// Ordered by code: kHmiVarTypes[c].code == c.
std::span<const HmiVarType> hmiVarTypes();

// Exact comparison with the six names; nullopt for any other text.
std::optional<std::uint8_t> hmiVarTypeCode(std::string_view typeName);

// The type for a code, nullptr for a code outside 0..5.
const HmiVarType* hmiVarTypeByCode(int code);

// Width in bytes of a type name; 0 for a text that is none of the six.
int hmiVarTypeWidth(std::string_view typeName);
// Width in bytes of a type code; 0 for a code outside 0..5.
int hmiVarTypeWidth(int code);

// The values a type holds, both ends included.
struct HmiVarRange {
    std::int64_t low;
    std::int64_t high;
};
HmiVarRange hmiVarTypeRange(const HmiVarType& type);

} // namespace qv
