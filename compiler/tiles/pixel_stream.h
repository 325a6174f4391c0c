#pragma once
// The panel's pixel order: RGB565, low byte first, rows from the bottom up and each row left
// to right; on a panel turned 90 degrees counter-clockwise, columns from the right and each
// column from the bottom up.
#include "compiler/tiles/page_stream.h"
#include "platform/surface/color.h"
#include "platform/surface/geometry.h"

#include <cstdint>
#include <functional>

namespace qv {
class Surface;
}

namespace qv::tiles {

using pixels::toRgb565;

// The picture colours every keyed picture uses.
inline constexpr ColorRef kKeyColor = 0x00F8FCF8;
inline constexpr ColorRef kKeyMask = 0x00F8FCF8;
inline constexpr ColorRef kSubstituteColor = 0x00F8F8F8;

using AbortCheck = std::function<bool()>;

// Writes the rectangle's pixels (pixels outside the surface as white). Returns false when
// `aborted` said stop (checked before every row or column), true when all were written.
bool writePixelsRGB565(PageStream& out, const Surface& s, const Rect& r, bool rotated, const AbortCheck& aborted);

} // namespace qv::tiles
