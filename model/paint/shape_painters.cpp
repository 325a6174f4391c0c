#include "model/paint/shape_painters.h"

#include "model/paint/paint_rules.h"

#include <algorithm>

namespace qv {

void PaintRectangle(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext&)
{
    using namespace blocks::rectangle;
    Surface& dc = dcs.target;
    SurfaceStateGuard guard(dc);
    Rect r = obj.m_rcPosition.normalized();
    const int border = std::max(0, obj.Param(kBorderWidth));
    const ColorRef borderColor = static_cast<ColorRef>(obj.Param(kBorderColor)) & 0x00FFFFFF;
    dc.selectBrush(obj.Param(kTransparent) != 0 ? kNullBrush
                                                   : Brush{BS_SOLID, static_cast<ColorRef>(obj.Param(kFillColor)) & 0x00FFFFFF});
    dc.selectPen(border == 0 ? kNullPen : Pen{PS_INSIDEFRAME, border, borderColor});
    dc.rectangle(r);
    if (border > 0 && obj.Param(kBorder3dWord) == 1)
        DrawRings3d(dc, r, border, borderColor);
}

void PaintRoundRect(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext&)
{
    dcs.target.roundRect(obj.m_rcPosition, obj.m_cornerSize.cx, obj.m_cornerSize.cy);
}

void PaintEllipse(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext&)
{
    dcs.target.ellipse(obj.m_rcPosition);
}

std::pair<Point, Point> LineEndPoints(const Rect& p, int wx, int wy)
{
    Point a{p.left, p.top}, b{p.right, p.bottom};
    if (p.top <= p.bottom) {
        a.y += (wy + 1) / 2;
        b.y -= wy / 2;
    } else {
        a.y -= wy / 2;
        b.y += (wy + 1) / 2;
    }
    if (p.left <= p.right) {
        a.x += (wx + 1) / 2;
        b.x -= wx / 2;
    } else {
        a.x -= wx / 2;
        b.x += (wx + 1) / 2;
    }
    return {a, b};
}

void PaintLine(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext&)
{
    const auto [a, b] = LineEndPoints(obj.m_rcPosition, obj.m_penInfo.widthX, obj.m_penInfo.widthY);
    dcs.target.moveTo(a.x, a.y);
    dcs.target.lineTo(b.x, b.y);
}

void PaintCircle(Surface& dc, int left, int top, int right, int bottom)
{
    const Rect r = Rect{left, top, right, bottom}.normalized();
    const int w = r.width(), h = r.height();
    if (h >= w)
        dc.ellipse({r.left, r.top + (h - w) / 2, r.right, r.top + (h - w) / 2 + w});
    else
        dc.ellipse({r.left + (w - h) / 2, r.top, r.left + (w - h) / 2 + h, r.bottom});
}

void PaintCircleShape(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext&)
{
    const Rect& p = obj.m_rcPosition;
    PaintCircle(dcs.target, p.left, p.top, p.right, p.bottom);
}

void PaintPictureShape(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx)
{
    if (obj.m_strFiles.empty())
        return;
    PaintPictureByRule(ctx, dcs, obj.m_strFiles.front(), obj.m_rcPosition.normalized(), obj.m_bTransparent != 0,
                       obj.m_clrTransparent & 0x00FFFFFF);
}

void PaintTextShape(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext&)
{
    Surface& dc = dcs.target;
    SurfaceStateGuard guard(dc);
    const Rect r = obj.m_rcPosition.normalized();
    const ColorRef brushColor = obj.m_brushInfo.color & 0x00FFFFFF;
    if (obj.m_bTransparent == 0) {
        dc.selectPen({PS_INSIDEFRAME, 0, brushColor});
        dc.rectangle(r);
    }
    dc.selectFont(obj.m_logfont);
    if (obj.m_bTransparent != 0) {
        dc.setBkMode(TRANSPARENT);
    } else {
        dc.setBkMode(OPAQUE);
        dc.setBkColor(brushColor);
    }
    dc.setTextColor(obj.m_penInfo.color & 0x00FFFFFF);
    dc.drawText(obj.m_strName, r, DT_EDITCONTROL);
}

} // namespace qv
