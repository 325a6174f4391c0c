// Table (kind 24): a grid of rules, painted with the shapes.
#include "model/paint/controls/curve_bar_table_painters.h"
#include "model/paint/controls/line_bands.h"
#include "model/params/blocks/table_block.h"

#include <algorithm>

namespace qv {
namespace {

// Cells + 1 rules of thickness w spread over `side`: the rule k starts at
// k x base + min(k, extra), so the first `extra` gaps are one pixel wider. The thickness is
// held to the side, so the step is never negative.
LineBands tableRules(std::int64_t origin, std::int64_t side, std::int64_t cells, std::int64_t w)
{
    w = std::clamp<std::int64_t>(w, 0, side);
    const std::int64_t base = (side - w) / cells, extra = (side - w) % cells;
    return {origin, cells + 1, w, [base, extra](std::int64_t k) { return k * base + std::min(k, extra); }, false};
}

} // namespace

void PaintTable(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext&)
{
    using namespace blocks::table;
    const Rect r = obj.m_rcPosition.normalized();
    const std::int64_t rows = obj.Param(kRows), columns = obj.Param(kColumns);
    if (rows < 1 || columns < 1)
        return; // a table needs a cell each way; a file holding 0 draws nothing
    const ColorRef color = static_cast<ColorRef>(obj.Param(kLineColor)) & 0x00FFFFFF;
    const std::int64_t w = obj.Param(kLineWidth);
    FillColumnBands(dcs.target, tableRules(r.left, r.width64(), columns, w), r.top, r.bottom, color);
    FillRowBands(dcs.target, tableRules(r.top, r.height64(), rows, w), r.left, r.right, color);
}

} // namespace qv
