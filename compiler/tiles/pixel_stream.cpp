#include "compiler/tiles/pixel_stream.h"

#include "platform/surface/surface.h"

namespace qv::tiles {
namespace {

void putPixel(PageStream& out, const Surface& s, int x, int y)
{
    ColorRef c = s.getPixel(x, y);
    if (c == kInvalidColor)
        c = 0x00FFFFFF;
    const std::uint16_t v = toRgb565(c);
    out.put(static_cast<std::uint8_t>(v & 0xFF));
    out.put(static_cast<std::uint8_t>(v >> 8));
}

} // namespace

bool writePixelsRGB565(PageStream& out, const Surface& s, const Rect& r, bool rotated, const AbortCheck& aborted)
{
    if (r.isEmpty())
        return true;
    if (!rotated) {
        for (int y = r.bottom - 1; y >= r.top; --y) {
            if (aborted && aborted())
                return false;
            for (int x = r.left; x < r.right; ++x)
                putPixel(out, s, x, y);
        }
        return true;
    }
    for (int x = r.right - 1; x >= r.left; --x) {
        if (aborted && aborted())
            return false;
        for (int y = r.bottom - 1; y >= r.top; --y)
            putPixel(out, s, x, y);
    }
    return true;
}

} // namespace qv::tiles
