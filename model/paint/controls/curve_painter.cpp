// Curve (kind 11): background, grid and value labels, then up to 64 curves read from
// arrays of HMI variables. The painter stores the layout it used back into the block (the
// largest curve size, the top value rounded to the label step, the plot area), which the
// compiler reads for the panel.
#include "model/document/document_environment.h"
#include "model/document/draw_doc.h"
#include "model/paint/controls/control_run_rules.h"
#include "model/paint/controls/curve_bar_table_painters.h"
#include "model/paint/controls/line_bands.h"
#include "model/paint/number_format.h"
#include "model/paint/paint_rules.h"
#include "model/params/blocks/curve_block.h"
#include "model/params/object_var_refs.h"
#include "model/vars/hmi_var_table.h"
#include "model/vars/var_bank.h"
#include "model/vars/var_types.h"

#include <algorithm>
#include <limits>

namespace qv {
namespace {

using namespace blocks::curve;

// Counts and sizes come from files: a curve shows at most this many labels, and its pens,
// dots and bars are at most this wide (the points themselves are bounded by the memory).
constexpr int kMaxLabels = 256;
constexpr int kMaxMarkSize = 64;

struct CurveRecord {
    std::int32_t index;
    ColorRef color;
    int style;
    int size;  // pen width, dot size or bar width (16-bit)
};

CurveRecord recordAt(const CDrawObj& obj, int i)
{
    const Record f = record(i);
    return {obj.Param(f.index), ParamColor(obj, f.color), obj.Param(f.style), static_cast<int>(obj.Param(f.lineWidth))};
}

// The widest of the characters a label can hold, plus one pixel.
std::int64_t labelCharWidth(const Surface& dc)
{
    std::int64_t d = 0;
    for (const char c : std::string_view("0123456789-."))
        d = std::max<std::int64_t>(d, dc.textExtent(std::string_view(&c, 1)).cx + 1);
    return d;
}

std::int16_t toInt16(std::int64_t v)
{
    return static_cast<std::int16_t>(
        std::clamp<std::int64_t>(v, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()));
}

// Where the records' variable rows get their addresses and types: the caller's look-up,
// else the project's table, else the one the object's own window carries.
VarResolver curveVarLookup(const CDrawObj& obj, const PaintContext& ctx)
{
    if (ctx.lookupVar)
        return ctx.lookupVar;
    if (const CDrawDoc* project = documentEnvironment().ProjectDocument())
        return resolverFor(&project->m_varTable);
    return resolverFor(obj.m_pOwnerDoc ? &obj.m_pOwnerDoc->m_varTable : nullptr);
}

struct PlotArea {
    std::int64_t left, bottom, width, height;
};

struct ValueRange {
    std::int64_t bottom, top;
};

// Step 6: the labels down the left side. Returns the width of the label column (0 without
// labels). A label count below 2 has no step between labels and shows none.
std::int64_t paintLabels(CDrawObj& obj, Surface& dc, const Rect& r, ValueRange& range, std::int64_t s)
{
    const int count = obj.Param(kLabelCount);
    if (obj.Param(kNoLabels) != 0 || count < 2)
        return 0;
    const std::int64_t gaps = std::min(count, kMaxLabels) - 1;
    const std::int64_t step = (range.top - range.bottom) / gaps;
    range.top -= (range.top - range.bottom) % gaps;
    obj.SetParam(kTopValue, static_cast<std::int32_t>(range.top));

    const int decimals = obj.Param(kLabelDecimals);
    const int chars = static_cast<int>(
        std::max(FormatCurveValue(range.top, decimals).size(), FormatCurveValue(range.bottom, decimals).size()));
    const std::int64_t column = chars * labelCharWidth(dc);
    const std::int64_t h = GlyphHeight(obj.m_logfont);
    const std::int64_t bm = obj.Param(kBottomMargin), lm = obj.Param(kLeftMargin);
    const std::int64_t rowSpan = r.height64() - bm - s;
    dc.setTextColor(ParamColor(obj, kLabelColor));
    dc.setBkMode(TRANSPARENT);
    for (std::int64_t j = 0; j <= gaps; ++j) {
        const std::int64_t y = std::max<std::int64_t>(r.bottom - ScaleBy(j, rowSpan, gaps) - bm, r.top);
        std::int64_t boxTop = j == 0 ? y - h : y - h / 2;
        if (j == gaps)
            boxTop = std::max<std::int64_t>(boxTop, r.top);
        const Rect box = Rect::saturated(r.left + lm, boxTop, r.left + lm + column, boxTop + h);
        dc.drawText(FormatSignedDecimal2(range.bottom + j * step, decimals, chars, kFillNone, false), box,
                    DT_RIGHT | DT_SINGLELINE);
    }
    return column;
}

// Step 7: the grid right of the labels. Returns its line width (0 without a grid).
std::int64_t paintGrid(const CDrawObj& obj, Surface& dc, const Rect& r, std::int64_t column, std::int64_t s)
{
    if (obj.Param(kNoGrid) != 0)
        return 0;
    const std::int64_t w = std::max(0, obj.Param(kGridWidth));
    const std::int64_t bm = obj.Param(kBottomMargin), lm = obj.Param(kLeftMargin);
    const ColorRef color = ParamColor(obj, kGridColor);
    const std::int64_t x0 = r.left + column + lm;
    // A box too small for its labels and margins puts every line on the plot's edge.
    const std::int64_t spanX = std::max<std::int64_t>(0, r.width64() - column - lm - s);
    const std::int64_t spanY = std::max<std::int64_t>(0, r.height64() - bm - s);
    // A division count below 1 has no lines that way.
    if (const std::int64_t v = obj.Param(kVerticalDivisions); v >= 1)
        FillColumnBands(dc, {x0, v, w, [=](std::int64_t j) { return ScaleBy(spanX, j, v); }, false}, r.top,
                        std::int64_t{r.bottom} - bm, color);
    if (const std::int64_t n = obj.Param(kHorizontalDivisions); n >= 1)
        FillRowBands(dc, {std::int64_t{r.bottom} - bm, n, w, [=](std::int64_t j) { return ScaleBy(j, spanY, n); }, true},
                     x0, r.right, color);
    return w;
}

// Step 8: the plot area, stored as 16-bit values for the compiler and used as stored.
PlotArea storePlotArea(CDrawObj& obj, const Rect& r, std::int64_t column, std::int64_t b, std::int64_t s)
{
    const std::int64_t bm = obj.Param(kBottomMargin), lm = obj.Param(kLeftMargin);
    const std::int16_t area[] = {
        toInt16(b + lm + r.left + column),
        toInt16(std::int64_t{r.bottom} - bm - b - 1),
        toInt16(std::int64_t{r.right} - s - lm - b - r.left - column),
        toInt16(std::int64_t{r.bottom} - s - bm - r.top - b),
    };
    const Field<std::uint16_t> fields[] = {kPlotLeft, kPlotBottom, kPlotWidth, kPlotHeight};
    for (int i = 0; i < 4; ++i)
        obj.SetParam(fields[i], static_cast<std::uint16_t>(area[i]));
    return {area[0], area[1], area[2], area[3]};
}

// Step 9: one curve. Points past the end of the memory are not drawn; a point that falls
// outside the range is held at its edge, or skipped when the block says so.
void paintOneCurve(const CDrawObj& obj, Surface& dc, const PaintContext& ctx, const CurveRecord& rec,
                   const VarResolver& lookup, const PlotArea& plot, const ValueRange& range)
{
    const VarBinding bind = lookup(rec.index);
    const HmiVarType* type = bind.type ? hmiVarTypeByCode(*bind.type) : nullptr;
    const std::int64_t points = obj.Param(kPointCount);
    if (bind.address < 0 || type == nullptr || points < 1 || rec.style > kBars)
        return;
    const std::int64_t inMemory = std::min(points, std::max<std::int64_t>(0, (kVarMemSize - bind.address) / type->width));
    const bool reversed = obj.Param(kCurveType) == 1 && obj.Param(kShiftDirection) == 0;
    const bool drop = obj.Param(kStopOutOfRange) != 0;
    const int size = std::min(rec.size, kMaxMarkSize);
    dc.selectPen({PS_INSIDEFRAME, size, rec.color});
    dc.selectBrush({BS_SOLID, rec.color});

    // Point k shows element k, or element points - 1 - k when reversed.
    const std::int64_t first = reversed ? points - inMemory : 0;
    bool started = false;
    for (std::int64_t k = first; k < first + inMemory; ++k) {
        const std::int64_t element = reversed ? points - 1 - k : k;
        const auto raw = ctx.readVar(bind.address + element * type->width, type->code);
        if (!raw)
            continue;
        std::int64_t v = *raw;
        bool clamped = false;
        if (v > range.top)
            v = range.top, clamped = true;
        if (v < range.bottom)
            v = range.bottom, clamped = true;
        if (clamped && drop)
            continue;
        // Equal top and bottom values leave no height to spread over: the points lie on the
        // plot's bottom line.
        const std::int64_t dy = range.top == range.bottom ? 0 : ScaleBy(v - range.bottom, plot.height, range.top - range.bottom);
        const int y = saturateToInt(plot.bottom - dy);
        const int x = saturateToInt(k == 0 ? plot.left : plot.left + ScaleBy(plot.width, k, points - 1));
        switch (rec.style) {
        case kPolyline:
            // The first point drawn starts the line, even when earlier ones were skipped.
            if (started)
                dc.lineTo(x, y);
            else
                dc.moveTo(x, y);
            break;
        case kDots: dc.fillRect(Rect::saturated(x, std::int64_t{y} - size + 1, std::int64_t{x} + size, std::int64_t{y} + 1), rec.color); break;
        default: dc.fillRect(Rect::saturated(x, y, std::int64_t{x} + size, plot.bottom + 1), rec.color); break;
        }
        started = true;
    }
}

} // namespace

std::string FormatCurveValue(std::int64_t value, int decimals)
{
    return FormatSignedDecimal(value, decimals, 32, kFillNone, false);
}

void PaintCurve(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx)
{
    Surface& dc = dcs.target;
    const Rect r = obj.m_rcPosition.normalized();
    const int count = curveRecordCount(obj.m_Params);
    const ControlVarRef hide = ReadControlRef(obj, "hide");
    const bool hideOption = obj.Param(kHideOption) != 0;
    bool unbound = hideOption && !hide.bound();
    for (int i = 0; i < count && !unbound; ++i)
        unbound = recordAt(obj, i).index < 0;
    if (unbound) {
        DrawInvalid(obj, dc);
        return;
    }
    if (HideEndsPaint(obj, dc, ctx, hideOption, hide, obj.Param(kHideBit)))
        return;

    std::int64_t s = 0;
    for (int i = 0; i < count; ++i)
        s = std::max<std::int64_t>(s, recordAt(obj, i).size);
    obj.SetParam(kLargestSize, static_cast<std::int32_t>(s));

    SurfaceStateGuard guard(dc);
    if (obj.Param(kTransparent) == 0)
        dc.fillRect(r, ParamColor(obj, kBackColor));
    dc.selectFont(obj.m_logfont);
    ValueRange range{obj.Param(kBottomValue), obj.Param(kTopValue)};
    const std::int64_t column = paintLabels(obj, dc, r, range, s);
    const std::int64_t b = paintGrid(obj, dc, r, column, s);
    const PlotArea plot = storePlotArea(obj, r, column, b, s);

    if (dcs.work2 == nullptr)
        return; // the compiler's render: the panel draws the curves
    const VarResolver lookup = curveVarLookup(obj, ctx);
    for (int i = 0; i < count; ++i)
        paintOneCurve(obj, dc, ctx, recordAt(obj, i), lookup, plot, range);
}

} // namespace qv
