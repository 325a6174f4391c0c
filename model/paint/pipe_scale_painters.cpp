// Pipe, pipe joint and scale: decorative kinds painted with the shapes.
#include "model/paint/gradient.h"
#include "model/paint/paint_rules.h"
#include "model/paint/shape_painters.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace qv {
namespace {

template <class Kind>
ColorRef colorAt(const CDrawObj& obj, ParamField<std::int32_t, Kind> f)
{
    return static_cast<ColorRef>(obj.Param(f)) & 0x00FFFFFF;
}

// Ticks come from the file: a scale never draws more marks than this.
constexpr int kMaxMajorTicks = 1024;
constexpr int kMaxMinorTicks = 1024;
constexpr std::int64_t kMaxTickMarks = 1 << 16;

} // namespace

// Positions come from files, so the painters work in 64 bits: a box may span the whole int
// range. Points between a box's edges fit an int again; anything else goes through
// Rect::saturated.
void PaintPipe(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext&)
{
    using namespace blocks::pipe;
    const Rect r = obj.m_rcPosition.normalized();
    const ColorRef edge = colorAt(obj, kEdgeColor), centre = colorAt(obj, kCentreColor);
    if (obj.Param(kOrientation) == 0) {
        const int mid = static_cast<int>(r.top + r.height64() / 2);
        FillGradientVertical(dcs.target, edge, centre, {r.left, r.top, r.right, mid});
        FillGradientVertical(dcs.target, centre, edge, {r.left, mid, r.right, r.bottom});
    } else {
        const int mid = static_cast<int>(r.left + r.width64() / 2);
        FillGradientHorizontal(dcs.target, edge, centre, {r.left, r.top, mid, r.bottom});
        FillGradientHorizontal(dcs.target, centre, edge, {mid, r.top, r.right, r.bottom});
    }
}

void PaintPipeJoint(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext&)
{
    using namespace blocks::pipe;
    const int corner = obj.Param(kOrientation);
    if (corner < 0 || corner > 3)
        return;
    const Rect r = obj.m_rcPosition.normalized();
    const int L = r.left, T = r.top, R = r.right, B = r.bottom;
    const std::int64_t W = r.width64(), H = r.height64();
    const int mx = static_cast<int>(L + W / 2), my = static_cast<int>(T + H / 2);
    const bool right = corner == 1 || corner == 3;
    const bool bottom = corner == 2 || corner == 3;
    const ColorRef edge = colorAt(obj, kEdgeColor), centre = colorAt(obj, kCentreColor);
    const Rect half = bottom ? Rect{L, my, R, B} : Rect{L, T, R, my};
    const int cornerX = right ? R : L, cornerY = bottom ? B : T;

    Surface& dc = dcs.target;
    SurfaceStateGuard guard(dc);
    const Brush white{BS_SOLID, 0x00FFFFFF};
    dc.selectBrush(white);
    dc.selectPen(kNullPen);
    dc.rectangle(half);

    // Vertical arm, full height, in the left or right half.
    const int armX = right ? mx : L;
    const int armEnd = right ? R : mx;
    const int armSplit = static_cast<int>(armX + W / 4);
    FillGradientHorizontal(dc, edge, centre, {armX, T, armSplit, B});
    FillGradientHorizontal(dc, centre, edge, {armSplit, T, armEnd, B});
    const Point cutV[] = {{mx, my}, {mx, cornerY}, {cornerX, cornerY}};
    dc.polygon(cutV, 3);

    // Horizontal arm in work surface 1, cleared first so no earlier content can show
    // through the combine. Only the part of the half the target's clip lets through is
    // combined (a half wider than the int range could not be blitted whole); without a
    // work surface a scratch of just that size holds it, everything drawn shifted onto it.
    const Rect shown = half.intersected(dc.clipRect());
    if (shown.isEmpty())
        return;
    Surface scratch;
    Surface* work = dcs.work1;
    int ox = 0, oy = 0; // where the shown part lies in the work surface, relative to the target
    if (!work) {
        scratch.reset(shown.width(), shown.height(), 0x00FFFFFF);
        work = &scratch;
        ox = -shown.left;
        oy = -shown.top;
    }
    const auto at = [&](std::int64_t x, std::int64_t y) { return Point{saturateToInt(x + ox), saturateToInt(y + oy)}; };
    const auto box = [&](std::int64_t l, std::int64_t t, std::int64_t rr, std::int64_t b) {
        return Rect::saturated(l + ox, t + oy, rr + ox, b + oy);
    };
    SurfaceStateGuard workGuard(*work);
    work->fillRect(half.offset(ox, oy), 0x00FFFFFF);
    const int armY = bottom ? my : T;
    const int armBottom = bottom ? B : my;
    const std::int64_t armMid = armY + H / 4;
    FillGradientVertical(*work, edge, centre, box(L, armY, R, armMid));
    FillGradientVertical(*work, centre, edge, box(L, armMid, R, armBottom));
    work->selectBrush(white);
    work->selectPen(kNullPen);
    const Point cutH[] = {at(mx, my), at(cornerX, cornerY), at(cornerX, my)};
    work->polygon(cutH, 3);

    const Rect from = shown.offset(ox, oy);
    dc.bitBlt(shown.left, shown.top, shown.width(), shown.height(), *work, from.left, from.top, RasterOp::SrcAnd);
}

void PaintScale(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext&)
{
    using namespace blocks::scale;
    const Rect r = obj.m_rcPosition.normalized();
    const int orientation = obj.Param(kOrientation);
    const int majors = obj.Param(kMajorCount);
    if (orientation > 3 || majors < 2)
        return; // one major tick has no step between ticks: nothing sensible to draw
    const int N = std::min(majors, kMaxMajorTicks);
    int M = std::clamp(obj.Param(kMinorCount), 0, kMaxMinorTicks);
    if (static_cast<std::int64_t>(N) * (M + 1) > kMaxTickMarks)
        M = static_cast<int>(kMaxTickMarks / N) - 1;
    const bool vertical = orientation <= 1;
    const std::int64_t side = vertical ? r.height64() : r.width64();
    const std::int64_t g = std::clamp<std::int64_t>(obj.Param(kMajorThickness), 0, side);
    const std::int64_t m = std::clamp<std::int64_t>(obj.Param(kMinorThickness), 0, side);
    const ColorRef color = colorAt(obj, kColor);
    Surface& dc = dcs.target;
    const auto fill = [&](std::int64_t l, std::int64_t t, std::int64_t rr, std::int64_t b) {
        dc.fillRect(Rect::saturated(l, t, rr, b), color);
    };
    const std::int64_t L = r.left, T = r.top, R = r.right, B = r.bottom;

    const std::int64_t majorStep = (side - g) / (N - 1);
    const std::int64_t minorStep = majorStep / (M + 1);
    for (int j = 0; j < N; ++j) {
        const bool last = j == N - 1;
        if (vertical) {
            const std::int64_t y = B - j * majorStep;
            fill(L, y - g, R, y);
            if (last)
                continue;
            const std::int64_t x0 = orientation == 0 ? L + r.width64() / 2 : L;
            const std::int64_t x1 = orientation == 0 ? R : L + r.width64() / 2;
            for (int k = 1; k <= M; ++k) {
                const std::int64_t yk = y - k * minorStep;
                fill(x0, yk - m, x1, yk);
            }
        } else {
            const std::int64_t x = L + j * majorStep;
            fill(x, T, x + g, B);
            if (last)
                continue;
            const std::int64_t y0 = orientation == 2 ? T + r.height64() / 2 : T;
            const std::int64_t y1 = orientation == 2 ? B : T + r.height64() / 2;
            for (int k = 1; k <= M; ++k) {
                const std::int64_t xk = x + k * minorStep;
                fill(xk, y0, xk + m, y1);
            }
        }
    }
    if (obj.Param(kBaseLine) == 0)
        return;
    const std::int64_t baseWidth = std::clamp<std::int64_t>(obj.Param(kBaseWidth), 0, r.width64());
    switch (orientation) {
    case 0: fill(R - baseWidth, T + g, R, B); break;
    case 1: fill(L, T + g, L + baseWidth, B); break;
    case 2: fill(L, B - g, R - g, B); break;
    default: fill(L, T, R - g, T + g); break;
    }
}

} // namespace qv
