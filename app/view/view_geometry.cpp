#include "app/view/view_geometry.h"

#include "model/document/draw_doc.h"

#include <cstdint>
#include <cstdlib>
#include <limits>

namespace qv {
namespace {

using i64 = std::int64_t;

int clampInt(i64 v)
{
    constexpr i64 lo = std::numeric_limits<int>::min();
    constexpr i64 hi = std::numeric_limits<int>::max();
    return static_cast<int>(v < lo ? lo : (v > hi ? hi : v));
}

Rect makeRect(i64 l, i64 t, i64 r, i64 b) { return {clampInt(l), clampInt(t), clampInt(r), clampInt(b)}; }

Rect shifted(const Rect& r, i64 dx, i64 dy)
{
    return makeRect(r.left + dx, r.top + dy, r.right + dx, r.bottom + dy);
}

// The two edges of one axis of KeepRectInWindow: `lo`/`hi` are the rectangle's edges on the
// axis (in either order), `extent` the size to keep.
void pushBelowLimit(int& a, int& b, i64 limit, i64 extent)
{
    if (limit < a || limit < b) {
        int& larger = (a >= b) ? a : b;
        int& other = (&larger == &a) ? b : a;
        larger = clampInt(limit);
        other = clampInt(limit - extent);
    }
}

void pushAboveLimit(int& a, int& b, i64 limit, i64 extent)
{
    if (a < limit || b < limit) {
        int& smaller = (a <= b) ? a : b;
        int& other = (&smaller == &a) ? b : a;
        smaller = clampInt(limit);
        other = clampInt(limit + extent);
    }
}

int clampEdge(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

} // namespace

Rect DeviceRect(Point margins, Size resolution)
{
    return makeRect(margins.x, margins.y, i64(margins.x) + resolution.cx, i64(margins.y) + resolution.cy);
}

Rect BezelRect(const Rect& device)
{
    return makeRect(i64(device.left) - 25, i64(device.top) - 25, i64(device.right) + 25, i64(device.bottom) + 50);
}

Rect WindowArea(const CDrawDoc& doc, Point margins)
{
    const i64 left = i64(margins.x) + doc.m_ptWindowOrigin.x;
    const i64 top = i64(margins.y) + doc.m_ptWindowOrigin.y;
    return makeRect(left, top, left + doc.m_nWindowWidth, top + doc.m_nWindowHeight);
}

Size PaintBufferSize(Size resolution, Point margins, Size desktop)
{
    const Rect bezel = BezelRect(DeviceRect(margins, resolution));
    return {std::max(clampInt(std::max<i64>(bezel.right, 0)), desktop.cx),
            std::max(clampInt(std::max<i64>(bezel.bottom, 0)), desktop.cy)};
}

bool IsInWindowArea(const Rect& window, Point p) { return window.contains(p.x, p.y); }

Rect ClampRectToWindow(const Rect& r, const Rect& window)
{
    Rect out = r;
    out.bottom = clampEdge(out.bottom, window.top, window.bottom);
    out.top = clampEdge(out.top, window.top, window.bottom);
    out.left = clampEdge(out.left, window.left, window.right);
    out.right = clampEdge(out.right, window.left, window.right);
    return out;
}

Rect KeepRectInWindow(const Rect& r, const Rect& sizeFrom, const Rect& window)
{
    const i64 width = std::llabs(i64(sizeFrom.right) - sizeFrom.left);
    const i64 height = std::llabs(i64(sizeFrom.bottom) - sizeFrom.top);
    Rect out = r;
    pushBelowLimit(out.top, out.bottom, window.bottom, height);
    pushBelowLimit(out.left, out.right, window.right, width);
    pushAboveLimit(out.left, out.right, window.left, width);
    pushAboveLimit(out.top, out.bottom, window.top, height);
    return out;
}

Rect ObjectRepaintRect(const Rect& clientRect, bool withHandles, int penWidth, bool controlNumber)
{
    const Rect n = clientRect.normalized();
    i64 l = n.left, t = n.top, r = n.right, b = n.bottom;
    if (withHandles) {
        l -= 4;
        t -= 5;
        r += 5;
        b += 4;
    }
    // Wide pens of the centred styles reach half their width outside the position.
    const i64 band = penWidth > 1 ? (i64(penWidth) + 1) / 2 : 0;
    l -= band;
    t -= band;
    r += band;
    b += band;
    if (controlNumber) {
        l = std::min<i64>(l, i64(n.left) - 32);
        t = std::min<i64>(t, i64(n.top) - 20);
    }
    return makeRect(l - 1, t - 1, r + 1, b + 1);
}

std::array<Rect, 4> RectsAround(const Rect& r, const Rect& hole)
{
    if (r.isEmpty())
        return {};
    const Rect h = hole.intersected(r);
    if (h.isEmpty())
        return {r, Rect{}, Rect{}, Rect{}};
    return {Rect{r.left, r.top, r.right, h.top}, Rect{r.left, h.bottom, r.right, r.bottom},
            Rect{r.left, h.top, h.left, h.bottom}, Rect{h.right, h.top, r.right, h.bottom}};
}

Rect RectBetween(Point a, Point b) { return Rect{a.x, a.y, b.x, b.y}.normalized(); }

bool RebaseObjects(CDrawDoc& doc, Point margins)
{
    if (doc.m_nMarginX == margins.x && doc.m_nMarginY == margins.y)
        return false;
    const i64 dx = i64(margins.x) - doc.m_nMarginX;
    const i64 dy = i64(margins.y) - doc.m_nMarginY;
    for (auto& obj : doc.m_objects)
        obj->m_rcPosition = shifted(obj->m_rcPosition, dx, dy);
    for (auto& slot : doc.m_undoRing)
        for (auto& obj : slot)
            obj->m_rcPosition = shifted(obj->m_rcPosition, dx, dy);
    doc.m_nMarginX = margins.x;
    doc.m_nMarginY = margins.y;
    return true;
}

std::optional<Point> CalibrationTarget(int step, const Rect& device, Size resolution)
{
    if (step < 0 || step > 3)
        return std::nullopt;
    const i64 dx = resolution.cx / 10;
    const i64 dy = resolution.cy / 10;
    const bool right = step == 1 || step == 3;
    const bool bottom = step >= 2;
    const i64 x = i64(device.left) + (right ? i64(resolution.cx) - dx : dx);
    const i64 y = i64(device.top) + (bottom ? i64(resolution.cy) - dy : dy);
    return Point{clampInt(x), clampInt(y)};
}

} // namespace qv
