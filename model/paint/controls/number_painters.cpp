#include "model/paint/controls/number_painters.h"

#include "model/paint/controls/control_run_rules.h"
#include "model/paint/gradient.h"
#include "model/paint/number_format.h"
#include "model/paint/paint_rules.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

namespace qv {

namespace {

// Memory byte (from the value's address) of each byte of the number, by byte order.
constexpr std::array<std::array<int, 8>, 8> kFloatOrders{{
    {0, 1, 2, 3}, {1, 0, 3, 2}, {3, 2, 1, 0}, {2, 3, 0, 1},
    {0, 1, 2, 3, 4, 5, 6, 7}, {1, 0, 3, 2, 5, 4, 7, 6}, {7, 6, 5, 4, 3, 2, 1, 0}, {6, 7, 4, 5, 2, 3, 0, 1},
}};
constexpr int kFirstDoubleOrder = 4;

// The references a real-time number needs bound, in the order they are tested; those with
// an option are needed only while the option is on.
constexpr RequiredRef kRequiredRefs[] = {
    {"value"},
    {"hide", blocks::number::kHideOn},
    {"write enable", blocks::number::kWriteOn},
    {"move", blocks::number::kMoveOn},
    {"font colour", blocks::number::kFontVarOn},
    {"background colour", blocks::number::kBackVarOn},
};

// Characters the font is measured on: the digits, '-', '+', ' ' (the pitch) and '.' (its own
// width). The picture font keeps its pictures in the same order.
constexpr std::string_view kNumberChars = "0123456789-+ .";
constexpr std::size_t kDotEntry = 13;
// The numeric input box measures these; its pitch is the widest plus one.
constexpr std::string_view kKeypadChars = "0123456789-.*";
// Right-aligned input shows at most this many characters.
constexpr std::size_t kMaxShownChars = 33;

std::optional<ColorRef> readRgb565(const PaintContext& ctx, const ControlVarRef& ref)
{
    const auto v = ctx.readVar(ref.address, 3);
    if (!v)
        return std::nullopt;
    const auto c = Rgb565ToRgb(static_cast<std::uint16_t>(*v));
    return rgb(c[0], c[1], c[2]);
}

// Everything the number shows that comes from the variable memory, read before anything is
// drawn: a value that cannot be read shows the control as unbound.
struct NumberLook {
    std::string text;
    ColorRef textColor;
    std::optional<ColorRef> variableBackground;
};

std::optional<NumberLook> readLook(const CDrawObj& obj, const PaintContext& ctx)
{
    using namespace blocks::number;
    NumberLook look;
    auto text = RealTimeValueText(obj, ctx);
    if (!text)
        return std::nullopt;
    look.text = std::move(*text);
    look.textColor = ParamColor(obj, kFontColor);
    if (obj.Param(kFontVarOn) != 0) {
        const auto c = readRgb565(ctx, ReadControlRef(obj, "font colour"));
        if (!c)
            return std::nullopt;
        look.textColor = *c;
    }
    if (obj.Param(kBackVarOn) != 0) {
        look.variableBackground = readRgb565(ctx, ReadControlRef(obj, "background colour"));
        if (!look.variableBackground)
            return std::nullopt;
    }
    return look;
}

// Draws the background and border; returns the rectangle the characters are laid out in.
Rect paintBackground(const CDrawObj& obj, const NumberLook& look, const Rect& r, int border, Surface& dc)
{
    using namespace blocks::number;
    if (look.variableBackground) {
        dc.fillRect(r, *look.variableBackground);
        return r;
    }
    const ColorRef borderColor = ParamColor(obj, kBorderColor);
    dc.selectBrush(obj.Param(kTransparent) != 0 ? kNullBrush : Brush{BS_SOLID, ParamColor(obj, kBackColor)});
    dc.selectPen(border == 0 ? kNullPen : Pen{PS_INSIDEFRAME, border, borderColor});
    dc.rectangle(r);
    if (obj.Param(kBorderType) == 1)
        DrawBorderRings3d(dc, r, border, borderColor);
    return r.deflated(border);
}

// A line of characters across the box: `thickness` pixels across, centred; turned lines
// read from the bottom edge upwards.
struct NumberLine {
    Rect box;
    bool vertical;
    int thickness;

    std::int64_t length() const { return vertical ? box.height64() : box.width64(); }
    std::int64_t room() const { return vertical ? box.width64() : box.height64(); }
    std::int64_t across() const
    {
        return vertical ? box.left + (box.width64() - thickness) / 2 : box.top + (box.height64() - thickness) / 2;
    }
    Rect cell(const NumberCell& c) const
    {
        const std::int64_t a = across();
        if (!vertical)
            return Rect::saturated(box.left + c.offset, a, box.left + c.offset + c.length, a + thickness);
        const std::int64_t bottom = box.bottom - c.offset;
        return Rect::saturated(a, bottom - c.length, a + thickness, bottom);
    }
    // The upright box a turned cell is drawn in before it is turned.
    static Rect upright(const Rect& cell) { return Rect::saturated(cell.left, cell.top, std::int64_t{cell.left} + cell.height64(), std::int64_t{cell.top} + cell.width64()); }
};

// The turned cell: the upright block in `upright` of `from` turned into `cell` of `to`.
void turnInto(Surface& to, const Rect& cell, const Surface& from, const Rect& upright)
{
    CopyRotated90(to, cell.left, 0, 0, cell.bottom, from, upright.left, upright.top, upright.right, upright.bottom);
}

struct WorkPair {
    WorkSurface one, two;
};

std::optional<std::size_t> pictureEntry(std::string_view ch)
{
    const std::size_t at = ch.size() == 1 ? kNumberChars.find(ch[0]) : std::string_view::npos;
    return at == std::string_view::npos ? std::nullopt : std::optional<std::size_t>(at);
}

void drawCharPicture(const Picture& pic, const Rect& cell, bool vertical, std::optional<ColorRef> key, Surface& target,
                     WorkPair& work)
{
    if (!vertical && !key) {
        drawPicture(target, pic, cell);
        return;
    }
    if (!vertical) {
        work.one->fillRect(cell, *key);
        drawPicture(*work.one, pic, cell);
        target.transparentBlt(cell, *work.one, cell, *key);
        return;
    }
    const Rect up = NumberLine::upright(cell);
    work.two->fillRect(up, key.value_or(0));
    drawPicture(*work.two, pic, up);
    if (!key) {
        turnInto(target, cell, *work.two, up);
        return;
    }
    work.one->fillRect(cell, *key);
    turnInto(*work.one, cell, *work.two, up);
    target.transparentBlt(cell, *work.one, cell, *key);
}

void paintPictureChars(const CDrawObj& obj, const NumberLook& look, const Rect& inner, bool live, const PaintSurfaces& dcs,
                       const PaintContext& ctx)
{
    using namespace blocks::number;
    const auto& files = obj.m_strFiles;
    if (files.empty())
        return;
    const PicturePtr digit = LoadStoredPicture(ctx, files[0]);
    const PicturePtr dot = files.size() > kDotEntry ? LoadStoredPicture(ctx, files[kDotEntry]) : nullptr;
    if (!digit || !dot)
        return;
    const NumberLine line{inner, obj.Param(kTurned) != 0, digit->height()};
    if (live && line.room() < line.thickness)
        return;
    const std::optional<ColorRef> key =
        obj.Param(kPictureTransparent) != 0 ? std::optional<ColorRef>(ParamColor(obj, kPictureKey)) : std::nullopt;
    WorkPair work{{dcs.work1, dcs.target}, {dcs.work2, dcs.target}};
    const auto chars = SplitGbkChars(look.text);
    for (const NumberCell& c : LayoutNumberLine(chars, digit->width(), dot->width(), obj.Param(kAlignment), line.length())) {
        // A character without a picture ends the line there.
        const auto entry = pictureEntry(chars[c.charIndex]);
        const PicturePtr pic = entry && *entry < files.size() ? LoadStoredPicture(ctx, files[*entry]) : nullptr;
        if (!pic)
            return;
        drawCharPicture(*pic, line.cell(c), line.vertical, key, dcs.target, work);
    }
}

// The cell width a character takes in the selected font: its advance, as far as the
// measuring box of `scanWidth` pixels reaches.
int measuredWidth(const Surface& dc, char ch, int scanWidth)
{
    return std::min(dc.textExtent(std::string_view(&ch, 1)).cx, scanWidth);
}

void paintFontChars(const CDrawObj& obj, const NumberLook& look, const Rect& inner, bool live, const PaintSurfaces& dcs)
{
    using namespace blocks::number;
    Surface& dc = dcs.target;
    const NumberLine line{inner, obj.Param(kTurned) != 0, GlyphHeight(obj.m_logfont)};
    if (live && line.room() < line.thickness)
        return;
    dc.selectFont(obj.m_logfont);
    const int scanWidth = 2 * line.thickness + 320;
    int pitch = 0;
    for (std::size_t i = 0; i < kDotEntry; ++i)
        pitch = std::max(pitch, measuredWidth(dc, kNumberChars[i], scanWidth));
    const int dotWidth = measuredWidth(dc, kNumberChars[kDotEntry], scanWidth);

    dc.setBkMode(TRANSPARENT);
    dc.setTextColor(look.textColor);
    dc.setTextAlign(TA_LEFT | TA_TOP);
    const auto chars = SplitGbkChars(look.text);
    const auto cells = LayoutNumberLine(chars, pitch, dotWidth, obj.Param(kAlignment), line.length());
    if (!line.vertical) {
        for (const NumberCell& c : cells) {
            const Rect cell = line.cell(c);
            if (TextMeetsClip(dc, cell.left, cell.top, chars[c.charIndex]))
                dc.textOut(cell.left, cell.top, chars[c.charIndex]);
        }
        return;
    }
    // Turned characters: drawn upright on the inverse of the text colour, turned, and copied
    // with that colour left out.
    const ColorRef key = invertColor(look.textColor);
    WorkPair work{{dcs.work1, dcs.target}, {dcs.work2, dcs.target}};
    SurfaceStateGuard uprightState(*work.two);
    work.two->selectFont(obj.m_logfont);
    work.two->setBkMode(TRANSPARENT);
    work.two->setTextColor(look.textColor);
    work.two->setTextAlign(TA_LEFT | TA_TOP);
    for (const NumberCell& c : cells) {
        const Rect cell = line.cell(c);
        const Rect up = NumberLine::upright(cell);
        if (cell.intersected(dc.clipRect()).isEmpty() || !TextMeetsClip(*work.two, up.left, up.top, chars[c.charIndex]))
            continue;
        work.two->fillRect(up, key);
        work.two->textOut(up.left, up.top, chars[c.charIndex]);
        work.one->fillRect(cell, key);
        turnInto(*work.one, cell, *work.two, up);
        dc.transparentBlt(cell, *work.one, cell, key);
    }
}

} // namespace

std::optional<double> ReadFloatValue(const PaintContext& ctx, std::int64_t address, int order)
{
    if (order < 0 || order >= static_cast<int>(kFloatOrders.size()))
        order = 0;
    const bool isDouble = order >= kFirstDoubleOrder;
    const std::size_t size = isDouble ? 8 : 4;
    std::array<unsigned char, 8> bytes{};
    for (std::size_t i = 0; i < size; ++i) {
        const auto b = ctx.readVar(address + kFloatOrders[static_cast<std::size_t>(order)][i], 1);
        if (!b)
            return std::nullopt;
        bytes[i] = static_cast<unsigned char>(*b);
    }
    if (isDouble) {
        double d;
        std::memcpy(&d, bytes.data(), sizeof d);
        return d;
    }
    float f;
    std::memcpy(&f, bytes.data(), sizeof f);
    return f;
}

std::optional<std::string> RealTimeValueText(const CDrawObj& obj, const PaintContext& ctx)
{
    using namespace blocks::number;
    const ControlVarRef value = ReadControlRef(obj, "value");
    const int decimals = obj.Param(kDecimals), digits = obj.Param(kDigits), fill = obj.Param(kFill);
    const bool plus = obj.Param(kPlusSign) != 0;
    if (obj.Param(kToFloat) != 0) {
        const auto v = ReadFloatValue(ctx, value.address, obj.Param(kFloatOrder));
        if (!v)
            return std::nullopt;
        // "{:f}" is "%lf" without the locale: six decimals, "nan" and "inf" as words.
        return ReformatDecimalText(fmt::format("{:f}", *v), decimals, digits, fill, plus);
    }
    const auto v = ctx.readVar(value.address, value.type);
    if (!v)
        return std::nullopt;
    if (value.type % 2 == 0)
        return FormatSignedDecimal2(*v, decimals, digits, fill, plus);
    return FormatUnsignedDecimal(static_cast<std::uint32_t>(*v), decimals, digits, fill, plus);
}

std::vector<NumberCell> LayoutNumberLine(std::span<const std::string_view> chars, int pitch, int dotWidth, int alignment,
                                         std::int64_t lineLength)
{
    using namespace blocks::number;
    pitch = std::max(pitch, 0);
    dotWidth = std::max(dotWidth, 0);
    const auto widthOf = [&](std::size_t i) { return chars[i] == "." ? dotWidth : pitch; };
    std::vector<NumberCell> cells;
    if (alignment == kAlignEnd) {
        std::int64_t end = lineLength;
        for (std::size_t i = chars.size(); i-- > 0;) {
            const int w = widthOf(i);
            if (end - w < 0)
                break;
            end -= w;
            cells.push_back({i, end, w});
        }
        return cells;
    }
    std::size_t first = 0;
    std::int64_t at = 0;
    if (alignment == kAlignCentre) {
        std::int64_t total = 0;
        for (std::size_t i = 0; i < chars.size(); ++i)
            total += widthOf(i);
        while (total > lineLength && first < chars.size())
            total -= widthOf(first++);
        at = (lineLength - total) / 2;
    }
    for (std::size_t i = first; i < chars.size(); ++i) {
        const int w = widthOf(i);
        if (at + w > lineLength)
            break;
        cells.push_back({i, at, w});
        at += w;
    }
    return cells;
}

void PaintRealTimeData(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx)
{
    using namespace blocks::number;
    Rect r = obj.m_rcPosition.normalized();
    if (AnyRequiredUnbound(kRequiredRefs, obj)) {
        DrawInvalid(obj, dcs.target);
        return;
    }
    if (HideEndsPaint(obj, dcs.target, ctx, obj.Param(kHideOn) != 0, ReadControlRef(obj, "hide"),
                      obj.Param(kHideBit)))
        return;
    const bool live = IsLivePaint(ctx);
    r = MovedByVariable(ctx, obj.Param(kMoveOn) != 0, ReadControlRef(obj, "move"), r);
    const int border = std::clamp(obj.Param(kBorderWidth), 0, kMaxBorderRings);
    if (2 * std::int64_t{border} >= r.width64() || r.height64() < 2 * std::int64_t{border})
        return;
    const auto look = readLook(obj, ctx);
    if (!look) {
        DrawInvalid(obj, dcs.target);
        return;
    }
    SurfaceStateGuard guard(dcs.target);
    const Rect inner = paintBackground(obj, *look, r, border, dcs.target);
    if (obj.Param(kPictureFont) != 0)
        paintPictureChars(obj, *look, inner, live, dcs, ctx);
    else
        paintFontChars(obj, *look, inner, live, dcs);
}

std::string NumericInputSample(bool password)
{
    return password ? std::string(9, '*') : std::string("123456789");
}

void PaintNumericInput(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx)
{
    using namespace blocks::numeric_input;
    const Rect r = obj.m_rcPosition.normalized();
    const bool live = IsLivePaint(ctx);
    const int mode = obj.Param(kMode);
    const bool showsLimit = mode == kShowMinimum || mode == kShowMaximum;
    const bool password = obj.Param(lowByte(kPassword)) != 0;
    std::string text;
    if (!live) {
        text = NumericInputSample(password);
    } else if (showsLimit) {
        if (!ctx.inputTarget)
            return;
        const CDrawObj& edited = *ctx.inputTarget;
        const int limit = edited.Param(mode == kShowMinimum ? blocks::number::kMinimum : blocks::number::kMaximum);
        text = FormatSignedDecimal2(limit, edited.Param(blocks::number::kDecimals), edited.Param(blocks::number::kDigits),
                                    kFillNone, false);
    } else {
        text = password ? std::string(SplitGbkChars(ctx.keypadText).size(), '*') : ctx.keypadText;
    }

    const int h = GlyphHeight(obj.m_logfont);
    obj.SetParam(kCharHeight, h);
    if (live && r.height64() < h)
        return;
    const int y = saturateToInt(r.top + (r.height64() - h) / 2);

    Surface& dc = dcs.target;
    SurfaceStateGuard guard(dc);
    dc.selectFont(obj.m_logfont);
    // Measured by the whole advance: a box of 2h pixels would cut the pitch of a font whose
    // height is 0 (the default size) down to nothing.
    int pitch = 0;
    for (char c : kKeypadChars)
        pitch = std::max(pitch, measuredWidth(dc, c, std::numeric_limits<int>::max() - 1) + 1);
    obj.SetParam(kPitch, pitch);

    dc.fillRect(r, ParamColor(obj, kBackColor));
    dc.setBkMode(TRANSPARENT);
    dc.setTextColor(ParamColor(obj, kTextColor));
    dc.setTextAlign(TA_LEFT | TA_TOP);
    const auto chars = SplitGbkChars(text);
    if (obj.Param(lowByte(kLeftAligned)) == 1 || showsLimit) {
        // Characters left of the clip are skipped and those right of it end the line, so a
        // long text in a box far wider than the surface costs nothing.
        const Rect& clip = dc.clipRect();
        std::int64_t x = r.left;
        for (std::string_view ch : chars) {
            if (x + pitch >= r.right || x >= clip.right)
                break;
            if (x + pitch > clip.left && TextMeetsClip(dc, static_cast<int>(x), y, ch))
                dc.textOut(static_cast<int>(x), y, ch);
            x += pitch;
        }
        return;
    }
    std::int64_t x = std::int64_t{r.right} - pitch;
    for (std::size_t i = std::min(chars.size(), kMaxShownChars); i-- > 0 && x >= r.left; x -= pitch)
        if (TextMeetsClip(dc, static_cast<int>(x), y, chars[i]))
            dc.textOut(static_cast<int>(x), y, chars[i]);
}

} // namespace qv
