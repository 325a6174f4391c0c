#include "app/view/view_painter.h"

#include "app/view/view_geometry.h"
#include "model/document/draw_doc.h"
#include "model/paint/paint_rules.h"

#include <algorithm>

namespace qv {
namespace {

void invertPixel(Surface& dc, int x, int y)
{
    if (!dc.clipRect().contains(x, y))
        return;
    dc.setPixel(x, y, invertColor(dc.getPixel(x, y)));
}

// Fills `r` except where it meets `hole`: the frame's layers are filled side by side, so
// no pixel of a large view is written more than once.
void fillAround(Surface& dc, const Rect& r, const Rect& hole, ColorRef c)
{
    for (const Rect& part : RectsAround(r, hole))
        dc.fillRect(part, c);
}

// The surround, the bezel (a five-pixel black frame around bezel grey) and the paper.
void paintSurroundBezelAndPaper(Surface& paint, const ViewFrame& frame, ColorRef paper)
{
    const Rect device = frame.device.normalized();
    const Rect bezel = BezelRect(frame.device).normalized();
    fillAround(paint, frame.clientInDoc, bezel, kSurroundColor);
    {
        SurfaceStateGuard guard(paint);
        paint.selectPen({PS_INSIDEFRAME, kBezelPenWidth, 0});
        paint.selectBrush(kNullBrush);
        paint.rectangle(bezel);
    }
    fillAround(paint, bezel.deflated(kBezelPenWidth), device, kBezelColor);
    paint.fillRect(device, paper);
}

// A control without a painter (a reserved kind) still shows where it is: its frame, above
// everything painted, in the editor only (the compiler renders through the painters).
void paintUnpaintedControlFrames(Surface& paint, const CDrawDoc& doc)
{
    SurfaceStateGuard guard(paint);
    paint.selectPen({PS_SOLID, 1, kUnpaintedControlFrame});
    paint.selectBrush(kNullBrush);
    for (const auto& obj : doc.m_objects) {
        const KindPaintRule rule = PaintRuleFor(obj->Kind());
        if (rule.pass == PaintPass::Controls && rule.painter == nullptr)
            paint.rectangle(obj->m_rcPosition.normalized());
    }
}

void paintCalibrationCross(Surface& paint, const ViewFrame& frame)
{
    paint.fillRect(frame.device, rgb(255, 255, 255));
    const auto target = CalibrationTarget(*frame.calibrationStep, frame.device, frame.resolution);
    if (!target)
        return;
    SurfaceStateGuard guard(paint);
    paint.selectPen({PS_SOLID, kBezelPenWidth, 0});
    paint.moveTo(target->x - 16, target->y);
    paint.lineTo(target->x + 16, target->y);
    paint.moveTo(target->x, target->y - 16);
    paint.lineTo(target->x, target->y + 16);
}

} // namespace

bool ViewSurfaces::EnsureSize(Size size)
{
    if (size == this->size())
        return false;
    paint.reset(size.cx, size.cy, kSurroundColor);
    work1.reset(size.cx, size.cy, kSurroundColor);
    work2.reset(size.cx, size.cy, kSurroundColor);
    return true;
}

void PaintViewFrame(ViewSurfaces& surfaces, const ViewFrame& frame)
{
    Surface& paint = surfaces.paint;
    // Only the dirty part changes; the painters draw the whole document and the clip keeps
    // the rest of the kept picture as it was. The work surfaces are the painters' scratch:
    // each painter clears what it uses, so they are not filled here.
    paint.setClipRect(frame.dirty);

    if (frame.calibrationStep) {
        paintSurroundBezelAndPaper(paint, frame, rgb(255, 255, 255));
        paintCalibrationCross(paint, frame);
    } else if (frame.drawScreen && !frame.documents.empty()) {
        paintSurroundBezelAndPaper(paint, frame, frame.documents.front()->m_paperColor);
        for (CDrawDoc* doc : frame.documents) {
            PaintAll(doc->m_objects, surfaces.surfaces(), frame.context, frame.isSelected, frame.reaches);
            paintUnpaintedControlFrames(paint, *doc);
        }
    } else {
        paint.fillRect(frame.clientInDoc, kSurroundColor);
    }
    if (frame.rubberBand)
        DrawFocusRect(paint, *frame.rubberBand);
    paint.resetClip();
}

void DrawFocusRect(Surface& dc, const Rect& r)
{
    const Rect n = r.normalized();
    if (n.isEmpty())
        return;
    const auto dotted = [](int x, int y) { return ((static_cast<long long>(x) + y) & 1) == 0; };
    // Walk only the part inside the clip: a band may reach far outside the surface.
    const Rect& clip = dc.clipRect();
    for (int x = std::max(n.left, clip.left); x < std::min(n.right, clip.right); ++x) {
        if (dotted(x, n.top))
            invertPixel(dc, x, n.top);
        if (n.bottom - 1 != n.top && dotted(x, n.bottom - 1))
            invertPixel(dc, x, n.bottom - 1);
    }
    for (int y = std::max(n.top + 1, clip.top); y < std::min(n.bottom - 1, clip.bottom); ++y) {
        if (dotted(n.left, y))
            invertPixel(dc, n.left, y);
        if (n.right - 1 != n.left && dotted(n.right - 1, y))
            invertPixel(dc, n.right - 1, y);
    }
}

} // namespace qv
