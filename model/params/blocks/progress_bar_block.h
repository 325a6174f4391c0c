#pragma once
// The progress bar's parameter block (kind 23).
#include "model/params/blocks/link_fields.h"
#include "model/params/param_field.h"

#include <cstdint>

namespace qv {

struct ProgressBarBlockTag {};

namespace blocks::progress_bar {
template <class T>
using Field = ParamField<T, ProgressBarBlockTag>;
using Link = LinkFields<ProgressBarBlockTag>;

inline constexpr Field<std::int32_t> kPictureBack{0};        // the background is picture entry 0
inline constexpr Field<std::int32_t> kNoBack{4};
inline constexpr Field<std::int32_t> kGradientFrom{8};
inline constexpr Field<std::int32_t> kGradientTo{12};
inline constexpr Field<std::uint8_t> kGradientDirection{16};  // 0 top to bottom, else left to right
inline constexpr Field<std::int32_t> kBarColor{20};
inline constexpr Field<std::uint8_t> kBarDirection{24};       // BarDirection
inline constexpr Field<std::int32_t> kValueIndex{28};
inline constexpr Field<std::int32_t> kValueAddress{32};
inline constexpr Field<std::uint8_t> kValueType{36};
inline constexpr Field<std::int32_t> kMaximum{40};
inline constexpr Field<std::int32_t> kMinimum{44};
inline constexpr Field<std::uint8_t> kHideOption{49};
inline constexpr Field<std::int32_t> kHideIndex{56};
inline constexpr Field<std::uint8_t> kHideType{61};
inline constexpr Field<std::int32_t> kHideAddress{68};
inline constexpr Field<std::int32_t> kReverse{72};           // the bar shows what is left up to the maximum
inline constexpr Link kValueLink{76};
inline constexpr Link kHideLink{96};
inline constexpr Field<std::int32_t> kHideBit = kHideLink.bit();

enum BarDirection : int { kUp = 0, kDown = 1, kRight = 2, kLeft = 3 };
} // namespace blocks::progress_bar

using ProgressBarBlock = ParamView<ProgressBarBlockTag>;
using ProgressBarBlockEdit = ParamView<ProgressBarBlockTag, std::uint8_t>;

} // namespace qv
