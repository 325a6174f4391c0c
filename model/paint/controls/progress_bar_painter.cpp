// Progress bar (kind 23): a picture or gradient background and a bar in proportion to a
// variable between the minimum and the maximum.
#include "model/paint/controls/control_run_rules.h"
#include "model/paint/controls/curve_bar_table_painters.h"
#include "model/paint/controls/line_bands.h"
#include "model/paint/gradient.h"
#include "model/paint/paint_rules.h"
#include "model/params/blocks/progress_bar_block.h"
#include "model/vars/var_bank.h"
#include "model/vars/var_types.h"

#include <optional>

namespace qv {
namespace {

using namespace blocks::progress_bar;

// The value reference is usable: bound, of a known type and wholly inside the memory.
bool valueUsable(const ControlVarRef& value)
{
    const HmiVarType* type = hmiVarTypeByCode(value.type);
    return value.bound() && type != nullptr && isValidVarRange(value.address, type->width);
}

// The filled part of the bar box, or nothing. The arithmetic is 64-bit: the limits may be
// any 32-bit values.
std::optional<Rect> barRect(const CDrawObj& obj, const Rect& box, std::int64_t value)
{
    const std::int64_t maximum = obj.Param(kMaximum), minimum = obj.Param(kMinimum);
    value = std::min(value, maximum);
    if (value <= minimum)
        return std::nullopt;
    // A reversed bar shows what is left up to the maximum.
    const std::int64_t part = obj.Param(kReverse) != 0 ? maximum - value : value - minimum;
    const std::int64_t range = maximum - minimum; // > 0: minimum < value <= maximum
    const int direction = obj.Param(kBarDirection);
    const bool vertical = direction == kUp || direction == kDown;
    const std::int64_t length = ScaleBy(part, vertical ? box.height64() : box.width64(), range);
    if (length <= 0)
        return std::nullopt;
    const std::int64_t L = box.left, T = box.top, R = box.right, B = box.bottom;
    switch (direction) {
    case kUp: return Rect::saturated(L, B - length, R, B);
    case kDown: return Rect::saturated(L, T, R, T + length);
    case kRight: return Rect::saturated(L, T, L + length, B);
    case kLeft: return Rect::saturated(R - length, T, R, B);
    default: return std::nullopt;
    }
}

} // namespace

void PaintProgressBar(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx)
{
    Surface& dc = dcs.target;
    const ControlVarRef value = ReadControlRef(obj, "value"), hide = ReadControlRef(obj, "hide");
    const bool hideOption = obj.Param(kHideOption) != 0;
    if (!valueUsable(value) || (hideOption && !hide.bound())) {
        DrawInvalid(obj, dc);
        return;
    }
    const Rect box = obj.m_rcPosition.normalized();
    if (HideEndsPaint(obj, dc, ctx, hideOption, hide, obj.Param(kHideBit)))
        return;

    if (obj.Param(kNoBack) == 0) {
        if (obj.Param(kPictureBack) != 0) {
            if (obj.m_strFiles.empty() || !PaintPictureByRule(ctx, dcs, obj.m_strFiles.front(), box, false, 0))
                return;
        } else if (obj.Param(kGradientDirection) == 0) {
            FillGradientVertical(dc, ParamColor(obj, kGradientFrom), ParamColor(obj, kGradientTo), box);
        } else {
            FillGradientHorizontal(dc, ParamColor(obj, kGradientFrom), ParamColor(obj, kGradientTo), box);
        }
    }

    if (dcs.work2 == nullptr)
        return; // the compiler's render: the panel draws the bar
    const auto shown = ctx.readVar(value.address, value.type);
    if (!shown)
        return;
    if (const auto bar = barRect(obj, box, *shown))
        dc.fillRect(*bar, ParamColor(obj, kBarColor));
}

} // namespace qv
