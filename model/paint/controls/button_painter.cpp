#include "model/paint/controls/button_painter.h"

#include "model/paint/controls/control_run_rules.h"
#include "model/paint/gradient.h"
#include "model/paint/paint_rules.h"

#include <algorithm>
#include <string>

namespace qv {

namespace {

using blocks::button::StateFields;

// Keyboard keys of the system keyboard that stay pressed while their latch is on; the
// function text of such a key is "键盘" followed by the key name in double quotes.
struct LatchKey {
    std::string_view name;
    bool PaintContext::*latch;
};
constexpr LatchKey kLatchKeys[] = {
    {"Capslk", &PaintContext::capsLock},
    {"Ins", &PaintContext::insertMode},
    {"Shift", &PaintContext::shiftLatch},
    {"PingYinSwitch", &PaintContext::pinyinMode},
};

bool requiredRefsUnbound(const CDrawObj& obj)
{
    using namespace blocks::button;
    if (obj.Param(kHideOption) != 0 && !ReadControlRef(obj, "hide").bound())
        return true;
    if (obj.Param(kWriteEnableOption) != 0 && !ReadControlRef(obj, "write enable").bound())
        return true;
    return blocks::button::functionText(obj.m_strFiles) == blocks::button::kOperateVariable && !ReadControlRef(obj, "value").bound();
}

void pressLatchedKeys(CDrawObj& obj, const PaintContext& ctx)
{
    const std::string_view function = blocks::button::functionText(obj.m_strFiles);
    for (const LatchKey& key : kLatchKeys)
        if (ctx.*key.latch && function == blocks::button::keyFunctionText(key.name))
            obj.SetParam(blocks::button::kState, 3);
}

// Fills `r` with the state's gradient; false when the direction names none.
bool fillGradient(Surface& dc, int direction, ColorRef from, ColorRef to, const Rect& r)
{
    switch (direction) {
    case 0: FillGradientVertical(dc, from, to, r); return true;
    case 1: FillGradientHorizontal(dc, from, to, r); return true;
    default: return false;
    }
}

// A border no wider than half the button's shorter side (widths come from the file).
int borderWidthOf(const CDrawObj& obj, const StateFields& f, const Rect& r)
{
    const std::int64_t half = std::min<std::int64_t>((std::min(r.width64(), r.height64()) + 1) / 2, kMaxBorderRings);
    return static_cast<int>(std::clamp<std::int64_t>(obj.Param(f.borderWidth), 0, half));
}

bool flag(const CDrawObj& obj, blocks::button::Field<std::int32_t> f)
{
    return obj.Param(f) != 0;
}

void paintRectangularFace(CDrawObj& obj, const StateFields& f, const Rect& r, const PaintSurfaces& dcs)
{
    WorkSurface work(dcs.work2, dcs.target);
    const ColorRef from = RaiseFromBlack(obj, f.gradientFrom);
    // Where the direction names no gradient, what lies under the button shows through.
    work->bitBlt(r.left, r.top, r.width(), r.height(), dcs.target, r.left, r.top);
    fillGradient(*work, obj.Param(f.gradientDirection), from, ParamColor(obj, f.gradientTo), r);
    const bool noFace = flag(obj, f.noFace);
    if (!flag(obj, f.noBorder))
        DrawBorderRings3d(noFace ? dcs.target : *work, r, borderWidthOf(obj, f, r), ParamColor(obj, f.borderColor));
    if (!noFace)
        dcs.target.bitBlt(r.left, r.top, r.width(), r.height(), *work, r.left, r.top);
}

// Composed on black (the key): the gradient shows only inside the round rectangle, the
// corners keep what lies under the button. The pens and brushes are the painter's own; the
// object's stored pen and brush stay as they are.
void paintRoundFace(CDrawObj& obj, const StateFields& f, const Rect& r, const PaintSurfaces& dcs)
{
    WorkSurface face(dcs.work1, dcs.target);
    SurfaceStateGuard faceState(*face);
    const int border = borderWidthOf(obj, f, r);
    const Size corner = obj.m_cornerSize;
    face->fillRect(r, 0);
    if (!flag(obj, f.noFace)) {
        face->selectBrush({BS_SOLID, 0x00FFFFFF});
        face->selectPen({PS_INSIDEFRAME, border, 0});
        face->roundRect(r, corner.cx, corner.cy);
        const ColorRef from = RaiseFromBlack(obj, f.gradientFrom);
        WorkSurface fill(dcs.work2, dcs.target);
        // No gradient leaves the face black, that is, see-through.
        fill->fillRect(r, 0);
        fillGradient(*fill, obj.Param(f.gradientDirection), from, ParamColor(obj, f.gradientTo), r);
        face->bitBlt(r.left, r.top, r.width(), r.height(), *fill, r.left, r.top, RasterOp::SrcAnd);
    }
    if (border != 0 && !flag(obj, f.noBorder)) {
        face->selectPen({PS_INSIDEFRAME, border, RaiseFromBlack(obj, f.borderColor)});
        face->selectBrush(kNullBrush);
        face->roundRect(r, corner.cx, corner.cy);
    }
    dcs.target.transparentBlt(r, *face, r, 0);
}

void paintCaption(const CDrawObj& obj, const Rect& r, Surface& dc)
{
    SurfaceStateGuard guard(dc);
    dc.selectFont(obj.m_logfont);
    dc.setBkMode(TRANSPARENT);
    dc.setTextColor(ParamColor(obj, blocks::button::kTextColor));
    dc.drawText(obj.m_strName, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

} // namespace

void PaintButton(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx)
{
    using namespace blocks::button;
    const Rect r = obj.m_rcPosition.normalized();
    if (requiredRefsUnbound(obj)) {
        DrawInvalid(obj, dcs.target);
        return;
    }
    if (IsLivePaint(ctx))
        pressLatchedKeys(obj, ctx);
    if (HideEndsPaint(obj, dcs.target, ctx, obj.Param(kHideOption) != 0, ReadControlRef(obj, "hide"),
                      obj.Param(kHideBit)))
        return;
    // A state outside 1..3 has no appearance: nothing is drawn, not even the caption.
    const int state = obj.Param(kState);
    if (state < 1 || state > 3)
        return;
    const StateFields& f = kStates[static_cast<std::size_t>(state - 1)];
    if (flag(obj, f.usePicture)) {
        const std::size_t entry = static_cast<std::size_t>(state - 1);
        // A missing state picture leaves the whole button undrawn.
        if (obj.m_strFiles.size() <= entry ||
            !PaintPictureByRule(ctx, dcs, obj.m_strFiles[entry], r, flag(obj, f.pictureTransparent),
                                ParamColor(obj, f.transparentColor)))
            return;
    } else if (obj.Param(f.faceStyle) == kRectangularFace) {
        paintRectangularFace(obj, f, r, dcs);
    } else {
        paintRoundFace(obj, f, r, dcs);
    }
    paintCaption(obj, r, dcs.target);
    obj.SetParam(kLastPaintedState, static_cast<std::uint8_t>(state));
}

} // namespace qv
