#pragma once
// Colours travel as COLORREF values (0x00BBGGRR), the form the project files and the
// parameter blocks hold. Surfaces store 0xFFRRGGBB words so a QImage can wrap them as-is.
#include <cstdint>

namespace qv {

using ColorRef = std::uint32_t;

constexpr ColorRef kInvalidColor = 0xFFFFFFFFu; // what GetPixel returns outside the surface

constexpr ColorRef rgb(int r, int g, int b)
{
    return static_cast<ColorRef>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int redOf(ColorRef c) { return static_cast<int>(c & 0xFF); }
constexpr int greenOf(ColorRef c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int blueOf(ColorRef c) { return static_cast<int>((c >> 16) & 0xFF); }

// Every channel replaced by 255 minus itself.
constexpr ColorRef invertColor(ColorRef c) { return (c ^ 0x00FFFFFFu) & 0x00FFFFFFu; }

constexpr std::uint32_t toPixel(ColorRef c)
{
    return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
constexpr ColorRef fromPixel(std::uint32_t p)
{
    return ((p >> 16) & 0xFFu) | (p & 0xFF00u) | ((p & 0xFFu) << 16);
}

} // namespace qv
