// Outlined and filled shapes, lines and polygons of the Surface.
#include "platform/surface/surface.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <span>
#include <utility>
#include <vector>

namespace qv {
namespace {

using i128 = __int128;

// Floor division; numerators reach 2^80 once far coordinates are scaled (128 bits), the
// polygon fill near the surface keeps them in 64.
template <class Int>
Int floorDiv(Int a, Int b)
{
    Int q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

int penWidth(const Pen& p)
{
    return std::max(1, p.width);
}

i128 ceilDiv(i128 a, i128 b) { return -floorDiv(-a, b); }

// Bresenham's minor-axis offset of step k (see drawLineSegment).
std::int64_t bresenhamSide(std::int64_t k, std::int64_t major, std::int64_t minor)
{
    if (major == 0)
        return 0;
    return static_cast<std::int64_t>(floorDiv(2 * i128{k} * minor - major, 2 * i128{major}) + 1);
}

// The first step whose minor-axis offset reaches `side` (never below 0).
std::int64_t firstStepAtSide(std::int64_t side, std::int64_t major, std::int64_t minor)
{
    if (minor == 0)
        return side <= 0 ? 0 : major + 1;
    return std::max<std::int64_t>(0, static_cast<std::int64_t>(ceilDiv((2 * i128{side} - 1) * major, 2 * i128{minor})));
}

// Wider pens than this cannot show more on a surface of this size than a pen of this width.
int penWidthBound(int surfaceWidth, int surfaceHeight)
{
    return static_cast<int>(std::clamp<std::int64_t>(2 * (std::int64_t{surfaceWidth} + surfaceHeight), 64, 1 << 20));
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

// Every dash pattern's length divides this, so the phase carried from one segment to the
// next can be kept below it without changing where the dashes fall.
constexpr int kDashCycle = 24;

bool dashIsOn(std::span<const int> pattern, std::int64_t phase)
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
    return Rect::saturated(std::int64_t{box.left} - w / 2, std::int64_t{box.top} - w / 2,
                           std::int64_t{box.right} + (w - 1) / 2, std::int64_t{box.bottom} + (w - 1) / 2);
}

// Alternate fill sampled at pixel centres: a pixel is inside when an odd number of edges
// cross its row to the left of its centre. Coordinates are doubled so the centres are
// integers; crossings are exact rationals compared without rounding. `Int` holds the
// doubled crossings scaled by 2^16: 64 bits do for points near the surface.
template <class Int>
void fillPolygon(Surface& dc, const Point* pts, int count, std::uint32_t fillPx)
{
    const Rect& clip = dc.clipRect();
    int top = pts[0].y, bottom = pts[0].y;
    for (int i = 1; i < count; ++i) {
        top = std::min(top, pts[i].y);
        bottom = std::max(bottom, pts[i].y);
    }
    top = std::max(top, clip.top);
    bottom = std::min(bottom, clip.bottom);
    if (top >= bottom)
        return;
    constexpr Int kScale = 1 << 16;
    // The edges that cross some row, with their doubled rows [y0, y1); made once per polygon.
    struct Edge {
        std::int64_t y0, y1;
        Point p, q;
    };
    thread_local std::vector<Edge> edges;
    thread_local std::vector<Int> xs;
    edges.clear();
    for (int i = 0; i < count; ++i) {
        const Point p = pts[i];
        const Point q = pts[(i + 1) % count];
        if (p.y != q.y)
            edges.push_back({2 * std::int64_t{std::min(p.y, q.y)}, 2 * std::int64_t{std::max(p.y, q.y)}, p, q});
    }
    for (int y = top; y < bottom; ++y) {
        xs.clear();
        const std::int64_t yc = 2 * std::int64_t{y} + 1;
        for (const Edge& e : edges) {
            if (yc < e.y0 || yc >= e.y1)
                continue;
            // x at yc, doubled: 2*p.x + (yc - 2*p.y) * (q.x - p.x) / (q.y - p.y)
            const Int num = Int{yc - 2 * std::int64_t{e.p.y}} * (std::int64_t{e.q.x} - e.p.x) * kScale;
            xs.push_back(2 * Int{e.p.x} * kScale + floorDiv<Int>(num, std::int64_t{e.q.y} - e.p.y));
        }
        std::sort(xs.begin(), xs.end());
        for (std::size_t k = 0; k + 1 < xs.size(); k += 2) {
            // pixels whose doubled centre 2x+1 lies in [xa, xb), limited to the clip
            const Int x0 = std::max<Int>(floorDiv<Int>(xs[k] - kScale - 1, 2 * kScale) + 1, clip.left);
            const Int x1 = std::min<Int>(floorDiv<Int>(xs[k + 1] - kScale - 1, 2 * kScale), clip.right - 1);
            if (x0 <= x1)
                dc.fillSpan(y, static_cast<int>(x0), static_cast<int>(x1), fillPx);
        }
    }
}

} // namespace

// Rows of `box` that the clip lets through: shapes far larger than the surface only cost
// the rows that can show.
std::pair<int, int> Surface::clippedRows(const Rect& box) const
{
    return {std::max(box.top, clip_.top), std::min(box.bottom, clip_.bottom)};
}

void Surface::drawRoundedShape(const RoundedBox& shape)
{
    const RoundedBox s{shape.box.normalized(), shape.cornerW, shape.cornerH};
    const bool hasFill = !brush_.isNull();
    const std::uint32_t fillPx = toPixel(brush_.color);
    // Span ends in 64 bits: one past a span's end may lie beyond the int range.
    const auto span = [&](int y, std::int64_t x0, std::int64_t x1, std::uint32_t px) {
        if (x0 <= x1)
            fillSpan(y, saturateToInt(x0), saturateToInt(x1), px);
    };
    if (pen_.isNull()) {
        if (!hasFill)
            return;
        RoundedBox f = s;
        f.box.right = saturateToInt(std::int64_t{f.box.right} - 1);
        f.box.bottom = saturateToInt(std::int64_t{f.box.bottom} - 1);
        if (s.isEllipse())
            f = RoundedBox::ellipse(f.box);
        const auto [top, bottom] = clippedRows(f.box);
        ShapeRows rows(f);
        for (int y = top; y < bottom; ++y) {
            int x0, x1;
            if (rows.span(y, x0, x1))
                fillSpan(y, x0, x1, fillPx);
        }
        return;
    }

    const std::uint32_t penPx = toPixel(pen_.color);
    const int w = penWidth(pen_);
    RoundedBox outer = s;
    outer.box = outlineBox(s.box, pen_);
    if (s.isEllipse())
        outer = RoundedBox::ellipse(outer.box);
    if (outer.isEmpty())
        return;
    const auto [top, bottom] = clippedRows(outer.box);

    if (w == 1) {
        // One-pixel outline: the pixels of the shape that have a 4-neighbour outside it.
        // Rows come from the clip, so y - 1 and y + 1 stay in range. Each row's span is
        // worked out once and kept while its neighbours are drawn.
        struct Row {
            bool present = false;
            int x0 = 0, x1 = 0;
        };
        ShapeRows rows(outer);
        const auto rowOf = [&](int y) {
            Row r;
            r.present = rows.span(y, r.x0, r.x1);
            return r;
        };
        Row above = rowOf(top - 1), row = rowOf(top), below;
        for (int y = top; y < bottom; ++y, above = row, row = below) {
            below = rowOf(y + 1);
            if (!row.present)
                continue;
            const int x0 = row.x0, x1 = row.x1;
            std::int64_t in0 = std::int64_t{x1} + 1, in1 = x1; // empty interior by default
            if (above.present && below.present) {
                in0 = std::max<std::int64_t>({std::int64_t{x0} + 1, above.x0, below.x0});
                in1 = std::min<std::int64_t>({std::int64_t{x1} - 1, above.x1, below.x1});
            }
            if (in0 > in1) {
                fillSpan(y, x0, x1, penPx);
                continue;
            }
            span(y, x0, in0 - 1, penPx);
            span(y, in1 + 1, x1, penPx);
            if (hasFill)
                span(y, in0, in1, fillPx);
        }
        return;
    }

    ShapeRows outerRows(outer), innerRows(shrunk(outer, w));
    for (int y = top; y < bottom; ++y) {
        int x0, x1;
        if (!outerRows.span(y, x0, x1))
            continue;
        int i0, i1;
        if (!innerRows.span(y, i0, i1)) {
            fillSpan(y, x0, x1, penPx);
            continue;
        }
        span(y, x0, std::int64_t{i0} - 1, penPx);
        span(y, std::int64_t{i1} + 1, x1, penPx);
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
    drawRoundedShape(RoundedBox::rounded(r, std::abs(std::int64_t{ellipseW}), std::abs(std::int64_t{ellipseH})));
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

void Surface::drawLineSegment(Point a, Point b, bool includeLast)
{
    if (pen_.isNull())
        return;
    const std::uint32_t penPx = toPixel(pen_.color);
    const std::uint32_t bkPx = toPixel(bkColor_);
    const int w = std::min(penWidth(pen_), penWidthBound(width_, height_));
    if (w > 1) {
        strokeWideSegment(a, b, w, penPx);
        return;
    }
    const std::span<const int> dashes = dashPattern(pen_.style);

    // Bresenham's line in closed form: step k moves one pixel along the major axis and
    // floor((2k * minor - major) / (2 * major)) + 1 pixels along the minor one. So the
    // steps whose pixel cannot reach the clip are skipped, not walked.
    const std::int64_t dx = std::abs(std::int64_t{b.x} - a.x), dy = std::abs(std::int64_t{b.y} - a.y);
    const int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
    const bool xMajor = dx >= dy;
    const std::int64_t major = xMajor ? dx : dy, minor = xMajor ? dy : dx;
    const std::int64_t steps = includeLast ? major + 1 : major; // pixels the segment visits

    const std::int64_t from = xMajor ? a.x : a.y;
    const int dir = xMajor ? sx : sy;
    const std::int64_t lo = std::int64_t{xMajor ? clip_.left : clip_.top} - w;
    const std::int64_t hi = std::int64_t{xMajor ? clip_.right : clip_.bottom} - 1 + w;
    const std::int64_t first = std::max<std::int64_t>(0, dir > 0 ? lo - from : from - hi);
    const std::int64_t last = std::min(steps - 1, dir > 0 ? hi - from : from - lo);
    for (std::int64_t k = first; k <= last; ++k) {
        const std::int64_t side = bresenhamSide(k, major, minor);
        // Both lie between the segment's ends, so they fit an int.
        const int x = static_cast<int>(a.x + sx * (xMajor ? k : side));
        const int y = static_cast<int>(a.y + sy * (xMajor ? side : k));
        if (dashes.empty())
            plot(x, y, penPx);
        else if (dashIsOn(dashes, dashPhase_ + k))
            plot(x, y, penPx);
        else if (bkMode_ == OPAQUE)
            plot(x, y, bkPx);
    }
    if (!dashes.empty())
        dashPhase_ = static_cast<int>((dashPhase_ + steps) % kDashCycle);
}

namespace {

// A disc's span on each of its rows, relative to its centre; its rows run from centre - w/2
// to centre - w/2 + w - 1. Present rows are one band (an ellipse's), and going out from the
// middle row a row's start never moves left and its end never moves right.
struct DiscRow {
    bool present;
    int x0, x1;
};

// The disc of a pen `w` wide, made once per width and thread: a polyline's segments share it.
const std::vector<DiscRow>& discRows(int w)
{
    thread_local int madeFor = 0;
    thread_local std::vector<DiscRow> rows;
    if (madeFor != w) {
        const int up = w / 2;
        rows.assign(static_cast<std::size_t>(w), DiscRow{});
        ShapeRows disc(RoundedBox::ellipse(Rect{-up, -up, w - up, w - up}));
        for (int r = 0; r < w; ++r)
            rows[r].present = disc.span(r - up, rows[r].x0, rows[r].x1);
        madeFor = w;
    }
    return rows;
}

} // namespace

// A wide pen's segment is a disc of the pen's diameter at every pixel of the Bresenham
// line, both ends included. It is filled row by row: the discs that reach a row are those
// whose centre row lies within the pen's reach, and the centres on one centre row form a run
// whose discs join into one span. Neighbouring centre rows' spans touch (their centres are
// 8-connected and every disc row between them is present), so a row's spans join into one:
// its ends are the least start and the greatest end.
// The runs are worked out once per centre row that can reach the clip. A row's ends are
// searched outwards from the row's own centre row on each side, and a side's search stops as
// soon as nothing further out can do better (the centres move one way along a line, the disc
// narrows outwards) or the end already lies past the clip. So the cost follows the clip's
// rows and what of the pen they show, never the segment's length.
void Surface::strokeWideSegment(Point a, Point b, int w, std::uint32_t penPx)
{
    const std::int64_t dx = std::abs(std::int64_t{b.x} - a.x), dy = std::abs(std::int64_t{b.y} - a.y);
    const int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
    const bool xMajor = dx >= dy;
    const std::int64_t major = xMajor ? dx : dy, minor = xMajor ? dy : dx;

    const std::int64_t minY = std::min(a.y, b.y), maxY = std::max(a.y, b.y);
    const int up = w / 2;
    const std::int64_t firstRow = std::max<std::int64_t>(minY - up, clip_.top);
    const std::int64_t endRow = std::min<std::int64_t>(maxY - up + w, clip_.bottom);
    if (firstRow >= endRow)
        return;
    const std::vector<DiscRow>& disc = discRows(w);

    // Centre rows are a.y + sy * t for t in [0, dy]; the centres on one of them run along x.
    const auto centresOnRow = [&](std::int64_t t) -> std::pair<std::int64_t, std::int64_t> {
        if (!xMajor) {
            const std::int64_t x = a.x + sx * bresenhamSide(t, major, minor);
            return {x, x};
        }
        const std::int64_t k0 = firstStepAtSide(t, major, minor);
        const std::int64_t k1 = std::min(major, firstStepAtSide(t + 1, major, minor) - 1);
        const std::int64_t x0 = a.x + sx * k0, x1 = a.x + sx * k1;
        return {std::min(x0, x1), std::max(x0, x1)};
    };
    // The centre rows that reach a clipped row, with their runs.
    const std::int64_t cyFirst = std::max(minY, firstRow + up - w + 1);
    const std::int64_t cyLast = std::min(maxY, endRow - 1 + up);
    std::vector<std::pair<std::int64_t, std::int64_t>> runs;
    runs.reserve(static_cast<std::size_t>(std::max<std::int64_t>(0, cyLast - cyFirst + 1)));
    for (std::int64_t cy = cyFirst; cy <= cyLast; ++cy)
        runs.push_back(centresOnRow(sy > 0 ? cy - a.y : a.y - cy));
    const auto run = [&](std::int64_t cy) { return runs[static_cast<std::size_t>(cy - cyFirst)]; };

    const std::int64_t clipLeft = clip_.left, clipRight = std::int64_t{clip_.right} - 1;
    for (std::int64_t y = firstRow; y < endRow; ++y) {
        // Centre rows cy with cy - up <= y <= cy - up + w - 1.
        const std::int64_t cyLo = std::max(cyFirst, y + up - w + 1), cyHi = std::min(cyLast, y + up);
        std::int64_t x0 = std::numeric_limits<std::int64_t>::max(), x1 = std::numeric_limits<std::int64_t>::min();
        // One side: centre rows from `from` outwards to `to` (step +1 or -1).
        const auto side = [&](std::int64_t from, std::int64_t to, std::int64_t step) {
            if ((to - from) * step < 0)
                return;
            const auto [farStart, farEnd] = run(to);
            bool startDone = x0 <= clipLeft, endDone = x1 >= clipRight;
            for (std::int64_t cy = from; !(startDone && endDone); cy += step) {
                const DiscRow& r = disc[static_cast<std::size_t>(y - cy + up)];
                if (!r.present)
                    break; // the rows further out are absent too
                const auto [c0, c1] = run(cy);
                if (!startDone) {
                    // Further out the centres start no further left than the nearer of this
                    // run and the last one, and the disc's row starts no further left.
                    if (std::min(c0, farStart) + r.x0 >= x0)
                        startDone = true;
                    else
                        startDone = (x0 = std::min(x0, c0 + r.x0)) <= clipLeft;
                }
                if (!endDone) {
                    if (std::max(c1, farEnd) + r.x1 <= x1)
                        endDone = true;
                    else
                        endDone = (x1 = std::max(x1, c1 + r.x1)) >= clipRight;
                }
                if (cy == to)
                    break;
            }
        };
        side(std::max(y, cyLo), cyHi, 1);
        side(std::min(y - 1, cyHi), cyLo, -1);
        x0 = std::max(x0, clipLeft);
        x1 = std::min(x1, clipRight);
        if (x0 <= x1)
            fillSpan(static_cast<int>(y), static_cast<int>(x0), static_cast<int>(x1), penPx);
    }
}

void Surface::polygon(const Point* pts, int count)
{
    if (count < 2)
        return;
    if (!brush_.isNull() && count >= 3) {
        // Points within this reach keep every product of the fill in 64 bits.
        constexpr int kNear = 1 << 20;
        const bool near = std::all_of(pts, pts + count, [](const Point& p) {
            return p.x > -kNear && p.x < kNear && p.y > -kNear && p.y < kNear;
        });
        if (near)
            fillPolygon<std::int64_t>(*this, pts, count, toPixel(brush_.color));
        else
            fillPolygon<i128>(*this, pts, count, toPixel(brush_.color));
    }
    dashPhase_ = 0;
    for (int i = 0; i < count; ++i)
        drawLineSegment(pts[i], pts[(i + 1) % count], false);
}

} // namespace qv
