#include "platform/picture/surface_image.h"

#include "platform/surface/surface.h"

namespace qv {

QImage wrapSurface(Surface& surface)
{
    if (surface.isNull())
        return {};
    return QImage(reinterpret_cast<uchar*>(surface.bits()), surface.width(), surface.height(),
                  surface.bytesPerLine(), QImage::Format_RGB32);
}

QImage wrapSurface(const Surface& surface)
{
    if (surface.isNull())
        return {};
    return QImage(reinterpret_cast<const uchar*>(surface.bits()), surface.width(), surface.height(),
                  surface.bytesPerLine(), QImage::Format_RGB32);
}

} // namespace qv
