#pragma once
// A decoded picture: its pixels in a Surface plus which of them are opaque, drawn stretched
// with nearest-neighbour sampling. Decoding lives in platform/picture (it needs QtGui);
// drawing needs nothing but the Surface, so painters and tests can use it headless.
#include "platform/surface/surface.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace qv {

struct Picture {
    Surface pixels;
    std::vector<std::uint8_t> opaque;  // one per pixel; empty when every pixel is opaque
    int width() const { return pixels.width(); }
    int height() const { return pixels.height(); }
    bool isOpaqueAt(int x, int y) const
    {
        return opaque.empty() || opaque[static_cast<std::size_t>(y) * pixels.width() + x] != 0;
    }
};

using PicturePtr = std::shared_ptr<const Picture>;

// Stretches the picture over `dst` (nearest neighbour; a negative width or height
// mirrors); transparent pixels leave the target as it was. Clipped by the target's clip
// rectangle, so a picture overhanging the surface keeps its visible part.
void drawPicture(Surface& target, const Picture& picture, const Rect& dst);

// drawPicture leaving out, as well, the pixels of colour `key` (top byte ignored): what a
// picture composed over the key and copied without it shows, with no surface in between.
void drawPictureKeyed(Surface& target, const Picture& picture, const Rect& dst, ColorRef key);

} // namespace qv
