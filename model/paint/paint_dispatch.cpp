#include "model/paint/paint_dispatch.h"

#include "model/paint/controls/button_painter.h"
#include "model/paint/controls/number_painters.h"
#include "model/paint/controls/curve_bar_table_painters.h"
#include "model/paint/controls/character_painters.h"
#include "model/paint/controls/state_picture_painters.h"
#include "model/paint/paint_rules.h"
#include "model/paint/shape_painters.h"

#include <array>
#include <string>

namespace qv {
namespace {

constexpr KindPaintRule shape(KindPainter p) { return {PaintPass::Shapes, false, p}; }
constexpr KindPaintRule boxedShape(KindPainter p) { return {PaintPass::Shapes, false, p, true}; }
constexpr KindPaintRule control(KindPainter p = nullptr) { return {PaintPass::Controls, true, p}; }

std::array<KindPaintRule, kKindCount>& rules()
{
    static std::array<KindPaintRule, kKindCount> table = {{
        boxedShape(PaintRectangle),    // 0 rectangle
        boxedShape(PaintRoundRect),    // 1 round rectangle
        boxedShape(PaintEllipse),      // 2 ellipse
        boxedShape(PaintLine),         // 3 line
        boxedShape(PaintCircleShape),  // 4 circle
        boxedShape(PaintPictureShape), // 5 picture
        boxedShape(PaintTextShape),    // 6 text
        control(PaintButton),       // 7 button
        control(PaintDynamicPicture), // 8 dynamic picture
        control(PaintRealTimeData), // 9 real-time number
        control(PaintNumericInput), // 10 numeric input
        control(PaintCurve),        // 11 curve
        control(PaintIndicator),    // 12 indicator light
        boxedShape(PaintPipeJoint),    // 13 pipe joint
        boxedShape(PaintPipe),         // 14 pipe
        shape(PaintScale),          // 15 scale: thick minor ticks may overhang the box
        control(),                  // 16 reserved
        control(),                  // 17 reserved
        control(),                  // 18 reserved
        control(),                  // 19 reserved
        control(PaintBitSwitch),    // 20 bit switch
        control(),                  // 21 reserved
        control(PaintRadioButton),  // 22 radio button
        control(PaintProgressBar),  // 23 progress bar
        boxedShape(PaintTable),        // 24 table
        control(PaintCharacter),    // 25 character control
        control(PaintArea),         // 26 area control
    }};
    return table;
}

bool passAllows(PaintPass kindPass, int pass)
{
    switch (kindPass) {
    case PaintPass::Shapes: return pass != 1;
    case PaintPass::Controls: return pass != 0;
    default: return false;
    }
}

} // namespace

KindPaintRule PaintRuleFor(ShapeKind kind)
{
    if (!IsKnownKind(kind))
        return {PaintPass::Never, false, nullptr};
    return rules()[static_cast<std::size_t>(kind)];
}

void SetKindPainter(ShapeKind kind, KindPainter painter)
{
    if (IsKnownKind(kind) && !kShapeKinds[static_cast<std::size_t>(kind)].reserved)
        rules()[static_cast<std::size_t>(kind)].painter = painter;
}

void PaintObject(CDrawObj& obj, const PaintSurfaces& dcs, int pass, const PaintContext& ctx)
{
    const auto brush = brushFromRecord(obj.m_brushInfo);
    const auto pen = penFromRecord(obj.m_penInfo);
    if (!brush || !pen)
        return;
    const KindPaintRule rule = PaintRuleFor(obj.Kind());
    if (rule.control)
        obj.m_bControl = 1;
    if (!passAllows(rule.pass, pass) || !rule.painter)
        return;
    SurfaceStateGuard guard(dcs.target);
    dcs.target.selectBrush(obj.m_bHasBrush ? *brush : kNullBrush);
    dcs.target.selectPen(obj.m_bHasPen ? *pen : kNullPen);
    rule.painter(obj, dcs, ctx);
}

void PaintPlain(CDrawObj& obj, Surface& dc)
{
    const auto brush = brushFromRecord(obj.m_brushInfo);
    const auto pen = penFromRecord(obj.m_penInfo);
    if (!brush || !pen || obj.Kind() < ShapeKind::Rectangle || obj.Kind() > ShapeKind::Circle)
        return;
    SurfaceStateGuard guard(dc);
    dc.selectBrush(obj.m_bHasBrush ? *brush : kNullBrush);
    dc.selectPen(obj.m_bHasPen ? *pen : kNullPen);
    const Rect& p = obj.m_rcPosition;
    switch (obj.Kind()) {
    case ShapeKind::Rectangle: dc.rectangle(p); break;
    case ShapeKind::RoundRect: dc.roundRect(p, obj.m_cornerSize.cx, obj.m_cornerSize.cy); break;
    case ShapeKind::Ellipse: dc.ellipse(p); break;
    case ShapeKind::Line: {
        const auto [a, b] = LineEndPoints(p, obj.m_penInfo.widthX, obj.m_penInfo.widthY);
        dc.moveTo(a.x, a.y);
        dc.lineTo(b.x, b.y);
        break;
    }
    default: PaintCircle(dc, p.left, p.top, p.right, p.bottom); break;
    }
}

void PaintControlNumber(const CDrawObj& obj, Surface& dc, int number)
{
    SurfaceStateGuard guard(dc);
    const int x = std::min(obj.m_rcPosition.left, obj.m_rcPosition.right);
    const int y = std::min(obj.m_rcPosition.top, obj.m_rcPosition.bottom);
    const Rect box{x - 32, y - 20, x, y};
    dc.selectBrush({BS_SOLID, 0x00FFFFFF});
    dc.selectPen({PS_INSIDEFRAME, 1, 0});
    dc.rectangle(box);
    LogFont font;
    font.lfHeight = 16;
    font.lfWidth = 8;
    font.lfWeight = 400;
    font.lfCharSet = 134;
    dc.selectFont(font);
    dc.setBkMode(TRANSPARENT);
    dc.setTextColor(0x0000FF);
    dc.drawText(std::to_string(number), box, DT_CENTER);
}

void PaintHandles(const CDrawObj& obj, Surface& dc, int state)
{
    if (state != 1 && state != 2)
        return;
    const int count = obj.CountHandles();
    for (int h = 1; h <= count; ++h) {
        const Point p = obj.HandlePoint(h);
        dc.patBltInvert({p.x - 3, p.y - 3, p.x + 4, p.y + 4});
    }
}

void PaintAll(std::span<const std::unique_ptr<CDrawObj>> objects, const PaintSurfaces& dcs, const PaintContext& ctx,
              const SelectionTest& isSelected, const ReachTest& reaches)
{
    // A kind that stays in its box sets no flag in either pass: leaving it out skips only
    // its pixels, its handles and its number (the count still includes it).
    const auto shows = [&](const CDrawObj& obj) {
        return !reaches || !PaintRuleFor(obj.Kind()).staysInBox || reaches(obj);
    };
    for (const auto& obj : objects) {
        if (!shows(*obj))
            continue;
        PaintObject(*obj, dcs, 0, ctx);
        if (isSelected && !obj->IsControl() && isSelected(*obj))
            PaintHandles(*obj, dcs.target, 1);
    }
    int number = 0;
    for (const auto& obj : objects) {
        const bool drawn = shows(*obj);
        if (drawn)
            PaintObject(*obj, dcs, 1, ctx);
        if (!obj->IsControl())
            continue;
        if (drawn && ctx.showControlNumbers)
            PaintControlNumber(*obj, dcs.target, number);
        ++number;
        if (drawn && isSelected && isSelected(*obj))
            PaintHandles(*obj, dcs.target, 1);
    }
}

void PaintAllOnce(std::span<const std::unique_ptr<CDrawObj>> objects, const PaintSurfaces& dcs, const PaintContext& ctx)
{
    for (const auto& obj : objects)
        PaintObject(*obj, dcs, 0, ctx);
}

} // namespace qv
