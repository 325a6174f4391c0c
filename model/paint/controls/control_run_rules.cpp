#include "model/paint/controls/control_run_rules.h"

#include "model/paint/paint_rules.h"

namespace qv {

bool HideEndsPaint(CDrawObj& obj, Surface& dc, const PaintContext& ctx, bool hideOption, const ControlVarRef& hide,
                   std::int32_t bit)
{
    if (!IsLivePaint(ctx) || !hideOption)
        return false;
    switch (ReadHideBit(ctx, hide, bit)) {
    case HideBit::Hidden: return true;
    case HideBit::Unreadable: DrawInvalid(obj, dc); return true;
    default: return false;
    }
}

Rect MovedByVariable(const PaintContext& ctx, bool moveOption, const ControlVarRef& move, const Rect& r)
{
    if (!IsLivePaint(ctx) || !moveOption || move.address < 0 || move.address > 0xFFFE)
        return r;
    const auto x = ctx.readVar(move.address, 2);
    const auto y = ctx.readVar(std::int64_t{move.address} + 2, 2);
    if (!x || !y)
        return r;
    const std::int64_t left = std::int64_t{ctx.margins.x} + *x, top = std::int64_t{ctx.margins.y} + *y;
    return Rect::saturated(left, top, left + r.width64(), top + r.height64());
}

} // namespace qv
