#pragma once
// The PLC link of a variable reference as the property pages keep it: target, element type,
// station, element number and allow-other, 32-bit each and in that order from `first`; the
// common pages' groups add the width code and the bit after them.
#include "model/params/param_field.h"

#include <cstdint>

namespace qv {

template <class Kind>
struct LinkFields {
    int first;  // the target's offset
    constexpr ParamField<std::int32_t, Kind> target() const { return {first}; }
    constexpr ParamField<std::int32_t, Kind> elementType() const { return {first + 4}; }
    constexpr ParamField<std::int32_t, Kind> station() const { return {first + 8}; }
    constexpr ParamField<std::int32_t, Kind> elementNumber() const { return {first + 12}; }
    constexpr ParamField<std::int32_t, Kind> allowOther() const { return {first + 16}; }
    constexpr ParamField<std::int32_t, Kind> widthCode() const { return {first + 20}; }
    constexpr ParamField<std::int32_t, Kind> bit() const { return {first + 24}; }
};

} // namespace qv
