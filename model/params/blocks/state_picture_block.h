#pragma once
// The parameter blocks of the controls that show one picture of two by a variable: the bit
// switch (kind 20) and the indicator light (kind 12), which share their first fields (the
// lamp), and the radio button (kind 22).
#include "model/params/blocks/link_fields.h"
#include "model/params/param_field.h"

#include <cstdint>

namespace qv {

struct LampBlockTag {};
struct RadioBlockTag {};

// The bit switch and the indicator light: what they share, then each one's own fields.
namespace blocks::lamp {
template <class T>
using Field = ParamField<T, LampBlockTag>;
using Link = LinkFields<LampBlockTag>;

inline constexpr Field<std::int32_t> kOnTransparent{0};
inline constexpr Field<std::int32_t> kOffTransparent{4};
inline constexpr Field<std::int32_t> kOnKey{8};
inline constexpr Field<std::int32_t> kOffKey{12};
inline constexpr Field<std::int32_t> kBitIndex{16};
inline constexpr Field<std::int32_t> kBitAddress{20};
inline constexpr Field<std::uint8_t> kBitType{24};
inline constexpr Field<std::uint8_t> kBitNumber{25};
} // namespace blocks::lamp

namespace blocks::bit_switch {
using lamp::Field;
using lamp::Link;

inline constexpr Field<std::uint8_t> kFunction{26};  // 0 set, 1 clear, 2 invert, 3 momentary
inline constexpr Field<std::uint8_t> kUserLevel{27};
inline constexpr Field<std::uint8_t> kHideOption{30};
inline constexpr Field<std::int32_t> kHideIndex{36};
inline constexpr Field<std::uint8_t> kHideType{41};
inline constexpr Field<std::int32_t> kHideAddress{48};
inline constexpr Field<std::int32_t> kWriteEnableOption{52};
inline constexpr Field<std::int32_t> kWriteIndex{56};
inline constexpr Field<std::int32_t> kWriteAddress{60};
inline constexpr Field<std::uint8_t> kWriteType{64};
inline constexpr Field<std::int32_t> kOnCaptionColor{68};
inline constexpr Field<std::int32_t> kOffCaptionColor{72};
inline constexpr Link kBitLink{76};
inline constexpr Field<std::int32_t> kDifferentWrite{96};  // a click writes the second bit, not the shown one
inline constexpr Link kSecondLink{100};
inline constexpr Field<std::int32_t> kSecondIndex{120};
inline constexpr Field<std::int32_t> kSecondAddress{124};
inline constexpr Field<std::int32_t> kSecondBit{132};
inline constexpr Link kHideLink{136};
inline constexpr Link kWriteLink{164};
inline constexpr Field<std::int32_t> kHideBit = kHideLink.bit();
inline constexpr Field<std::int32_t> kWriteBit = kWriteLink.bit();
} // namespace blocks::bit_switch

namespace blocks::indicator {
using lamp::Field;
using lamp::Link;

inline constexpr Field<std::uint8_t> kHideOption{27};
inline constexpr Field<std::int32_t> kHideIndex{32};
inline constexpr Field<std::uint8_t> kHideType{37};
inline constexpr Field<std::int32_t> kHideAddress{44};
inline constexpr Field<std::int32_t> kOnCaptionColor{48};
inline constexpr Field<std::int32_t> kOffCaptionColor{52};
inline constexpr Link kBitLink{56};
inline constexpr Link kHideLink{76};
inline constexpr Field<std::int32_t> kHideBit = kHideLink.bit();
} // namespace blocks::indicator

namespace blocks::radio {
template <class T>
using Field = ParamField<T, RadioBlockTag>;
using Link = LinkFields<RadioBlockTag>;

inline constexpr Field<std::int32_t> kValueIndex{0};
inline constexpr Field<std::int32_t> kOwnValue{4};  // what a click writes; selected while the variable holds it
inline constexpr Field<std::int32_t> kValueAddress{8};
inline constexpr Field<std::uint8_t> kValueType{12};
inline constexpr Field<std::uint8_t> kUserLevel{13};
inline constexpr Field<std::uint8_t> kHideOption{15};
inline constexpr Field<std::int32_t> kSelectedTransparent{24};
inline constexpr Field<std::int32_t> kUnselectedTransparent{28};
inline constexpr Field<std::int32_t> kSelectedKey{32};
inline constexpr Field<std::int32_t> kUnselectedKey{36};
inline constexpr Field<std::int32_t> kHideIndex{44};
inline constexpr Field<std::uint8_t> kHideType{49};
inline constexpr Field<std::int32_t> kHideAddress{56};
inline constexpr Field<std::int32_t> kPictureMode{60};  // the pictures replace the drawn circle
inline constexpr Field<std::int32_t> kWriteEnableOption{64};
inline constexpr Field<std::int32_t> kWriteIndex{68};
inline constexpr Field<std::int32_t> kWriteAddress{72};
inline constexpr Field<std::uint8_t> kWriteType{76};
inline constexpr Link kValueLink{80};
inline constexpr Field<std::int32_t> kDifferentWrite{100};  // a click writes the second variable
inline constexpr Link kSecondLink{104};
inline constexpr Field<std::int32_t> kSecondIndex{124};
inline constexpr Field<std::int32_t> kSecondAddress{128};
inline constexpr Field<std::uint8_t> kSecondType{132};
inline constexpr Link kHideLink{136};
inline constexpr Link kWriteLink{164};
inline constexpr Field<std::int32_t> kHideBit = kHideLink.bit();
inline constexpr Field<std::int32_t> kWriteBit = kWriteLink.bit();
} // namespace blocks::radio

using LampBlock = ParamView<LampBlockTag>;
using LampBlockEdit = ParamView<LampBlockTag, std::uint8_t>;
using RadioBlock = ParamView<RadioBlockTag>;
using RadioBlockEdit = ParamView<RadioBlockTag, std::uint8_t>;

} // namespace qv
