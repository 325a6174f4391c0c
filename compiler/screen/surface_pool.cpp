#include "compiler/screen/surface_pool.h"

#include <mutex>
#include <vector>

namespace qv::screen {
namespace {

// Each window being prepared or written holds a handful of surfaces, and a few windows are
// prepared ahead of the writer; more than this are let go.
constexpr std::size_t kKept = 32;

struct Kept {
    std::mutex mutex;
    std::vector<Surface> surfaces;
    // Reserved up front: giving a surface back never allocates.
    Kept() { surfaces.reserve(kKept); }
};

Kept& kept()
{
    static Kept pool;
    return pool;
}

// The drawing state of a new surface.
void restoreNewState(Surface& s)
{
    Surface fresh;
    s.selectPen(fresh.pen());
    s.selectBrush(fresh.brush());
    s.selectFont(fresh.font());
    s.setTextColor(fresh.textColor());
    s.setBkColor(fresh.bkColor());
    s.setBkMode(fresh.bkMode());
    s.setTextAlign(fresh.setTextAlign(0));
    s.moveTo(0, 0);
    s.resetClip();
}

} // namespace

bool PooledSurface::takeKept(int width, int height)
{
    Kept& pool = kept();
    {
        std::lock_guard lock(pool.mutex);
        auto& v = pool.surfaces;
        if (v.empty())
            return false;
        auto pick = v.end() - 1;
        for (auto it = v.begin(); it != v.end(); ++it)
            if (it->width() == width && it->height() == height)
                pick = it;
        surface_ = std::move(*pick);
        v.erase(pick);
    }
    restoreNewState(surface_);
    return surface_.width() == width && surface_.height() == height;
}

PooledSurface::PooledSurface(int width, int height, ColorRef fill)
{
    takeKept(width, height);
    surface_.reset(width, height, fill);
}

PooledSurface::PooledSurface(int width, int height, std::span<const Rect> areas, ColorRef fill)
{
    if (!takeKept(width, height)) {
        surface_.reset(width, height, fill);
        return;
    }
    for (const Rect& area : areas)
        surface_.fillRect(area, fill);
}

PooledSurface::PooledSurface(PooledSurface&& other) noexcept : surface_(std::move(other.surface_)), owned_(other.owned_)
{
    other.owned_ = false;
}

PooledSurface::~PooledSurface()
{
    if (!owned_)
        return;
    Kept& pool = kept();
    std::lock_guard lock(pool.mutex);
    if (pool.surfaces.size() < kKept)
        pool.surfaces.push_back(std::move(surface_));
}

} // namespace qv::screen
