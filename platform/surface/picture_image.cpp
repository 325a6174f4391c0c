#include "platform/surface/picture_image.h"

#include "platform/surface/stretch_map.h"

#include <optional>

namespace qv {
namespace {

// Straight into the target, pixel by pixel: no scratch surface, so a destination of any
// size costs only its part inside the clip.
void stretchPicture(Surface& target, const Picture& picture, const Rect& dst, std::optional<std::uint32_t> keyPixel)
{
    const Surface& src = picture.pixels;
    std::uint32_t* bits = target.bits();
    const std::size_t stride = static_cast<std::size_t>(target.width());
    forEachStretched(target.clipRect(), dst, src, src.bounds(), [&](int x, int y, int sx, int sy) {
        if (!picture.isOpaqueAt(sx, sy))
            return;
        const std::uint32_t p = src.rawPixel(sx, sy);
        if (keyPixel && (p & 0x00FFFFFFu) == *keyPixel)
            return;
        bits[static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x)] = p;
    });
}

} // namespace

void drawPicture(Surface& target, const Picture& picture, const Rect& dst)
{
    stretchPicture(target, picture, dst, std::nullopt);
}

void drawPictureKeyed(Surface& target, const Picture& picture, const Rect& dst, ColorRef key)
{
    stretchPicture(target, picture, dst, toPixel(key) & 0x00FFFFFFu);
}

} // namespace qv
