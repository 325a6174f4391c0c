// Pipe, pipe joint and scale: decorative kinds painted with the shapes.
#include "model/paint/gradient.h"
#include "model/paint/paint_rules.h"
#include "model/paint/shape_painters.h"

#include <algorithm>
#include <array>

namespace qv {
namespace {

ColorRef colorAt(const CDrawObj& obj, int offset)
{
    return static_cast<ColorRef>(obj.ParamI32(offset)) & 0x00FFFFFF;
}

// Ticks come from the file: a scale never draws more marks than this.
constexpr int kMaxMajorTicks = 1024;
constexpr int kMaxMinorTicks = 1024;
constexpr std::int64_t kMaxTickMarks = 1 << 16;

} // namespace

void PaintPipe(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext&)
{
    using namespace pipe_block;
    const Rect r = obj.m_rcPosition.normalized();
    const ColorRef edge = colorAt(obj, kEdgeColor), centre = colorAt(obj, kCentreColor);
    if (obj.ParamI32(kOrientation) == 0) {
        const int mid = r.top + r.height() / 2;
        FillGradientVertical(dcs.target, edge, centre, {r.left, r.top, r.right, mid});
        FillGradientVertical(dcs.target, centre, edge, {r.left, mid, r.right, r.bottom});
    } else {
        const int mid = r.left + r.width() / 2;
        FillGradientHorizontal(dcs.target, edge, centre, {r.left, r.top, mid, r.bottom});
        FillGradientHorizontal(dcs.target, centre, edge, {mid, r.top, r.right, r.bottom});
    }
}

void PaintPipeJoint(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext&)
{
    using namespace pipe_block;
    const int corner = obj.ParamI32(kOrientation);
    if (corner < 0 || corner > 3)
        return;
    const Rect r = obj.m_rcPosition.normalized();
    const int L = r.left, T = r.top, R = r.right, B = r.bottom;
    const int W = r.width(), H = r.height();
    const int mx = L + W / 2, my = T + H / 2;
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
    FillGradientHorizontal(dc, edge, centre, {armX, T, armX + W / 4, B});
    FillGradientHorizontal(dc, centre, edge, {armX + W / 4, T, armEnd, B});
    const Point cutV[] = {{mx, my}, {mx, cornerY}, {cornerX, cornerY}};
    dc.polygon(cutV, 3);

    // Horizontal arm in work surface 1 (a scratch surface when the caller has none), cleared
    // first so no earlier content can show through the combine.
    Surface scratch;
    Surface* work = dcs.work1;
    int ox = 0, oy = 0; // where the half lies in the work surface, relative to its place on the target
    if (!work) {
        scratch.reset(std::max(0, half.width()), std::max(0, half.height()), 0x00FFFFFF);
        work = &scratch;
        ox = -half.left;
        oy = -half.top;
    }
    SurfaceStateGuard workGuard(*work);
    const Rect wHalf = half.offset(ox, oy);
    work->fillRect(wHalf, 0x00FFFFFF);
    const int armY = (bottom ? my : T) + oy;
    const int armBottom = (bottom ? B : my) + oy;
    FillGradientVertical(*work, edge, centre, {L + ox, armY, R + ox, armY + H / 4});
    FillGradientVertical(*work, centre, edge, {L + ox, armY + H / 4, R + ox, armBottom});
    work->selectBrush(white);
    work->selectPen(kNullPen);
    const Point cutH[] = {{mx + ox, my + oy}, {cornerX + ox, cornerY + oy}, {cornerX + ox, my + oy}};
    work->polygon(cutH, 3);

    dc.bitBlt(half.left, half.top, half.width(), half.height(), *work, wHalf.left, wHalf.top, RasterOp::SrcAnd);
}

void PaintScale(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext&)
{
    using namespace scale_block;
    const Rect r = obj.m_rcPosition.normalized();
    const int orientation = obj.ParamU8(kOrientation);
    const int majors = obj.ParamI32(kMajorCount);
    if (orientation > 3 || majors < 2)
        return; // one major tick has no step between ticks: nothing sensible to draw
    const int N = std::min(majors, kMaxMajorTicks);
    int M = std::clamp(obj.ParamI32(kMinorCount), 0, kMaxMinorTicks);
    if (static_cast<std::int64_t>(N) * (M + 1) > kMaxTickMarks)
        M = static_cast<int>(kMaxTickMarks / N) - 1;
    const bool vertical = orientation <= 1;
    const int side = vertical ? r.height() : r.width();
    const int g = std::clamp(obj.ParamI32(kMajorThickness), 0, std::max(side, 0));
    const int m = std::clamp(obj.ParamI32(kMinorThickness), 0, std::max(side, 0));
    const ColorRef color = colorAt(obj, kColor);
    Surface& dc = dcs.target;

    const int majorStep = (side - g) / (N - 1);
    const int minorStep = majorStep / (M + 1);
    for (int j = 0; j < N; ++j) {
        const bool last = j == N - 1;
        if (vertical) {
            const int y = r.bottom - j * majorStep;
            dc.fillRect({r.left, y - g, r.right, y}, color);
            if (last)
                continue;
            const int x0 = orientation == 0 ? r.left + r.width() / 2 : r.left;
            const int x1 = orientation == 0 ? r.right : r.left + r.width() / 2;
            for (int k = 1; k <= M; ++k) {
                const int yk = y - k * minorStep;
                dc.fillRect({x0, yk - m, x1, yk}, color);
            }
        } else {
            const int x = r.left + j * majorStep;
            dc.fillRect({x, r.top, x + g, r.bottom}, color);
            if (last)
                continue;
            const int y0 = orientation == 2 ? r.top + r.height() / 2 : r.top;
            const int y1 = orientation == 2 ? r.bottom : r.top + r.height() / 2;
            for (int k = 1; k <= M; ++k) {
                const int xk = x + k * minorStep;
                dc.fillRect({xk, y0, xk + m, y1}, color);
            }
        }
    }
    if (obj.ParamI32(kBaseLine) == 0)
        return;
    const int baseWidth = std::clamp(obj.ParamI32(kBaseWidth), 0, std::max(r.width(), 0));
    switch (orientation) {
    case 0: dc.fillRect({r.right - baseWidth, r.top + g, r.right, r.bottom}, color); break;
    case 1: dc.fillRect({r.left, r.top + g, r.left + baseWidth, r.bottom}, color); break;
    case 2: dc.fillRect({r.left, r.bottom - g, r.right - g, r.bottom}, color); break;
    default: dc.fillRect({r.left, r.top, r.right - g, r.top + g}, color); break;
    }
}

} // namespace qv
