#include "platform/surface/surface.h"

#include "platform/surface/stretch_map.h"

#include "platform/text/gbk.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace qv {

std::string LogFont::faceName() const
{
    const auto end = std::find(lfFaceName.begin(), lfFaceName.end(), '\0');
    return std::string(lfFaceName.begin(), end);
}

void LogFont::setFaceName(const std::string& gbk)
{
    lfFaceName.fill('\0');
    std::size_t n = 0;
    while (n < gbk.size()) {
        const std::size_t len = gbkCharLength(gbk, n);
        if (n + len > lfFaceName.size() - 1)
            break;
        n += len;
    }
    std::memcpy(lfFaceName.data(), gbk.data(), n);
}

Surface::Surface(int width, int height, ColorRef fill)
{
    reset(width, height, fill);
}

void Surface::reset(int width, int height, ColorRef fill)
{
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    pixels_.assign(static_cast<std::size_t>(width_) * height_, toPixel(fill));
    clip_ = bounds();
    pos_ = {};
}

void Surface::clear(ColorRef fill)
{
    std::fill(pixels_.begin(), pixels_.end(), toPixel(fill));
}

Pen Surface::selectPen(const Pen& p)
{
    Pen old = pen_;
    pen_ = p;
    return old;
}

Brush Surface::selectBrush(const Brush& b)
{
    Brush old = brush_;
    brush_ = b;
    return old;
}

LogFont Surface::selectFont(const LogFont& f)
{
    LogFont old = font_;
    font_ = f;
    return old;
}

ColorRef Surface::setTextColor(ColorRef c)
{
    return std::exchange(textColor_, c);
}

ColorRef Surface::setBkColor(ColorRef c)
{
    return std::exchange(bkColor_, c);
}

int Surface::setBkMode(int mode)
{
    return std::exchange(bkMode_, mode);
}

unsigned Surface::setTextAlign(unsigned align)
{
    return std::exchange(textAlign_, align);
}

ColorRef Surface::getPixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return kInvalidColor;
    return fromPixel(rawPixel(x, y));
}

void Surface::setPixel(int x, int y, ColorRef c)
{
    plot(x, y, toPixel(c));
}

void Surface::fillRect(const Rect& r, ColorRef c)
{
    const Rect a = r.normalized().intersected(clip_);
    const std::uint32_t p = toPixel(c);
    for (int y = a.top; y < a.bottom; ++y)
        fillSpan(y, a.left, a.right - 1, p);
}

void Surface::fillRows(const Rect& r, std::span<const std::uint32_t> row)
{
    // Columns past the row's end are left as they are.
    const std::int64_t right = std::min<std::int64_t>(r.right, std::int64_t{r.left} + static_cast<std::int64_t>(row.size()));
    const Rect a = Rect::saturated(r.left, r.top, right, r.bottom).intersected(clip_);
    if (a.isEmpty())
        return;
    const std::uint32_t* from = row.data() + (std::int64_t{a.left} - r.left);
    const auto bytes = static_cast<std::size_t>(a.width()) * 4;
    for (int y = a.top; y < a.bottom; ++y)
        std::memcpy(pixels_.data() + static_cast<std::size_t>(y) * width_ + a.left, from, bytes);
}

void Surface::fillRect(const Rect& r, const Brush& b)
{
    if (!b.isNull())
        fillRect(r, b.color);
}

void Surface::patBltInvert(const Rect& r)
{
    const Rect a = r.normalized().intersected(clip_);
    for (int y = a.top; y < a.bottom; ++y) {
        std::uint32_t* row = pixels_.data() + static_cast<std::size_t>(y) * width_;
        for (int x = a.left; x < a.right; ++x)
            row[x] ^= 0x00FFFFFFu;
    }
}

void Surface::draw3dRect(const Rect& r, ColorRef topLeft, ColorRef bottomRight)
{
    const std::int64_t x = r.left, y = r.top, cx = r.width64(), cy = r.height64();
    if (cx <= 0 || cy <= 0)
        return;
    const auto box = Rect::saturated;
    fillRect(box(x, y, x + cx - 1, y + 1), topLeft);
    fillRect(box(x, y, x + 1, y + cy - 1), topLeft);
    fillRect(box(x + cx - 1, y, x + cx, y + cy), bottomRight);
    fillRect(box(x, y + cy - 1, x + cx, y + cy), bottomRight);
}

void Surface::bitBlt(int dx, int dy, int w, int h, const Surface& src, int sx, int sy, RasterOp op)
{
    if (w <= 0 || h <= 0)
        return;
    // Limit to what both surfaces hold and what the clip allows.
    // An offset beyond the int range saturates and then meets nothing.
    Rect d = Rect::saturated(dx, dy, std::int64_t{dx} + w, std::int64_t{dy} + h).intersected(clip_);
    d = d.intersected(src.bounds().offset(saturateToInt(std::int64_t{dx} - sx), saturateToInt(std::int64_t{dy} - sy)));
    if (d.isEmpty())
        return;
    std::vector<std::uint32_t> overlapCopy;
    const std::uint32_t* srcBase = src.pixels_.data();
    int srcStride = src.width_;
    int srcOffX = static_cast<int>(std::int64_t{d.left} - dx + sx), srcOffY = static_cast<int>(std::int64_t{d.top} - dy + sy);
    if (&src == this) {
        overlapCopy.resize(static_cast<std::size_t>(d.width()) * d.height());
        for (int y = 0; y < d.height(); ++y)
            std::memcpy(overlapCopy.data() + static_cast<std::size_t>(y) * d.width(),
                        srcBase + static_cast<std::size_t>(srcOffY + y) * srcStride + srcOffX,
                        static_cast<std::size_t>(d.width()) * 4);
        srcBase = overlapCopy.data();
        srcStride = d.width();
        srcOffX = 0;
        srcOffY = 0;
    }
    for (int y = 0; y < d.height(); ++y) {
        const std::uint32_t* s = srcBase + static_cast<std::size_t>(srcOffY + y) * srcStride + srcOffX;
        std::uint32_t* t = pixels_.data() + static_cast<std::size_t>(d.top + y) * width_ + d.left;
        if (op == RasterOp::SrcCopy) {
            std::memcpy(t, s, static_cast<std::size_t>(d.width()) * 4);
        } else {
            for (int x = 0; x < d.width(); ++x)
                t[x] = (t[x] & s[x]) | 0xFF000000u;
        }
    }
}

void Surface::stretchBlt(const Rect& dst, const Surface& src, const Rect& srcRect)
{
    if (&src == this) {
        const Surface copy = src;
        stretchBlt(dst, copy, srcRect);
        return;
    }
    forEachStretched(clip_, dst, src, srcRect, [&](int x, int y, int sx, int sy) {
        pixels_[static_cast<std::size_t>(y) * width_ + x] = src.rawPixel(sx, sy);
    });
}

void Surface::transparentBlt(const Rect& dst, const Surface& src, const Rect& srcRect, ColorRef key)
{
    if (&src == this) {
        const Surface copy = src;
        transparentBlt(dst, copy, srcRect, key);
        return;
    }
    const std::uint32_t keyPixel = toPixel(key) & 0x00FFFFFFu;
    forEachStretched(clip_, dst, src, srcRect, [&](int x, int y, int sx, int sy) {
        const std::uint32_t p = src.rawPixel(sx, sy);
        if ((p & 0x00FFFFFFu) != keyPixel)
            pixels_[static_cast<std::size_t>(y) * width_ + x] = p;
    });
}

} // namespace qv
