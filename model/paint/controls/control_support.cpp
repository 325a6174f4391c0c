#include "model/paint/controls/control_support.h"

#include "model/paint/paint_rules.h"
#include "model/params/var_refs.h"
#include "platform/text/gbk.h"

#include <algorithm>
#include <cstdlib>

namespace qv {

namespace {

// Far above any panel's font, far below where cell arithmetic could overflow.
constexpr std::int64_t kMaxGlyphHeight = 1 << 14;

} // namespace

ControlVarRef ReadControlRef(const CDrawObj& obj, std::string_view role)
{
    for (const VarRefField& f : fixedVarRefs(obj.Kind())) {
        if (f.role != role)
            continue;
        ControlVarRef ref;
        ref.index = obj.ParamI32(static_cast<std::size_t>(f.index));
        ref.address = f.address == kNoField ? -1 : obj.ParamI32(static_cast<std::size_t>(f.address));
        ref.type = f.type == kNoField ? 0 : obj.ParamU8(static_cast<std::size_t>(f.type));
        return ref;
    }
    return {};
}

HideBit ReadHideBit(const PaintContext& ctx, const ControlVarRef& hide, std::int32_t bitNumber)
{
    if (hide.address < 0 || hide.address > 0xFFFF)
        return HideBit::Shown;
    const auto bit = ctx.readBit(hide.address, bitNumber);
    if (!bit)
        return HideBit::Unreadable;
    return *bit ? HideBit::Shown : HideBit::Hidden;
}

ColorRef RaiseFromBlack(CDrawObj& obj, int offset)
{
    if (obj.ParamI32(static_cast<std::size_t>(offset)) == 0)
        obj.SetParamI32(static_cast<std::size_t>(offset), 1);
    return ParamColor(obj, offset);
}

void DrawBorderRings3d(Surface& dc, const Rect& r, int width, ColorRef color)
{
    DrawRings3d(dc, r, width, color);
}

std::vector<std::string_view> SplitGbkChars(std::string_view text)
{
    std::vector<std::string_view> chars;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = gbkCharLength(text, i);
        chars.push_back(text.substr(i, n));
        i += n;
    }
    return chars;
}

bool TextMeetsClip(const Surface& dc, int x, int y, std::string_view text)
{
    const Size extent = dc.textExtent(text);
    const Rect& clip = dc.clipRect();
    return std::int64_t{x} < clip.right && std::int64_t{x} + extent.cx > clip.left && std::int64_t{y} < clip.bottom &&
           std::int64_t{y} + extent.cy > clip.top;
}

int GlyphHeight(const LogFont& font)
{
    return static_cast<int>(std::min(std::llabs(static_cast<long long>(font.lfHeight)), static_cast<long long>(kMaxGlyphHeight)));
}

WorkSurface::WorkSurface(Surface* given, const Surface& target) : surface_(given)
{
    if (!surface_) {
        scratch_.reset(target.width(), target.height(), 0);
        surface_ = &scratch_;
    }
}

} // namespace qv
