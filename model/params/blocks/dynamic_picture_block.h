#pragma once
// The dynamic picture's parameter block (kind 8): the frame a variable or a fixed number
// names, its play mode and countdown, and its hide and move references.
#include "model/params/blocks/link_fields.h"
#include "model/params/param_field.h"

#include <cstdint>

namespace qv {

struct DynamicPictureBlockTag {};

namespace blocks::dynamic_picture {
template <class T>
using Field = ParamField<T, DynamicPictureBlockTag>;
using Link = LinkFields<DynamicPictureBlockTag>;

inline constexpr Field<std::int32_t> kTransparent{0};
inline constexpr Field<std::int32_t> kKey{4};
// Set when a dynamic picture is made and read by nothing here.
inline constexpr Field<std::int32_t> kCreatedA{12};
inline constexpr Field<std::int32_t> kCreatedB{28};
inline constexpr Field<std::int32_t> kCreatedC{52};
inline constexpr Field<std::int32_t> kCreatedD{56};
inline constexpr Field<std::uint8_t> kEffect{32};
inline constexpr Field<std::int32_t> kTimeStep{36};
inline constexpr Field<std::int32_t> kAreaStep{40};
inline constexpr Field<std::uint8_t> kPlayMode{44};  // 0 the frame variable names the frame; 1 loop, 2 once
inline constexpr Field<std::int32_t> kFrameAddress{48};
inline constexpr Field<std::uint8_t> kInitialCountdown{60};
inline constexpr Field<std::int32_t> kFrameIndex{64};
inline constexpr Field<std::uint16_t> kFrame{72};  // the fixed or current frame
inline constexpr Field<std::uint8_t> kCountdown{74};
inline constexpr Field<std::uint8_t> kFrameType{75};
inline constexpr Field<std::uint8_t> kMoveOption{76};
inline constexpr Field<std::uint8_t> kHideOption{77};
inline constexpr Field<std::int32_t> kMoveIndex{80};
inline constexpr Field<std::int32_t> kHideIndex{84};
inline constexpr Field<std::uint8_t> kMoveType{88};
inline constexpr Field<std::uint8_t> kHideType{89};
inline constexpr Field<std::int32_t> kMoveAddress{92};
inline constexpr Field<std::int32_t> kHideAddress{96};
inline constexpr Link kFrameLink{100};
inline constexpr Link kMoveLink{120};
inline constexpr Link kHideLink{144};
inline constexpr Field<std::int32_t> kHideBit = kHideLink.bit();
inline constexpr Field<std::int32_t> kUserArea{200};    // the pictures lie in the panel's user area
inline constexpr Field<std::int32_t> kByFileName{204};  // user-area pictures are looked up by file name
} // namespace blocks::dynamic_picture

using DynamicPictureBlock = ParamView<DynamicPictureBlockTag>;
using DynamicPictureBlockEdit = ParamView<DynamicPictureBlockTag, std::uint8_t>;

} // namespace qv
