#pragma once
// The Qt side of a Surface: a QImage over the surface's own pixels, without a copy.
#include <QImage>

namespace qv {

class Surface;

// Valid while the surface lives and is not resized; drawing into the surface shows in it.
QImage wrapSurface(Surface& surface);
QImage wrapSurface(const Surface& surface);

} // namespace qv
