#include "compiler/items/item_support.h"

#include "compiler/compile/compile_options.h"
#include "compiler/compile/compile_texts.h"
#include "compiler/image/le_bytes.h"
#include "compiler/tiles/pixel_stream.h"
#include "model/document/draw_doc.h"
#include "model/paint/paint_dispatch.h"

#include <algorithm>
#include <string>

namespace qv::items {

void refuseControl(screen::ItemCompileArgs& a, std::string_view messageGbk)
{
    if (a.objectIndex && !a.ctx.aborted())
        a.ctx.noteRefusedControl({a.doc.GetTitle(), *a.objectIndex});
    a.ctx.fail(std::string(messageGbk) + "\r\n");
}

bool sizeAtLeast(const Rect& r, int minSide, std::int64_t minArea)
{
    return r.width64() >= minSide && r.height64() >= minSide && r.width64() * r.height64() >= minArea;
}

bool checkPlacement(screen::ItemCompileArgs& a, const Rect& r, std::string_view kindNameGbk)
{
    if (screen::onCanvas(r))
        return true;
    std::string m = "编译出错!!\"";
    m += kindNameGbk;
    m += "\"控件的位置或大小无效";
    refuseControl(a, m);
    return false;
}

std::uint16_t bitByteAddress(std::int32_t address, std::int32_t bit)
{
    return static_cast<std::uint16_t>(std::int64_t{address} + (bit >> 3));
}

void paintShapesOnce(CDrawDoc& doc, Surface& target, Surface& work, const PaintContext& paint)
{
    // The shapes' painters use only the first work surface (the second serves controls).
    PaintAllOnce(doc.m_objects, PaintSurfaces{target, &work, nullptr}, paint);
}

void paintWindowShapes(CDrawDoc& doc, Surface& target, const PaintContext& paint)
{
    target.clear(doc.m_paperColor);
    screen::PooledSurface work(target.width(), target.height(), std::span<const Rect>{}, doc.m_paperColor);
    paintShapesOnce(doc, target, work.get(), paint);
}

Rect controlArea(const screen::ItemCompileArgs& a)
{
    const Rect& r = a.control.m_rcPosition;
    return {r.left, r.top, r.right + 1, r.bottom + 1};
}

screen::PooledSurface workCanvas(const screen::ItemCompileArgs& a, bool shapes)
{
    // Clearing a canvas of twice the project size for every control was most of a compile's
    // time; pixels outside the control's rectangle are never read, so only it is cleared
    // and copied.
    const Rect& r = a.control.m_rcPosition;
    int w = std::max(r.right + 1, 1);
    int h = std::max(r.bottom + 1, 1);
    if (a.windowShapes) {
        // The window's canvas reaches past every control: one size for all of a window's
        // canvases lets a kept one be reused without clearing it whole.
        w = std::max(w, a.windowShapes->width());
        h = std::max(h, a.windowShapes->height());
    }
    if (shapes && !a.windowShapes) {
        screen::PooledSurface canvas(w, h, a.doc.m_paperColor);
        paintWindowShapes(a.doc, canvas.get(), a.paint);
        return canvas;
    }
    const Rect area = controlArea(a);
    screen::PooledSurface canvas(w, h, area, a.doc.m_paperColor);
    if (!shapes)
        return canvas;
    const Rect copied = area.intersected(a.windowShapes->bounds()).intersected(canvas.get().bounds());
    if (copied.right > copied.left && copied.bottom > copied.top)
        canvas.get().bitBlt(copied.left, copied.top, copied.width(), copied.height(), *a.windowShapes, copied.left, copied.top);
    return canvas;
}

screen::PooledSurface paperLike(const screen::ItemCompileArgs& a, const Surface& canvas)
{
    return screen::PooledSurface(canvas.width(), canvas.height(), controlArea(a), a.doc.m_paperColor);
}

std::int16_t panelX(const screen::ItemCompileArgs& a, int x) { return static_cast<std::int16_t>(x - a.doc.m_nMarginX); }
std::int16_t panelY(const screen::ItemCompileArgs& a, int y) { return static_cast<std::int16_t>(y - a.doc.m_nMarginY); }

tiles::PageStream streamAtImageEnd(compile::CompileContext& ctx)
{
    return tiles::PageStream(ctx.file().size(), ctx.geometry().pageMask);
}

bool appendStream(compile::CompileContext& ctx, const tiles::PageStream& s)
{
    if (ctx.file().append(s.bytes()))
        return true;
    ctx.fail(compile::text::kDiskFull);
    return false;
}

std::optional<std::uint32_t> writeRectPixels(screen::ItemCompileArgs& a, const Surface& s, const Rect& r)
{
    tiles::PageStream stream = streamAtImageEnd(a.ctx);
    stream.putRaw(tiles::kPageStartByte);
    if (!tiles::writePixelsRGB565(stream, s, r, a.rotated, [&] { return a.ctx.aborted(); }))
        return std::nullopt;
    stream.padToPage();
    if (!appendStream(a.ctx, stream))
        return std::nullopt;
    return static_cast<std::uint32_t>(stream.bytes().size());
}

std::optional<std::uint32_t> writeRectPicture(screen::ItemCompileArgs& a, const Surface& s, const Rect& r)
{
    const auto length = writeRectPixels(a, s, r);
    if (length)
        a.ctx.addPictures(1);
    return length;
}

void keyPixels(Surface& s, const Rect& r, ColorRef fill)
{
    const Rect c = r.intersected(s.bounds());
    for (int y = c.top; y < c.bottom; ++y)
        for (int x = c.left; x < c.right; ++x) {
            const ColorRef p = s.getPixel(x, y);
            if (p == fill)
                s.setPixel(x, y, tiles::kKeyColor);
            else if ((p & tiles::kKeyMask) == tiles::kKeyColor)
                s.setPixel(x, y, tiles::kSubstituteColor);
        }
}

} // namespace qv::items
