#pragma once
// The operation button's parameter block (kind 7): three appearances, one per state (1 pointer
// away, 2 over, 3 pressed), the press, release, enter and leave operations on the operated
// variable, and its hide and write-enable references.
#include "model/params/blocks/link_fields.h"
#include "model/params/param_field.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <string_view>

namespace qv {

struct ButtonBlockTag {};

namespace blocks::button {
template <class T>
using Field = ParamField<T, ButtonBlockTag>;
using Link = LinkFields<ButtonBlockTag>;

inline constexpr Field<std::int32_t> kTextColor{0};

// The fields of one state's appearance.
struct StateFields {
    Field<std::int32_t> usePicture;          // the appearance is the state's picture
    Field<std::int32_t> pictureTransparent;  // the picture leaves out its transparent colour
    Field<std::int32_t> transparentColor;
    Field<std::int32_t> gradientFrom;        // raised from 0 to 1 and stored back
    Field<std::int32_t> gradientTo;
    Field<std::uint8_t> gradientDirection;   // 0 top to bottom, 1 left to right, else no fill
    Field<std::int32_t> borderWidth;
    Field<std::int32_t> borderColor;         // raised from 0 to 1 (round face) and stored back
    Field<std::uint8_t> faceStyle;           // kRectangularFace: 3-D rings, else round rectangle
    Field<std::int32_t> noBorder;
    Field<std::int32_t> noFace;
};
inline constexpr int kRectangularFace = 1;

// Index s - 1 for state s.
inline constexpr std::array<StateFields, 3> kStates{{
    {{4}, {16}, {36}, {48}, {60}, {66}, {76}, {88}, {94}, {188}, {200}},
    {{8}, {20}, {32}, {44}, {56}, {64}, {72}, {84}, {92}, {192}, {204}},
    {{12}, {24}, {28}, {40}, {52}, {65}, {68}, {80}, {93}, {196}, {208}},
}};

// Set when a button is made and read by nothing here.
inline constexpr Field<std::int32_t> kCreatedA{100};
inline constexpr Field<std::int32_t> kCreatedB{116};

inline constexpr Field<std::uint8_t> kLastPaintedState{120};  // written by the painter
inline constexpr Field<std::uint8_t> kState{121};             // 1, 2 or 3
inline constexpr Field<std::uint8_t> kDoubleClick{122};       // the function runs on a double click
inline constexpr Field<std::uint8_t> kUserLevel{123};         // the level the function needs
inline constexpr Field<std::uint8_t> kHandCursor{124};
inline constexpr Field<std::uint8_t> kHideOption{126};
inline constexpr Field<std::uint8_t> kOperation{127};         // 0 set, 1 add, 2 subtract

inline constexpr Field<std::int32_t> kValueIndex{128};        // the operated variable
inline constexpr Field<std::uint8_t> kValueType{161};
inline constexpr Field<std::int32_t> kValueAddress{164};

// An operation on the operated variable: its switch and its one-byte operand.
struct Event {
    Field<std::int32_t> on;
    Field<std::uint8_t> value;
};
inline constexpr Event kPress{{132}, {136}};
inline constexpr Event kRelease{{140}, {144}};
inline constexpr Event kEnter{{148}, {152}};
inline constexpr Event kLeave{{156}, {160}};
inline constexpr std::array<Event, 4> kEvents{kPress, kRelease, kEnter, kLeave};

inline constexpr Field<std::int32_t> kHideIndex{172};
inline constexpr Field<std::uint8_t> kHideType{177};
inline constexpr Field<std::int32_t> kHideAddress{184};
inline constexpr Field<std::int32_t> kWriteEnableOption{212};
inline constexpr Field<std::int32_t> kWriteIndex{216};
inline constexpr Field<std::int32_t> kWriteAddress{220};
inline constexpr Field<std::uint8_t> kWriteType{224};
inline constexpr Link kValueLink{228};
inline constexpr Link kHideLink{248};
inline constexpr Link kWriteLink{276};
inline constexpr Field<std::int32_t> kHideBit = kHideLink.bit();
inline constexpr Field<std::int32_t> kWriteBit = kWriteLink.bit();

// Entry of the string list that holds the function text.
inline constexpr std::size_t kFunctionEntry = 3;
// The function text of a button's string list; empty when the list stops short of it.
inline std::string_view functionText(std::span<const std::string> files)
{
    return files.size() > kFunctionEntry ? std::string_view(files[kFunctionEntry]) : std::string_view{};
}

// The function text of a button that operates its variable.
inline constexpr std::string_view kOperateVariable = "操作变量";

// A keyboard key's function text: 键盘 and the key's name in double quotes.
inline constexpr std::string_view kKeyPrefix = "键盘\"";
inline std::string keyFunctionText(std::string_view key)
{
    return std::string(kKeyPrefix) + std::string(key) + '"';
}
// The key a function text names, when it is a keyboard key's.
inline std::optional<std::string_view> keyOfFunctionText(std::string_view text)
{
    if (text.size() <= kKeyPrefix.size() || !text.starts_with(kKeyPrefix) || text.back() != '"')
        return std::nullopt;
    return text.substr(kKeyPrefix.size(), text.size() - kKeyPrefix.size() - 1);
}
} // namespace blocks::button

using ButtonBlock = ParamView<ButtonBlockTag>;
using ButtonBlockEdit = ParamView<ButtonBlockTag, std::uint8_t>;

} // namespace qv
