#pragma once
// What the control painters share beyond paint_rules.h: a reference's cached triple by its
// role in the kind's reference table, the unbound test and the required-reference entries,
// the run-mode hide bit, colours by named field or raised off the transparent key, and GBK
// text cut into characters.
#include "model/paint/paint_context.h"
#include "model/paint/paint_rules.h"
#include "model/shape/draw_obj.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace qv {

// A reference that is needed only while its kind's switch is on (a field of either width),
// or always (no switch): what the painters' tables of required references hold.
struct RequiredRef {
    std::string_view role;
    int option = -1;  // -1: always needed
    int optionWidth = 0;
    constexpr RequiredRef(std::string_view r) : role(r) {}
    template <class T, class Kind>
    constexpr RequiredRef(std::string_view r, ParamField<T, Kind> f) : role(r), option(f.offset), optionWidth(f.width)
    {
    }
    bool needed(const CDrawObj& obj) const { return option < 0 || blockReadU(obj.m_Params, option, optionWidth) != 0; }
};

// The cached part of a variable reference (index, address, type code).
struct ControlVarRef {
    std::int32_t index = -1;
    std::int32_t address = -1;
    int type = 0;
    bool bound() const { return index >= 0 && address >= 0; }
};

// The reference of `role` ("value", "hide", ...) in the table of the object's kind; an
// unknown role reads as unbound.
ControlVarRef ReadControlRef(const CDrawObj& obj, std::string_view role);

// Whether one of `required`, tested in order, is needed now and unbound.
inline bool AnyRequiredUnbound(std::span<const RequiredRef> required, const CDrawObj& obj)
{
    for (const RequiredRef& r : required)
        if (r.needed(obj) && !ReadControlRef(obj, r.role).bound())
            return true;
    return false;
}

// Live values, the hide bit, keyboard latches and the move show only in the simulator's
// view, never in a compile render.
inline bool IsLivePaint(const PaintContext& ctx) { return ctx.runMode && !ctx.compiling; }

enum class HideBit { Shown, Hidden, Unreadable };

// The run-mode hide test of a bound hide reference: used only for addresses 0..0xFFFF; a bit
// whose byte lies outside the memory (or no memory at all) cannot be read, and such a
// control is shown as unbound.
HideBit ReadHideBit(const PaintContext& ctx, const ControlVarRef& hide, std::int32_t bitNumber);

// The colour at `offset`, raised from 0 to 1 and stored back: black is the transparent key
// of composed faces, so a colour that must stay visible is never black.
ColorRef RaiseFromBlack(CDrawObj& obj, int offset);

// The same through a kind's named field.
template <class Kind>
ColorRef RaiseFromBlack(CDrawObj& obj, ParamField<std::int32_t, Kind> f)
{
    return RaiseFromBlack(obj, f.offset);
}

// DrawRings3d for a border read from a block (the same rule; kept for the control painters).
void DrawBorderRings3d(Surface& dc, const Rect& r, int width, ColorRef color);

// The colour at `offset` without the top byte.
inline ColorRef ParamColor(const CDrawObj& obj, int offset)
{
    return static_cast<ColorRef>(obj.ParamI32(static_cast<std::size_t>(offset))) & 0x00FFFFFF;
}
template <class Kind>
ColorRef ParamColor(const CDrawObj& obj, ParamField<std::int32_t, Kind> f)
{
    return ParamColor(obj, f.offset);
}

// The characters of GBK text, one view per character (lead-byte aware).
std::vector<std::string_view> SplitGbkChars(std::string_view text);

// Would TextOut of `text` at (x, y) in the selected font touch the clip? Text far outside is
// skipped before it reaches the glyph loops.
bool TextMeetsClip(const Surface& dc, int x, int y, std::string_view text);

// The absolute font height as the painters lay out lines, held to a range no layout
// arithmetic overflows in.
int GlyphHeight(const LogFont& font);

// The work surface a painter composes in: the caller's, or a scratch one of the target's
// size when the caller passed none (same coordinates either way).
class WorkSurface {
public:
    WorkSurface(Surface* given, const Surface& target);
    Surface& operator*() { return *surface_; }
    Surface* operator->() { return surface_; }

private:
    Surface scratch_;
    Surface* surface_;
};

} // namespace qv
