#pragma once
// Work surfaces of a compile, kept and handed out again to any thread: allocating and
// clearing a large surface for every window and every control was most of a compile's time.
// A window's surfaces are made on a preparing thread and given back on the writer's, so the
// kept ones are shared. A surface comes back with the state of a new one (pen, brush, font,
// colours, modes).
#include "platform/surface/surface.h"

#include <span>

namespace qv::screen {

class PooledSurface {
public:
    PooledSurface(int width, int height, ColorRef fill = 0x00FFFFFF);
    // Only `areas` are filled: for a caller that reads nothing outside them (a kept surface
    // of the same size is reused as it is; any other is filled whole). Clearing whole
    // window-sized canvases for every control was most of a compile's time.
    PooledSurface(int width, int height, std::span<const Rect> areas, ColorRef fill);
    PooledSurface(int width, int height, const Rect& area, ColorRef fill)
        : PooledSurface(width, height, std::span<const Rect>(&area, 1), fill)
    {
    }
    ~PooledSurface();
    PooledSurface(PooledSurface&& other) noexcept;
    PooledSurface(const PooledSurface&) = delete;
    PooledSurface& operator=(const PooledSurface&) = delete;
    PooledSurface& operator=(PooledSurface&&) = delete;

    Surface& get() { return surface_; }
    const Surface& get() const { return surface_; }

private:
    // Takes a kept surface, one of this size when there is one; true when it has the size.
    bool takeKept(int width, int height);

    Surface surface_;
    bool owned_ = true;
};

} // namespace qv::screen
