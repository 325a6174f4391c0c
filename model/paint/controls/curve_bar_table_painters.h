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

namespace curve_block {
inline constexpr int kLabelColor = 0, kGridColor = 4, kBackColor = 8, kGridWidth = 12, kTransparent = 16,
                     kNoGrid = 20, kVerticalDivisions = 24, kHorizontalDivisions = 28, kNoLabels = 32,
                     kTopValue = 36, kLabelDecimals = 40, kLabelCount = 44, kBottomValue = 48,
                     kBottomMargin = 52, kLeftMargin = 56, kLargestSize = 60;
// 16-bit fields the painter writes for the compiler.
inline constexpr int kPlotLeft = 64, kPlotBottom = 66, kPlotWidth = 68, kPlotHeight = 70;
inline constexpr int kPointCount = 76, kCurveCount = 80, kRecordBase = 84, kRecordSize = 12;
// Within a record.
inline constexpr int kRecordIndex = 0, kRecordColor = 4, kRecordStyle = 8, kRecordSizeField = 10;
inline constexpr int kHideOption = 853, kHideIndex = 860, kHideType = 865, kHideAddress = 872;
inline constexpr int kOrderFlagA = 876, kOrderFlagB = 880, kHideBit = 916, kDropOutOfRange = 948;
enum CurveStyle : int { kPolyline = 0, kDots = 1, kBars = 2 };
} // namespace curve_block

namespace progress_block {
inline constexpr int kPictureBack = 0, kNoBack = 4, kGradientFrom = 8, kGradientTo = 12, kGradientDirection = 16,
                     kBarColor = 20, kBarDirection = 24, kValueIndex = 28, kValueAddress = 32, kValueType = 36,
                     kMaximum = 40, kMinimum = 44, kHideOption = 49, kHideIndex = 56, kHideType = 61,
                     kHideAddress = 68, kReverse = 72, kHideBit = 120;
enum BarDirection : int { kUp = 0, kDown = 1, kRight = 2, kLeft = 3 };
} // namespace progress_block

} // namespace qv
