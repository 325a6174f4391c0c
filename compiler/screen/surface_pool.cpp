#include "compiler/screen/surface_pool.h"

#include <vector>

namespace qv::screen {
namespace {

// A window run holds a handful of surfaces at once; more than this are let go.
constexpr std::size_t kKeptPerThread = 12;

std::vector<Surface>& pool()
{
    // Reserved up front: giving a surface back never allocates.
    thread_local std::vector<Surface> surfaces = [] {
        std::vector<Surface> v;
        v.reserve(kKeptPerThread);
        return v;
    }();
    return surfaces;
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
}

} // namespace

void PooledSurface::takeKept()
{
    auto& kept = pool();
    if (!kept.empty()) {
        surface_ = std::move(kept.back());
        kept.pop_back();
        restoreNewState(surface_);
    }
}

PooledSurface::PooledSurface(int width, int height, ColorRef fill)
{
    takeKept();
    surface_.reset(width, height, fill);
}

PooledSurface::PooledSurface(int width, int height, const Rect& area, ColorRef fill)
{
    takeKept();
    // A kept surface of the same size is reused as it is, only `area` cleared.
    if (surface_.width() != width || surface_.height() != height) {
        surface_.reset(width, height, fill);
        return;
    }
    surface_.resetClip();
    surface_.fillRect(area, fill);
}

PooledSurface::PooledSurface(PooledSurface&& other) noexcept : surface_(std::move(other.surface_)), owned_(other.owned_)
{
    other.owned_ = false;
}

PooledSurface::~PooledSurface()
{
    auto& kept = pool();
    if (owned_ && kept.size() < kKeptPerThread)
        kept.push_back(std::move(surface_));
}

} // namespace qv::screen
