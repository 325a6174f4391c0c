#include "model/paint/controls/state_picture_painters.h"

#include "model/paint/controls/control_run_rules.h"
#include "model/paint/paint_rules.h"
#include "model/paint/shape_painters.h"
#include "model/params/block_bytes.h"
#include "model/params/blocks/dynamic_picture_block.h"
#include "model/params/blocks/state_picture_block.h"

#include <algorithm>
#include <optional>

namespace qv {
namespace {

constexpr unsigned kHintFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

template <class Kind>
bool on(const CDrawObj& obj, ParamField<std::int32_t, Kind> f)
{
    return obj.Param(f) != 0;
}

// The outline with the object's pen and brush and a black hint in its middle: what a control
// without its pictures shows.
void drawHint(Surface& dc, const Rect& r, std::string_view hintGbk)
{
    dc.rectangle(r);
    dc.setBkMode(TRANSPARENT);
    dc.setTextColor(0);
    dc.drawText(hintGbk, r, kHintFormat);
}

// An option switched on whose reference is not bound.
bool missing(bool option, const CDrawObj& obj, std::string_view role)
{
    return option && !ReadControlRef(obj, role).bound();
}

namespace lamp = blocks::lamp;
namespace bs = blocks::bit_switch;
namespace ind = blocks::indicator;

// What the bit switch and the indicator light keep in different places.
struct LampFields {
    lamp::Field<std::uint8_t> hideOption;
    std::optional<lamp::Field<std::int32_t>> writeEnable;  // the indicator light has none
    lamp::Field<std::int32_t> onCaptionColor, offCaptionColor, hideBit;
};
constexpr LampFields kBitSwitchLamp{bs::kHideOption, bs::kWriteEnableOption, bs::kOnCaptionColor, bs::kOffCaptionColor,
                                    bs::kHideBit};
constexpr LampFields kIndicatorLamp{ind::kHideOption, std::nullopt, ind::kOnCaptionColor, ind::kOffCaptionColor,
                                    ind::kHideBit};

struct Lamp {
    const LampFields& fields;
    std::string_view hint;
};

void paintLamp(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx, int state, const Lamp& lamp)
{
    using namespace blocks::lamp;
    const LampFields& f = lamp.fields;
    Surface& dc = dcs.target;
    const ControlVarRef bit = ReadControlRef(obj, "bit");
    const ControlVarRef hide = ReadControlRef(obj, "hide");
    const bool hideOn = obj.Param(f.hideOption) != 0;
    if (!bit.bound() || (hideOn && !hide.bound())
        || (f.writeEnable && missing(on(obj, *f.writeEnable), obj, "write enable"))) {
        DrawInvalid(obj, dc);
        return;
    }
    if (HideEndsPaint(obj, dc, ctx, hideOn, hide, obj.Param(f.hideBit)))
        return;
    SurfaceStateGuard guard(dc);
    const Rect r = obj.m_rcPosition.normalized();
    if (obj.m_strFiles.size() < 2) {
        drawHint(dc, r, lamp.hint);
        return;
    }
    bool isOn = state == 0;
    if (state != 0 && state != 1)
        isOn = ctx.readBit(bit.address, obj.Param(kBitNumber) % 32).value_or(false);
    const int picture = isOn ? 0 : 1;
    if (!PaintPictureByRule(ctx, dcs, obj.m_strFiles[picture], r, on(obj, isOn ? kOnTransparent : kOffTransparent),
                            ParamColor(obj, isOn ? kOnKey : kOffKey)))
        return;
    const std::size_t caption = isOn ? 2 : 3;
    if (caption >= obj.m_strFiles.size())
        return;
    dc.selectFont(obj.m_logfont);
    dc.setBkMode(TRANSPARENT);
    dc.setTextColor(ParamColor(obj, isOn ? f.onCaptionColor : f.offCaptionColor));
    dc.drawText(obj.m_strFiles[caption], r, kHintFormat);
}

} // namespace

void PaintBitSwitch(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx, int state)
{
    paintLamp(obj, dcs, ctx, state, {kBitSwitchLamp, "请先添加开关图片"});
}

void PaintIndicator(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx, int state)
{
    paintLamp(obj, dcs, ctx, state, {kIndicatorLamp, "请先添加指示灯图片"});
}

void PaintRadioButton(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx, int state)
{
    using namespace blocks::radio;
    Surface& dc = dcs.target;
    const Rect r = obj.m_rcPosition.normalized();
    const ControlVarRef hide = ReadControlRef(obj, "hide");
    const bool hideOn = obj.Param(kHideOption) != 0;
    if (HideEndsPaint(obj, dc, ctx, hideOn, hide, obj.Param(kHideBit)))
        return;
    const ControlVarRef value = ReadControlRef(obj, "value");
    if (!value.bound() || (hideOn && !hide.bound()) || missing(on(obj, kWriteEnableOption), obj, "write enable")) {
        DrawInvalid(obj, dc);
        return;
    }
    const auto current = ctx.readVar(value.address, value.type);
    const bool selected = state == 0 || (state != 1 && current && *current == obj.Param(kOwnValue));

    if (on(obj, kPictureMode)) {
        const std::size_t picture = selected ? 0 : 1;
        if (picture < obj.m_strFiles.size())
            PaintPictureByRule(ctx, dcs, obj.m_strFiles[picture], r,
                               on(obj, selected ? kSelectedTransparent : kUnselectedTransparent),
                               ParamColor(obj, selected ? kSelectedKey : kUnselectedKey));
        return;
    }
    SurfaceStateGuard guard(dc);
    dc.selectBrush({BS_SOLID, 0x00FFFFFF});
    PaintCircle(dc, r.left, r.top, r.right, r.bottom);
    if (!selected)
        return;
    dc.selectBrush({BS_SOLID, 0});
    dc.selectPen(kNullPen);
    const std::int64_t inset = std::min(r.width64(), r.height64()) / 4;
    const Rect dot = Rect::saturated(r.left + inset + 2, r.top + inset + 2, r.right - inset, r.bottom - inset);
    PaintCircle(dc, dot.left, dot.top, dot.right, dot.bottom);
}

void PaintBitSwitch(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx)
{
    PaintBitSwitch(obj, dcs, ctx, -1);
}

void PaintIndicator(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx)
{
    PaintIndicator(obj, dcs, ctx, -1);
}

void PaintRadioButton(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx)
{
    PaintRadioButton(obj, dcs, ctx, -1);
}

void PaintDynamicPicture(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx)
{
    using namespace blocks::dynamic_picture;
    Surface& dc = dcs.target;
    ControlVarRef frame = ReadControlRef(obj, "frame");
    const ControlVarRef hide = ReadControlRef(obj, "hide");
    const ControlVarRef move = ReadControlRef(obj, "move");
    const bool fromVariable = obj.Param(kPlayMode) == 0;
    const bool hideOn = obj.Param(kHideOption) != 0, moveOn = obj.Param(kMoveOption) != 0;
    if (frame.address < 0 || (fromVariable && frame.index < 0) || (hideOn && !hide.bound())
        || (moveOn && !move.bound())) {
        DrawInvalid(obj, dc);
        return;
    }
    if (HideEndsPaint(obj, dc, ctx, hideOn, hide, obj.Param(kHideBit)))
        return;
    const Rect r = MovedByVariable(ctx, moveOn, move, obj.m_rcPosition.normalized());
    SurfaceStateGuard guard(dc);
    if (obj.m_strFiles.empty()) {
        if (!ctx.runMode)
            drawHint(dc, r, "双击添加动态图片");
        return;
    }
    std::size_t frameNumber = 0;
    if (fromVariable) {
        // The table may have changed since the reference was cached: ask it again.
        if (ctx.lookupVar)
            frame.address = ctx.lookupVar(frame.index).address;
        if (frame.address < 0)
            return;
        const auto v = ctx.readVar(frame.address, 1);
        if (!v)
            return;
        frameNumber = static_cast<std::size_t>(*v);
    } else {
        frameNumber = obj.Param(kFrame);
    }
    if (on(obj, kUserArea)) {
        dc.fillRect(r, 0x00FFFFFF);
        dc.setBkMode(TRANSPARENT);
        dc.setTextColor(0);
        dc.drawText("用户区图片0", r, DT_WORDBREAK | DT_EDITCONTROL);
        return;
    }
    frameNumber = std::min(frameNumber, obj.m_strFiles.size() - 1);
    PaintPictureByRule(ctx, dcs, obj.m_strFiles[frameNumber], r, on(obj, kTransparent), ParamColor(obj, kKey));
}

} // namespace qv
