#pragma once
// The pixel map of a nearest-neighbour stretch, shared by the blits and the picture drawing
// so every stretched copy samples the same source pixel for the same destination pixel.
#include "platform/surface/surface.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace qv {

// Calls fn(dstX, dstY, srcX, srcY) for every clipped destination pixel of a
// nearest-neighbour stretch, sampling the source at the destination pixel's centre.
template <typename Fn>
inline void forEachStretched(const Rect& clip, const Rect& dst, const Surface& src, const Rect& srcRect, Fn&& fn)
{
    const std::int64_t dw = dst.width64(), dh = dst.height64();
    const std::int64_t sw = srcRect.width64(), sh = srcRect.height64();
    if (dw == 0 || dh == 0 || sw == 0 || sh == 0)
        return;
    const Rect dn = dst.normalized();
    const Rect area = dn.intersected(clip);
    if (area.isEmpty())
        return;
    const std::int64_t adw = std::abs(dw), adh = std::abs(dh);
    const std::int64_t asw = std::abs(sw), ash = std::abs(sh);
    // A mirrored destination or source flips the sampling direction.
    const bool flipX = (dw < 0) != (sw < 0);
    const bool flipY = (dh < 0) != (sh < 0);
    const std::int64_t sLeft = std::min(srcRect.left, srcRect.right);
    const std::int64_t sTop = std::min(srcRect.top, srcRect.bottom);
    // Source columns outside the source surface become -1 and are skipped.
    const auto onSource = [](std::int64_t v, int size) { return v >= 0 && v < size ? static_cast<int>(v) : -1; };
    std::vector<int> colMap(static_cast<std::size_t>(area.width()));
    for (int x = area.left; x < area.right; ++x) {
        const std::int64_t i = std::int64_t{x} - dn.left;
        std::int64_t sx = static_cast<std::int64_t>((2 * __int128{i} + 1) * asw / (2 * __int128{adw}));
        if (flipX)
            sx = asw - 1 - sx;
        colMap[static_cast<std::size_t>(x - area.left)] = onSource(sLeft + sx, src.width());
    }
    for (int y = area.top; y < area.bottom; ++y) {
        const std::int64_t j = std::int64_t{y} - dn.top;
        std::int64_t sy = static_cast<std::int64_t>((2 * __int128{j} + 1) * ash / (2 * __int128{adh}));
        if (flipY)
            sy = ash - 1 - sy;
        const int srcY = onSource(sTop + sy, src.height());
        if (srcY < 0)
            continue;
        for (int x = area.left; x < area.right; ++x) {
            const int sx = colMap[static_cast<std::size_t>(x - area.left)];
            if (sx < 0)
                continue;
            fn(x, y, sx, srcY);
        }
    }
}

} // namespace qv
