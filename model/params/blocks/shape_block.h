#pragma once
// The parameter blocks of the decorative kinds: the rectangle (kind 0; the other plain shapes
// keep their look in the pen and brush), the pipe and pipe joint (kinds 14 and 13, one
// layout) and the scale (kind 15).
#include "model/params/param_field.h"

#include <cstdint>

namespace qv {

struct RectangleBlockTag {};
struct PipeBlockTag {};
struct ScaleBlockTag {};

namespace blocks::rectangle {
template <class T>
using Field = ParamField<T, RectangleBlockTag>;

inline constexpr Field<std::int32_t> kBorderWidth{0};
inline constexpr Field<std::int32_t> kBorderColor{4};
inline constexpr Field<std::uint8_t> kBorder3d{8};  // "普通", "3D"
// The painter tests all four bytes from kBorder3d for 1, the page and the defaults one.
inline constexpr Field<std::int32_t> kBorder3dWord{kBorder3d.offset};
inline constexpr Field<std::int32_t> kTransparent{12};
inline constexpr Field<std::int32_t> kFillColor{16};
} // namespace blocks::rectangle

namespace blocks::pipe {
template <class T>
using Field = ParamField<T, PipeBlockTag>;

inline constexpr Field<std::int32_t> kEdgeColor{0};
inline constexpr Field<std::int32_t> kCentreColor{4};
inline constexpr Field<std::int32_t> kOrientation{8};  // pipe: 0 horizontal; joint: the corner 0..3
} // namespace blocks::pipe

namespace blocks::scale {
template <class T>
using Field = ParamField<T, ScaleBlockTag>;

inline constexpr Field<std::int32_t> kColor{0};
inline constexpr Field<std::uint8_t> kOrientation{4};  // "向左", "向右", "向上", "向下"
inline constexpr Field<std::int32_t> kBaseLine{8};
inline constexpr Field<std::int32_t> kMajorCount{12};
inline constexpr Field<std::int32_t> kMinorCount{16};
inline constexpr Field<std::int32_t> kMajorThickness{20};
inline constexpr Field<std::int32_t> kMinorThickness{24};
inline constexpr Field<std::int32_t> kBaseWidth{28};
} // namespace blocks::scale

using RectangleBlock = ParamView<RectangleBlockTag>;
using RectangleBlockEdit = ParamView<RectangleBlockTag, std::uint8_t>;
using PipeBlock = ParamView<PipeBlockTag>;
using PipeBlockEdit = ParamView<PipeBlockTag, std::uint8_t>;
using ScaleBlock = ParamView<ScaleBlockTag>;
using ScaleBlockEdit = ParamView<ScaleBlockTag, std::uint8_t>;

} // namespace qv
