#pragma once
// The character control's parameter block (kind 25): a string in the variable memory, shown
// and edited in place. A field some rooms read whole and others by its low byte is declared
// at its full width; those rooms take lowByte() of it.
#include "model/params/blocks/link_fields.h"
#include "model/params/param_field.h"

#include <cstdint>

namespace qv {

struct CharacterBlockTag {};
using CharacterBlock = ParamView<CharacterBlockTag>;

namespace blocks::character {

template <class T>
using Field = ParamField<T, CharacterBlockTag>;

// Look: colours, the glyph cell (measured by the painter), spacing.
inline constexpr Field<std::int32_t> kFontColor{0}, kBackColor{4}, kTransparent{8};
inline constexpr Field<std::int32_t> kCellWidth{16}, kCellHeight{20}, kCharSpacing{24}, kLineSpacing{28};

// The string: its length in bytes, then its reference (index, cached address, type byte).
inline constexpr Field<std::int32_t> kStringLength{32}, kStringIndex{36}, kStringAddress{40};
inline constexpr Field<std::uint8_t> kStringType{44};

// Move and hide: switch, index, cached address, type byte.
inline constexpr Field<std::int32_t> kMoveOn{48}, kMoveIndex{52}, kMoveAddress{56};
inline constexpr Field<std::uint8_t> kMoveType{60};
inline constexpr Field<std::int32_t> kHideOn{64}, kHideIndex{68}, kHideAddress{72};
inline constexpr Field<std::uint8_t> kHideType{76};

inline constexpr Field<std::int32_t> kShowCursor{80}, kCursorWidth{84}, kCursorColor{88};
inline constexpr Field<std::int32_t> kCreated92{92};  // set at creation; nothing reads it
inline constexpr Field<std::uint8_t> kPasswordLevel{96};

// What the keyboard may type: digits, the point, minus, single-byte and double-byte characters.
inline constexpr Field<std::int32_t> kDigits{100}, kDecimalPoint{104}, kMinus{108}, kEnglish{112}, kChinese{120};
inline constexpr Field<std::int32_t> kAutoSense{128};  // I-beam over the control
inline constexpr Field<std::int32_t> kKeyboardWrite{132};
inline constexpr Field<std::int32_t> kPasswordStyle{136}, kHashPassword{140};
inline constexpr Field<std::int32_t> kClickKeyboard{148}, kDoubleClickKeyboard{152};

// Colours from variables and write enable: switch, index, cached address, type byte.
inline constexpr Field<std::int32_t> kFontVarOn{156}, kFontVarIndex{160}, kFontVarAddress{164};
inline constexpr Field<std::uint8_t> kFontVarType{168};
inline constexpr Field<std::int32_t> kBackVarOn{172}, kBackVarIndex{176}, kBackVarAddress{180};
inline constexpr Field<std::uint8_t> kBackVarType{184};
inline constexpr Field<std::int32_t> kWriteOn{188}, kWriteIndex{192}, kWriteAddress{196};
inline constexpr Field<std::uint8_t> kWriteType{200};

inline constexpr Field<std::int32_t> kKeyboardX{204}, kKeyboardY{208};

// A click writes a byte value to a further variable (index, switch, value, cached address).
inline constexpr Field<std::int32_t> kClickIndex{212};
inline constexpr Field<std::uint8_t> kClickOn{216}, kClickValue{217};
inline constexpr Field<std::int32_t> kClickAddress{220};

inline constexpr Field<std::int32_t> kVerticalCentre{224};

// The common pages' link groups (width code and, for hide and write enable, bit after the link).
using Link = LinkFields<CharacterBlockTag>;
inline constexpr Link kFontVarLink{228}, kBackVarLink{252}, kMoveLink{276}, kHideLink{300}, kWriteLink{328};
inline constexpr Field<std::int32_t> kMoveWidthCode = kMoveLink.widthCode();  // how many words a moved control's link reads
inline constexpr Field<std::int32_t> kHideBit = kHideLink.bit(), kWriteBit = kWriteLink.bit();

// Conversion between the string and a number variable (index, cached address, type byte).
inline constexpr Field<std::int32_t> kConvertOn{356}, kConvertHex{360}, kConvertIndex{364}, kConvertAddress{368};
inline constexpr Field<std::uint8_t> kConvertType{372};
inline constexpr Field<std::int32_t> kConvertZeroFill{376}, kConvertMin{380}, kConvertMax{384};
inline constexpr Field<std::int32_t> kCase{388};  // upper, lower, automatic; the item compiler takes the low byte

} // namespace blocks::character
} // namespace qv
