#pragma once
// The editing view's geometry, free of any widget: where the device screen and the window
// area of a document lie, how big the paint buffers are, how rectangles are kept inside the
// window area, which client rectangle a repaint of an object needs, and the shift of a
// document saved with other page margins. All results saturate at the int range, so object
// positions read from any file cannot overflow here.
#include "platform/surface/geometry.h"

#include <array>
#include <optional>

namespace qv {

class CDrawDoc;

// The device screen: at the page margins, the size of the project resolution.
Rect DeviceRect(Point margins, Size resolution);

// The bezel around the device screen: 25 pixels left, top and right, 50 below.
Rect BezelRect(const Rect& device);

// The area new objects may start in and edited objects are kept in: the page margins plus
// the document's window origin, with the document's window width and height.
Rect WindowArea(const CDrawDoc& doc, Point margins);

// Paint buffers cover what a view can show of the document: the device with its bezel at the
// page margins, or the desktop when that is larger. The scroll range beyond the bezel holds
// only the surround, which the view fills without a buffer.
Size PaintBufferSize(Size resolution, Point margins, Size desktop);

// Left and top inclusive, right and bottom exclusive.
bool IsInWindowArea(const Rect& window, Point p);

// Each edge clamped on its own: bottom, then top, into [window.top, window.bottom]; left and
// right into [window.left, window.right]. The rectangle may shrink.
Rect ClampRectToWindow(const Rect& r, const Rect& window);

// Pushes `r` back inside the window keeping the size of `sizeFrom` (|right - left| by
// |bottom - top|): bottom limit, right limit, left limit, top limit in that order, so a
// rectangle larger than the window ends at the left and top limits.
Rect KeepRectInWindow(const Rect& r, const Rect& sizeFrom, const Rect& window);

// The client rectangle to repaint for an object at `clientRect` (already in client
// coordinates): the normalised rectangle, with room for the handles when `withHandles`, for
// a centred pen band `penWidth` wide and, when `controlNumber`, for the number box left of
// and above the object; then one pixel more on every side.
Rect ObjectRepaintRect(const Rect& clientRect, bool withHandles, int penWidth, bool controlNumber);

// The parts of `r` outside `hole`: above, below, left and right of it (any may be empty).
// `r` itself when the two do not meet; nothing when `r` is empty or inverted.
std::array<Rect, 4> RectsAround(const Rect& r, const Rect& hole);

// The rectangle from `a` to `b`, normalised (the rubber band).
Rect RectBetween(Point a, Point b);

// Moves every object of `doc`, and of every undo snapshot, by (margins - stored origin) and
// stores the margins as the new origin. False (nothing moved) when they already agree.
bool RebaseObjects(CDrawDoc& doc, Point margins);

// Target of a touch-calibration step inside the device rectangle (steps 0..3: the four
// corners at a tenth of the resolution), or nullopt for any other step.
std::optional<Point> CalibrationTarget(int step, const Rect& device, Size resolution);

} // namespace qv
