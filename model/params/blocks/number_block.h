#pragma once
// The real-time number's parameter block (kind 9). A field some rooms read whole and others
// by its low byte is declared at its full width; those rooms take lowByte() of it.
#include "model/params/blocks/link_fields.h"
#include "model/params/param_field.h"

#include <cstdint>

namespace qv {

struct NumberBlockTag {};
using NumberBlock = ParamView<NumberBlockTag>;

namespace blocks::number {

template <class T>
using Field = ParamField<T, NumberBlockTag>;

// Set at creation; nothing reads them.
inline constexpr Field<std::int32_t> kCreated4{4}, kCreated20{20};

// Look.
inline constexpr Field<std::int32_t> kFontColor{32};
inline constexpr Field<std::uint8_t> kWritable{36}, kPlusSign{37};
inline constexpr Field<std::int32_t> kBorderWidth{40}, kBorderColor{44};
inline constexpr Field<std::int32_t> kBorderType{48};  // 1: 3-D rings; the page and defaults keep the low byte
inline constexpr Field<std::int32_t> kTransparent{52}, kBackColor{56};
inline constexpr Field<std::int32_t> kAlignment{60}, kFill{64}, kDigits{68}, kDecimals{72};
enum Alignment : int { kAlignStart = 0, kAlignCentre = 1, kAlignEnd = 2 };

// The value read: reference (type byte, cached address, index).
inline constexpr Field<std::uint8_t> kValueType{76};
inline constexpr Field<std::int32_t> kValueAddress{80}, kValueIndex{84};

// Glyph cells of the compiled font.
inline constexpr Field<std::int32_t> kCellWidth{96}, kCellHeight{100};

inline constexpr Field<std::uint8_t> kPasswordLevel{104}, kTurned{105};
inline constexpr Field<std::uint8_t> kMoveOn{106}, kHideOn{107};
inline constexpr Field<std::int32_t> kMoveIndex{108}, kHideIndex{112};
inline constexpr Field<std::uint8_t> kMoveType{116}, kHideType{117};
inline constexpr Field<std::int32_t> kMoveAddress{120}, kHideAddress{124};

// Picture font: one picture per character.
inline constexpr Field<std::int32_t> kPictureTransparent{128}, kPictureKey{132}, kPictureFont{136}, kPointWidth{140};

// Colours from variables: switch, index, cached address, type byte.
inline constexpr Field<std::int32_t> kFontVarOn{144}, kFontVarIndex{148}, kFontVarAddress{152};
inline constexpr Field<std::uint8_t> kFontVarType{156};
inline constexpr Field<std::int32_t> kBackVarOn{160}, kBackVarIndex{164}, kBackVarAddress{168};
inline constexpr Field<std::uint8_t> kBackVarType{172};

// Write enable: switch, index, cached address, type byte.
inline constexpr Field<std::int32_t> kWriteOn{176}, kWriteIndex{180}, kWriteAddress{184};
inline constexpr Field<std::uint8_t> kWriteType{188};

// Input through the numeric keypad.
inline constexpr Field<std::int32_t> kKeypadX{192}, kKeypadY{196}, kMinimum{200}, kMaximum{204};
// Link groups as the pages keep them (for the common groups, width code and bit after the link).
using Link = LinkFields<NumberBlockTag>;
inline constexpr Link kReadLink{208};
inline constexpr Field<std::int32_t> kOtherWriteOn{228};  // the entry goes to its own variable
inline constexpr Link kOtherWriteLink{232};
inline constexpr Field<std::int32_t> kOtherIndex{252}, kOtherAddress{256};
inline constexpr Field<std::int32_t> kOtherType{260};  // the item compiler takes the low byte
inline constexpr Link kFontVarLink{264}, kBackVarLink{288}, kMoveLink{312}, kHideLink{336}, kWriteLink{364};
inline constexpr Field<std::int32_t> kMoveWidthCode = kMoveLink.widthCode();  // how many words a moved control's link reads
inline constexpr Field<std::int32_t> kHideBit = kHideLink.bit(), kWriteBit = kWriteLink.bit();

// Floating point: byte order 0..3 float, 4..7 double.
inline constexpr Field<std::int32_t> kFloatOrder{392}, kToFloat{396};
inline constexpr Field<std::int32_t> kNoLimit{400};  // 1: the entry is not held to minimum..maximum

} // namespace blocks::number
} // namespace qv
