#include "platform/surface/picture_image.h"

namespace qv {

void drawPicture(Surface& target, const Picture& picture, const Rect& dst)
{
    if (picture.opaque.empty()) {
        target.stretchBlt(dst, picture.pixels, picture.pixels.bounds());
        return;
    }
    // Stretch through a scratch surface, then copy only the opaque pixels.
    const Rect area = dst.normalized().intersected(target.clipRect());
    if (area.isEmpty())
        return;
    Surface mask(picture.width(), picture.height(), 0x000000);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.isOpaqueAt(x, y))
                mask.bits()[static_cast<std::size_t>(y) * picture.width() + x] = 0xFFFFFFFFu;
    Surface stretched(area.width(), area.height(), 0);
    Surface stretchedMask(area.width(), area.height(), 0);
    const Rect local = dst.offset(-area.left, -area.top);
    stretched.stretchBlt(local, picture.pixels, picture.pixels.bounds());
    stretchedMask.stretchBlt(local, mask, mask.bounds());
    for (int y = 0; y < area.height(); ++y)
        for (int x = 0; x < area.width(); ++x)
            if (stretchedMask.rawPixel(x, y) & 0x00FFFFFFu)
                target.bits()[static_cast<std::size_t>(area.top + y) * target.width() + area.left + x] =
                    stretched.rawPixel(x, y);
}

} // namespace qv
