#pragma once
// Positions on the property pages are relative to the window area of the object's document:
// the page margins plus the window origin. Conversions are done in 64 bits and held to the
// int range, so no stored or typed position can overflow.
#include "platform/surface/geometry.h"

namespace qv {

class CDrawDoc;

struct WindowFrame {
    int x0 = 0;
    int y0 = 0;
    int x1 = 0;
    int y1 = 0;
    std::int64_t width() const { return std::int64_t{x1} - x0; }
    std::int64_t height() const { return std::int64_t{y1} - y0; }
};

// The frame of `doc` (none: the margins alone, an empty window).
WindowFrame WindowFrameOf(int marginX, int marginY, const CDrawDoc* doc);

// Document rectangle to the page's values and back.
Rect ToFrameRect(const Rect& r, const WindowFrame& frame);
Rect FromFrameRect(const Rect& page, const WindowFrame& frame);

// Each edge held into the window by itself: the rectangle shrinks, it is not moved.
Rect ClampToWindow(const Rect& r, const WindowFrame& frame);

// The object's own picture size applied to its position. An axis whose size differs is set
// to it (kept inside the window, moved left or up when it would pass the far edge); a
// picture larger than the window spans the window on that axis and `originalSize` is
// cleared. An unknown size (0 or less) leaves that axis as it is.
Rect FitPictureSize(const Rect& r, const WindowFrame& frame, int pictureWidth, int pictureHeight, bool& originalSize);

} // namespace qv
