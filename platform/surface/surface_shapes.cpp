// Outlined and filled shapes, lines and polygons of the Surface.
#include "platform/surface/surface.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <span>

namespace qv {
namespace {

int penWidth(const Pen& p)
{
    return std::max(1, p.width);
}

// On/off run lengths of the dashed one-pixel pens.
std::span<const int> dashPattern(int style)
{
    static constexpr std::array<int, 2> dash{18, 6};
    static constexpr std::array<int, 2> dot{3, 3};
    static constexpr std::array<int, 4> dashDot{9, 6, 3, 6};
    static constexpr std::array<int, 6> dashDotDot{9, 3, 3, 3, 3, 3};
    switch (style) {
    case PS_DASH: return dash;
    case PS_DOT: return dot;
    case PS_DASHDOT: return dashDot;
    case PS_DASHDOTDOT: return dashDotDot;
    default: return {};
    }
}

bool dashIsOn(std::span<const int> pattern, int phase)
{
    int total = 0;
    for (int v : pattern)
        total += v;
    phase %= total;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (phase < pattern[i])
            return i % 2 == 0;
        phase -= pattern[i];
    }
    return true;
}

// The box a pen's outline occupies: the shape's own box for inside-frame and one-pixel
// pens, a band centred on the edge for wider pens.
Rect outlineBox(const Rect& box, const Pen& p)
{
    const int w = penWidth(p);
    if (w == 1 || p.style == PS_INSIDEFRAME)
        return box;
    return {box.left - w / 2, box.top - w / 2, box.right + (w - 1) / 2, box.bottom + (w - 1) / 2};
}

} // namespace

void Surface::drawRoundedShape(const RoundedBox& shape)
{
    const RoundedBox s{shape.box.normalized(), shape.cornerW, shape.cornerH};
    const bool hasFill = !brush_.isNull();
    const std::uint32_t fillPx = toPixel(brush_.color);
    if (pen_.isNull()) {
        if (!hasFill)
            return;
        RoundedBox f = s;
        f.box.right -= 1;
        f.box.bottom -= 1;
        if (s.cornerW >= s.box.width() && s.cornerH >= s.box.height())
            f = RoundedBox::ellipse(f.box);
        for (int y = f.box.top; y < f.box.bottom; ++y) {
            int x0, x1;
            if (rowSpan(f, y, x0, x1))
                fillSpan(y, x0, x1, fillPx);
        }
        return;
    }

    const std::uint32_t penPx = toPixel(pen_.color);
    const int w = penWidth(pen_);
    RoundedBox outer = s;
    outer.box = outlineBox(s.box, pen_);
    if (s.cornerW >= s.box.width() && s.cornerH >= s.box.height())
        outer = RoundedBox::ellipse(outer.box);
    if (outer.isEmpty())
        return;

    if (w == 1) {
        // One-pixel outline: the pixels of the shape that have a 4-neighbour outside it.
        for (int y = outer.box.top; y < outer.box.bottom; ++y) {
            int x0, x1;
            if (!rowSpan(outer, y, x0, x1))
                continue;
            int a0, a1, b0, b1;
            int in0 = x1 + 1, in1 = x1; // empty interior by default
            if (rowSpan(outer, y - 1, a0, a1) && rowSpan(outer, y + 1, b0, b1)) {
                in0 = std::max({x0 + 1, a0, b0});
                in1 = std::min({x1 - 1, a1, b1});
            }
            if (in0 > in1) {
                fillSpan(y, x0, x1, penPx);
                continue;
            }
            fillSpan(y, x0, in0 - 1, penPx);
            fillSpan(y, in1 + 1, x1, penPx);
            if (hasFill)
                fillSpan(y, in0, in1, fillPx);
        }
        return;
    }

    const RoundedBox inner = shrunk(outer, w);
    for (int y = outer.box.top; y < outer.box.bottom; ++y) {
        int x0, x1;
        if (!rowSpan(outer, y, x0, x1))
            continue;
        int i0, i1;
        if (!rowSpan(inner, y, i0, i1)) {
            fillSpan(y, x0, x1, penPx);
            continue;
        }
        fillSpan(y, x0, i0 - 1, penPx);
        fillSpan(y, i1 + 1, x1, penPx);
        if (hasFill)
            fillSpan(y, i0, i1, fillPx);
    }
}

void Surface::rectangle(const Rect& r)
{
    drawRoundedShape(RoundedBox::plain(r));
}

void Surface::roundRect(const Rect& r, int ellipseW, int ellipseH)
{
    drawRoundedShape(RoundedBox::rounded(r, std::abs(ellipseW), std::abs(ellipseH)));
}

void Surface::ellipse(const Rect& r)
{
    drawRoundedShape(RoundedBox::ellipse(r.normalized()));
}

Point Surface::moveTo(int x, int y)
{
    Point old = pos_;
    pos_ = {x, y};
    dashPhase_ = 0;
    return old;
}

void Surface::lineTo(int x, int y)
{
    drawLineSegment(pos_, {x, y}, false);
    pos_ = {x, y};
}

void Surface::polyline(const Point* pts, int count)
{
    if (count < 2)
        return;
    dashPhase_ = 0;
    for (int i = 1; i < count; ++i)
        drawLineSegment(pts[i - 1], pts[i], false);
}

void Surface::stampDisc(int cx, int cy, int diameter, std::uint32_t pixel)
{
    const Rect box{cx - diameter / 2, cy - diameter / 2, cx - diameter / 2 + diameter, cy - diameter / 2 + diameter};
    const RoundedBox disc = RoundedBox::ellipse(box);
    for (int y = box.top; y < box.bottom; ++y) {
        int x0, x1;
        if (rowSpan(disc, y, x0, x1))
            fillSpan(y, x0, x1, pixel);
    }
}

void Surface::drawLineSegment(Point a, Point b, bool includeLast)
{
    if (pen_.isNull())
        return;
    const std::uint32_t penPx = toPixel(pen_.color);
    const std::uint32_t bkPx = toPixel(bkColor_);
    const int w = penWidth(pen_);
    const std::span<const int> dashes = w == 1 ? dashPattern(pen_.style) : std::span<const int>{};

    const int dx = std::abs(b.x - a.x), sx = a.x < b.x ? 1 : -1;
    const int dy = -std::abs(b.y - a.y), sy = a.y < b.y ? 1 : -1;
    int err = dx + dy;
    int x = a.x, y = a.y;
    while (true) {
        const bool last = x == b.x && y == b.y;
        if (last && !includeLast && w == 1)
            break;
        if (w > 1) {
            stampDisc(x, y, w, penPx);
        } else if (dashes.empty()) {
            plot(x, y, penPx);
        } else {
            if (dashIsOn(dashes, dashPhase_))
                plot(x, y, penPx);
            else if (bkMode_ == OPAQUE)
                plot(x, y, bkPx);
            ++dashPhase_;
        }
        if (last)
            break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

namespace {

std::int64_t floorDiv(std::int64_t a, std::int64_t b)
{
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

} // namespace

void Surface::polygon(const Point* pts, int count)
{
    if (count < 2)
        return;
    if (!brush_.isNull() && count >= 3) {
        // Alternate fill sampled at pixel centres: a pixel is inside when an odd number of
        // edges cross its row to the left of its centre. Coordinates are doubled so the
        // centres are integers; crossings are exact rationals compared without rounding.
        int top = pts[0].y, bottom = pts[0].y;
        for (int i = 1; i < count; ++i) {
            top = std::min(top, pts[i].y);
            bottom = std::max(bottom, pts[i].y);
        }
        top = std::max(top, clip_.top);
        bottom = std::min(bottom, clip_.bottom);
        const std::uint32_t fillPx = toPixel(brush_.color);
        std::vector<std::int64_t> xs; // doubled crossing x, scaled by 2^16
        constexpr std::int64_t kScale = 1 << 16;
        for (int y = top; y < bottom; ++y) {
            xs.clear();
            const std::int64_t yc = 2 * std::int64_t{y} + 1;
            for (int i = 0; i < count; ++i) {
                const Point p = pts[i];
                const Point q = pts[(i + 1) % count];
                if (p.y == q.y)
                    continue;
                const std::int64_t y0 = 2 * std::int64_t{std::min(p.y, q.y)};
                const std::int64_t y1 = 2 * std::int64_t{std::max(p.y, q.y)};
                if (yc < y0 || yc >= y1)
                    continue;
                // x at yc, doubled: 2*p.x + (yc - 2*p.y) * (q.x - p.x) / (q.y - p.y)
                const std::int64_t num = (yc - 2 * std::int64_t{p.y}) * (q.x - p.x) * kScale;
                xs.push_back(2 * std::int64_t{p.x} * kScale + floorDiv(num, q.y - p.y));
            }
            std::sort(xs.begin(), xs.end());
            for (std::size_t k = 0; k + 1 < xs.size(); k += 2) {
                // pixels whose doubled centre 2x+1 lies in [xa, xb)
                const int x0 = static_cast<int>(floorDiv(xs[k] - kScale - 1, 2 * kScale) + 1);
                const int x1 = static_cast<int>(floorDiv(xs[k + 1] - kScale - 1, 2 * kScale));
                if (x0 <= x1)
                    fillSpan(y, x0, x1, fillPx);
            }
        }
    }
    dashPhase_ = 0;
    for (int i = 0; i < count; ++i)
        drawLineSegment(pts[i], pts[(i + 1) % count], false);
}

} // namespace qv
