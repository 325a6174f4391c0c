#pragma once
// Painters of the drawn shapes and the decorative kinds (painted in pass 0, under every
// control). Each takes the object, the surfaces and the context; the dispatch has already
// selected the object's pen and brush into the target.
#include "model/paint/paint_context.h"
#include "model/params/blocks/shape_block.h"
#include "model/shape/draw_obj.h"

namespace qv {

void PaintRectangle(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx);
void PaintRoundRect(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx);
void PaintEllipse(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx);
void PaintLine(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx);
void PaintCircleShape(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx);
void PaintPictureShape(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx);
void PaintTextShape(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx);
void PaintPipe(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx);
void PaintPipeJoint(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx);
void PaintScale(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx);

// The circle inscribed in a rectangle (centred along its longer side), with the selected
// pen and brush; the radio button uses it too.
void PaintCircle(Surface& dc, int left, int top, int right, int bottom);

// The line's end points pulled in by half the pen width, keeping its direction.
std::pair<Point, Point> LineEndPoints(const Rect& position, int penWidthX, int penWidthY);

} // namespace qv
