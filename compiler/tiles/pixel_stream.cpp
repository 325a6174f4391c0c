#include "compiler/tiles/pixel_stream.h"

#include "platform/surface/surface.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace qv::tiles {
namespace {

void putColour(PageStream& out, ColorRef c)
{
    const std::uint16_t v = toRgb565(c);
    out.put(static_cast<std::uint8_t>(v & 0xFF));
    out.put(static_cast<std::uint8_t>(v >> 8));
}

void putPixel(PageStream& out, const Surface& s, int x, int y)
{
    const ColorRef c = s.getPixel(x, y);
    putColour(out, c == kInvalidColor ? 0x00FFFFFF : c);
}

} // namespace

bool writePixelsRGB565(PageStream& out, const Surface& s, const Rect& r, bool rotated, const AbortCheck& aborted)
{
    if (r.isEmpty())
        return true;
    if (!rotated) {
        // The part of each row on the surface is read straight from its pixels.
        const int inLeft = std::clamp(r.left, 0, s.width()), inRight = std::clamp(r.right, inLeft, s.width());
        std::vector<std::uint8_t> line;
        for (int y = r.bottom - 1; y >= r.top; --y) {
            if (aborted && aborted())
                return false;
            if (y < 0 || y >= s.height()) {
                for (int x = r.left; x < r.right; ++x)
                    putColour(out, 0x00FFFFFF);
                continue;
            }
            const std::uint32_t* row = s.bits() + static_cast<std::size_t>(y) * static_cast<std::size_t>(s.width());
            // A row is converted first, into bytes sized for it, and goes into the stream in
            // one go.
            line.resize(2 * static_cast<std::size_t>(std::int64_t{r.right} - r.left));
            std::uint8_t* to = line.data();
            const auto putLine = [&to](ColorRef c) {
                const std::uint16_t v = toRgb565(c);
                *to++ = static_cast<std::uint8_t>(v & 0xFF);
                *to++ = static_cast<std::uint8_t>(v >> 8);
            };
            for (int x = r.left; x < inLeft; ++x)
                putLine(0x00FFFFFF);
            for (int x = inLeft; x < inRight; ++x)
                putLine(fromPixel(row[x]));
            for (int x = inRight; x < r.right; ++x)
                putLine(0x00FFFFFF);
            out.putData(line.data(), line.size());
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
