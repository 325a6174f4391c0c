#include "model/paint/paint_rules.h"

#include "platform/files/stored_path.h"

#include <algorithm>

namespace qv {

std::optional<Pen> penFromRecord(const LogPen& p)
{
    if (p.style > PS_INSIDEFRAME)
        return std::nullopt;
    return Pen{static_cast<int>(p.style), std::max(0, p.widthX), p.color & 0x00FFFFFF};
}

std::optional<Brush> brushFromRecord(const LogBrush& b)
{
    if (b.style > BS_HATCHED)
        return std::nullopt;
    return Brush{static_cast<int>(b.style), b.color & 0x00FFFFFF};
}

SurfaceStateGuard::SurfaceStateGuard(Surface& s)
    : s_(s), pen_(s.pen()), brush_(s.brush()), font_(s.font()), text_(s.textColor()), bk_(s.bkColor()),
      mode_(s.bkMode()), align_(s.setTextAlign(0)), clip_(s.clipRect())
{
    s.setTextAlign(align_);
}

SurfaceStateGuard::~SurfaceStateGuard()
{
    s_.selectPen(pen_);
    s_.selectBrush(brush_);
    s_.selectFont(font_);
    s_.setTextColor(text_);
    s_.setBkColor(bk_);
    s_.setBkMode(mode_);
    s_.setTextAlign(align_);
    s_.setClipRect(clip_);
}

void DrawRings3d(Surface& dc, const Rect& r, int width, ColorRef color)
{
    // The count comes from the whole box, before any edge is brought in below.
    const Rect box = r.normalized();
    const std::int64_t fits = (std::min(box.width64(), box.height64()) + 1) / 2;
    const int rings = static_cast<int>(std::clamp<std::int64_t>(std::min<std::int64_t>(width, fits), 0, kMaxBorderRings));
    if (rings == 0 || box.intersected(dc.bounds()).isEmpty())
        return;
    // Every ring lies within `rings` pixels of the box's edges, so an edge farther outside the
    // surface than that can come in without moving a visible pixel; a huge box then costs
    // nothing and no edge arithmetic nears the int range.
    const Rect b = dc.bounds();
    const std::int64_t reach = std::int64_t{rings} + 1;
    Rect ring = Rect::saturated(std::max<std::int64_t>(box.left, b.left - reach), std::max<std::int64_t>(box.top, b.top - reach),
                                std::min<std::int64_t>(box.right, b.right + reach),
                                std::min<std::int64_t>(box.bottom, b.bottom + reach));
    // Past the point where the brought-in box runs out, the remaining rings lie wholly outside.
    for (int i = 0; i < rings && !ring.isEmpty(); ++i) {
        dc.draw3dRect(ring, color, invertColor(color));
        ring = ring.deflated(1);
    }
}

PicturePtr LoadStoredPicture(const PaintContext& ctx, std::string_view storedName)
{
    if (storedName.empty() || !ctx.loadPicture)
        return nullptr;
    const auto path = resolveStoredPath(ctx.projectDir, storedName);
    if (!path)
        return nullptr;
    PicturePtr pic = ctx.loadPicture(*path);
    if (!pic || pic->width() <= 0 || pic->height() <= 0)
        return nullptr;
    return pic;
}

bool PaintPictureByRule(const PaintContext& ctx, const PaintSurfaces& dcs, std::string_view storedName, const Rect& r,
                        bool transparent, ColorRef key)
{
    const PicturePtr pic = LoadStoredPicture(ctx, storedName);
    if (!pic)
        return false;
    if (!transparent) {
        drawPicture(dcs.target, *pic, r);
        return true;
    }
    Surface* work = dcs.work1;
    if (!work) {
        // Composing over the key and copying without it is the picture less its key pixels:
        // drawn straight into the target, so no surface the size of the box is ever made.
        drawPictureKeyed(dcs.target, *pic, r, key);
        return true;
    }
    // Composed in work surface 1, cleared to the key first so nothing stale shows through.
    const Rect box = r.normalized();
    work->fillRect(box, key);
    drawPicture(*work, *pic, r);
    dcs.target.transparentBlt(box, *work, box, key);
    return true;
}

std::string_view InvalidControlText()
{
    return "无效控件";
}

void DrawInvalid(CDrawObj& obj, Surface& dc)
{
    SurfaceStateGuard guard(dc);
    dc.selectPen(kNullPen);
    dc.selectBrush({BS_SOLID, 0x00FFFFFF});
    dc.rectangle(obj.m_rcPosition);
    obj.m_rcPosition = obj.m_rcPosition.normalized();
    dc.selectFont(obj.m_logfont);
    dc.setTextColor(obj.m_penInfo.color & 0x00FFFFFF);
    dc.setBkColor(obj.m_brushInfo.color & 0x00FFFFFF);
    dc.drawText(InvalidControlText(), obj.m_rcPosition, DT_WORDBREAK | DT_EDITCONTROL);
}

} // namespace qv
