#pragma once
// Exact integer tests of a query rectangle against the region of a round shape or a line.
// A region holds a pixel when the pixel's centre lies inside the shape; a query rectangle
// covers the pixels [left, right) x [top, bottom). Both rectangles must be normalised.
#include "platform/surface/geometry.h"

namespace qv::region {

// Rectangle `shape` with its corners rounded by an ellipse of `corner` (width, height),
// each cut to the shape's size; an ellipse is the round rectangle whose corner is the shape.
bool RoundRectMeets(const Rect& shape, Size corner, const Rect& query);
bool EllipseMeets(const Rect& shape, const Rect& query);

// The band around the segment a-b: every point within halfX horizontally and halfY
// vertically of some point of the segment (never empty, whatever the direction).
bool LineBandMeets(Point a, Point b, int halfX, int halfY, const Rect& query);

} // namespace qv::region
