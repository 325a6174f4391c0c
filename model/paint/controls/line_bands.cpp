#include "model/paint/controls/line_bands.h"

namespace qv {
namespace {

// Whether coordinate c lies in a band: the band starting last at or before c is the one
// that reaches furthest, so it alone decides.
bool covered(const LineBands& b, std::int64_t c)
{
    const std::int64_t t = b.descending ? b.origin - 1 - c : c - b.origin;
    if (b.offset(0) > t)
        return false;
    std::int64_t lo = 0, hi = b.count - 1; // offset(lo) <= t
    while (lo < hi) {
        const std::int64_t mid = lo + (hi - lo + 1) / 2;
        if (b.offset(mid) <= t)
            lo = mid;
        else
            hi = mid - 1;
    }
    return t - b.offset(lo) < b.width;
}

// Calls fill(first, end) for every run of covered coordinates in [from, to).
template <class Fill>
void forEachRun(const LineBands& b, int from, int to, Fill fill)
{
    if (b.count < 1 || b.width < 1 || !b.offset)
        return;
    int start = from;
    bool inRun = false;
    for (int c = from; c < to; ++c) {
        const bool in = covered(b, c);
        if (in && !inRun)
            start = c;
        else if (!in && inRun)
            fill(start, c);
        inRun = in;
    }
    if (inRun)
        fill(start, to);
}

} // namespace

void FillColumnBands(Surface& dc, const LineBands& bands, std::int64_t top, std::int64_t bottom, ColorRef color)
{
    if (bottom <= top)
        return; // an inverted extent (margin larger than the box) draws nothing
    const Rect clip = dc.clipRect();
    forEachRun(bands, clip.left, clip.right,
               [&](int x0, int x1) { dc.fillRect(Rect::saturated(x0, top, x1, bottom), color); });
}

void FillRowBands(Surface& dc, const LineBands& bands, std::int64_t left, std::int64_t right, ColorRef color)
{
    if (right <= left)
        return;
    const Rect clip = dc.clipRect();
    forEachRun(bands, clip.top, clip.bottom,
               [&](int y0, int y1) { dc.fillRect(Rect::saturated(left, y0, right, y1), color); });
}

} // namespace qv
