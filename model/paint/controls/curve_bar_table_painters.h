#pragma once
// Painters of the curve (kind 11), the progress bar (kind 23) and the table (kind 24), and
// the block fields they read. The dispatch has already selected the object's pen and brush.
// The curve and the progress bar draw their data only when a second work surface is given:
// the compiler passes none, so the device image holds only their frame and background.
#include "model/paint/paint_context.h"
#include "model/shape/draw_obj.h"

#include <cstdint>
#include <string>

namespace qv {

void PaintCurve(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx);
void PaintProgressBar(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx);
void PaintTable(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx);

// The plain decimal text of a curve label value with `decimals` fraction digits ("-12.50");
// its length sets the width of the label column.
std::string FormatCurveValue(std::int64_t value, int decimals);


} // namespace qv
