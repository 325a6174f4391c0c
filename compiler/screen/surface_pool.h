#pragma once
// Work surfaces of a compile, kept per thread and handed out again: allocating and clearing
// a large surface for every window and every control was most of a compile's time. A
// surface comes back with the state of a new one (pen, brush, font, colours, modes).
#include "platform/surface/surface.h"

namespace qv::screen {

class PooledSurface {
public:
    PooledSurface(int width, int height, ColorRef fill = 0x00FFFFFF);
    // Only `area` is filled: for a caller that reads nothing outside it. Clearing whole
    // window-sized canvases for every control was most of a compile's time.
    PooledSurface(int width, int height, const Rect& area, ColorRef fill);
    ~PooledSurface();
    PooledSurface(PooledSurface&& other) noexcept;
    PooledSurface(const PooledSurface&) = delete;
    PooledSurface& operator=(const PooledSurface&) = delete;
    PooledSurface& operator=(PooledSurface&&) = delete;

    Surface& get() { return surface_; }
    const Surface& get() const { return surface_; }

private:
    void takeKept();

    Surface surface_;
    bool owned_ = true;
};

} // namespace qv::screen
