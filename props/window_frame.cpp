#include "props/window_frame.h"

#include "model/document/draw_doc.h"

#include <algorithm>

namespace qv {

WindowFrame WindowFrameOf(int marginX, int marginY, const CDrawDoc* doc)
{
    std::int64_t x0 = marginX;
    std::int64_t y0 = marginY;
    std::int64_t w = 0;
    std::int64_t h = 0;
    if (doc) {
        x0 += doc->m_ptWindowOrigin.x;
        y0 += doc->m_ptWindowOrigin.y;
        w = std::max<std::int64_t>(doc->m_nWindowWidth, 0);
        h = std::max<std::int64_t>(doc->m_nWindowHeight, 0);
    }
    return {saturateToInt(x0), saturateToInt(y0), saturateToInt(x0 + w), saturateToInt(y0 + h)};
}

Rect ToFrameRect(const Rect& r, const WindowFrame& f)
{
    return Rect::saturated(std::int64_t{r.left} - f.x0, std::int64_t{r.top} - f.y0, std::int64_t{r.right} - f.x0,
                           std::int64_t{r.bottom} - f.y0);
}

Rect FromFrameRect(const Rect& p, const WindowFrame& f)
{
    return Rect::saturated(std::int64_t{p.left} + f.x0, std::int64_t{p.top} + f.y0, std::int64_t{p.right} + f.x0,
                           std::int64_t{p.bottom} + f.y0);
}

Rect ClampToWindow(const Rect& in, const WindowFrame& f)
{
    Rect r = in;
    r.top = std::min(r.top, f.y1);
    r.bottom = std::min(r.bottom, f.y1);
    r.left = std::min(r.left, f.x1);
    r.right = std::min(r.right, f.x1);
    r.left = std::max(r.left, f.x0);
    r.right = std::max(r.right, f.x0);
    r.top = std::max(r.top, f.y0);
    r.bottom = std::max(r.bottom, f.y0);
    return r;
}

namespace {

// One axis of FitPictureSize: [lo, hi] within [f0, f1].
void fitAxis(int& lo, int& hi, int f0, int f1, int size, bool& originalSize)
{
    if (size <= 0 || std::int64_t{hi} - lo == size)
        return;
    if (size > std::int64_t{f1} - f0) {
        lo = f0;
        hi = f1;
        originalSize = false;
        return;
    }
    const std::int64_t end = std::int64_t{lo} + size;
    if (end > f1) {
        hi = f1;
        lo = saturateToInt(std::int64_t{f1} - size);
    } else {
        hi = saturateToInt(end);
    }
}

} // namespace

Rect FitPictureSize(const Rect& in, const WindowFrame& f, int pictureWidth, int pictureHeight, bool& originalSize)
{
    Rect r = in;
    fitAxis(r.left, r.right, f.x0, f.x1, pictureWidth, originalSize);
    fitAxis(r.top, r.bottom, f.y0, f.y1, pictureHeight, originalSize);
    return r;
}

} // namespace qv
