#pragma once
// Surface: our own raster device context. 32-bit pixels, COLORREF colours at the edges,
// a clip rectangle and the state the painters carry (pen, brush, font, text and background
// colour, background mode, current position). Integer-only and aliased, so the editor, the
// simulator and the compiler get the same pixels on any thread. The primitives follow the
// platform's pixel rules; each one says which pixels it covers.
#include "platform/surface/color.h"
#include "platform/surface/gdi.h"
#include "platform/surface/geometry.h"
#include "platform/surface/shape_spans.h"

#include <algorithm>
#include <cstdint>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

namespace qv {

enum class RasterOp { SrcCopy, SrcAnd };

class Surface {
public:
    Surface() = default;
    Surface(int width, int height, ColorRef fill = 0x00FFFFFF);

    int width() const { return width_; }
    int height() const { return height_; }
    Rect bounds() const { return {0, 0, width_, height_}; }
    bool isNull() const { return width_ <= 0 || height_ <= 0; }

    // Raw 0xFFRRGGBB words, row-major, `width()` per row (what a QImage RGB32 wraps).
    std::uint32_t* bits() { return pixels_.data(); }
    const std::uint32_t* bits() const { return pixels_.data(); }
    int bytesPerLine() const { return width_ * 4; }

    // Resizes and fills; drops the clip.
    void reset(int width, int height, ColorRef fill = 0x00FFFFFF);
    void clear(ColorRef fill);

    // --- clipping: every drawing call is limited to the clip rectangle -------------------
    void setClipRect(const Rect& r) { clip_ = r.normalized().intersected(bounds()); }
    void resetClip() { clip_ = bounds(); }
    const Rect& clipRect() const { return clip_; }

    // --- state ----------------------------------------------------------------------------
    Pen selectPen(const Pen& p);       // returns the pen it replaces
    Brush selectBrush(const Brush& b);
    LogFont selectFont(const LogFont& f);
    const Pen& pen() const { return pen_; }
    const Brush& brush() const { return brush_; }
    const LogFont& font() const { return font_; }
    ColorRef setTextColor(ColorRef c);
    ColorRef setBkColor(ColorRef c);
    int setBkMode(int mode);
    unsigned setTextAlign(unsigned align);
    ColorRef textColor() const { return textColor_; }
    ColorRef bkColor() const { return bkColor_; }
    int bkMode() const { return bkMode_; }

    // --- pixels ---------------------------------------------------------------------------
    ColorRef getPixel(int x, int y) const;            // kInvalidColor outside the surface
    void setPixel(int x, int y, ColorRef c);           // clipped
    std::uint32_t rawPixel(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }

    // [left, right) x [top, bottom) of the normalised rectangle in one colour.
    void fillRect(const Rect& r, ColorRef c);
    void fillRect(const Rect& r, const Brush& b);      // a null brush fills nothing
    // Every row of [left, right) x [top, bottom) (normalised) gets the same pixels: column x
    // takes row[x - left]; columns past the row's end are not written. Rows of vertical
    // bands in one copy each.
    void fillRows(const Rect& r, std::span<const std::uint32_t> row);
    // Inverts every pixel (DSTINVERT).
    void patBltInvert(const Rect& r);
    // Draw3dRect: top and left edges in `topLeft` (without the top-right and bottom-left
    // corners), right and bottom edges in `bottomRight`.
    void draw3dRect(const Rect& r, ColorRef topLeft, ColorRef bottomRight);

    // --- shapes with the selected pen and brush --------------------------------------------
    // With a pen of width w the outline covers the w pixels inside [l, r) x [t, b)
    // (PS_INSIDEFRAME, and every one-pixel pen), or a band of w pixels centred on that edge
    // for wider pens of other styles; the brush fills what lies inside the outline. With a
    // null pen the fill covers [l, r - 1) x [t, b - 1).
    void rectangle(const Rect& r);
    void roundRect(const Rect& r, int ellipseW, int ellipseH);
    void ellipse(const Rect& r);
    // Filled with the alternate rule, outlined with the pen (closed).
    void polygon(const Point* pts, int count);
    void polygon(const std::vector<Point>& pts) { polygon(pts.data(), static_cast<int>(pts.size())); }

    // Lines with the selected pen; a one-pixel pen leaves out the last pixel, a wider pen has
    // round caps at both ends.
    Point moveTo(int x, int y);
    void lineTo(int x, int y);
    Point currentPosition() const { return pos_; }
    void polyline(const Point* pts, int count);

    // --- blits ----------------------------------------------------------------------------
    void bitBlt(int dx, int dy, int w, int h, const Surface& src, int sx, int sy, RasterOp op = RasterOp::SrcCopy);
    // Nearest-neighbour stretch; a negative width or height mirrors.
    void stretchBlt(const Rect& dst, const Surface& src, const Rect& srcRect);
    // Stretch like stretchBlt, copying only pixels whose colour differs from `key`.
    void transparentBlt(const Rect& dst, const Surface& src, const Rect& srcRect, ColorRef key);

    // --- text (glyphs from pinned font files, mono) ------------------------------------------
    // Draws GBK text at (x, y) by the text alignment; background box in OPAQUE mode.
    void textOut(int x, int y, std::string_view gbk);
    // Lays out GBK text in the rectangle by the DT_ flags; returns the height of the text.
    // With DT_CALCRECT nothing is drawn and `r` receives the extent.
    int drawText(std::string_view gbk, Rect& r, unsigned format);
    int drawText(std::string_view gbk, const Rect& r, unsigned format)
    {
        Rect copy = r;
        return drawText(gbk, copy, format);
    }
    Size textExtent(std::string_view gbk) const;       // one line; height is the cell height

    // Internal fast paths for the shape code.
    void fillSpan(int y, int x0, int x1, std::uint32_t pixel)    // inclusive, clipped
    {
        if (y < clip_.top || y >= clip_.bottom)
            return;
        x0 = std::max(x0, clip_.left);
        x1 = std::min(x1, clip_.right - 1);
        if (x0 > x1)
            return;
        std::uint32_t* row = pixels_.data() + static_cast<std::size_t>(y) * width_;
        std::fill(row + x0, row + x1 + 1, pixel);
    }
    void plot(int x, int y, std::uint32_t pixel)
    {
        if (clip_.contains(x, y))
            pixels_[static_cast<std::size_t>(y) * width_ + x] = pixel;
    }

private:
    std::pair<int, int> clippedRows(const Rect& box) const; // [first, end) rows of box inside the clip
    void drawRoundedShape(const RoundedBox& shape);
    void drawLineSegment(Point a, Point b, bool includeLast);
    void strokeWideSegment(Point a, Point b, int w, std::uint32_t penPx);
    void drawTextLine(std::int64_t x, std::int64_t top, std::u32string_view line, const Rect* clip);

    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
    Rect clip_;

    Pen pen_{PS_SOLID, 1, 0};
    Brush brush_{BS_SOLID, 0x00FFFFFF};
    LogFont font_{};
    ColorRef textColor_ = 0;
    ColorRef bkColor_ = 0x00FFFFFF;
    int bkMode_ = OPAQUE;
    unsigned textAlign_ = TA_LEFT | TA_TOP;
    Point pos_{};
    int dashPhase_ = 0;
};

} // namespace qv
