#include "app/layout/layout_geometry.h"

#include "app/commands/command_table.h"

#include <algorithm>

namespace qv::layout {
namespace {

using I64 = std::int64_t;

constexpr AlignCommandDef kAlignCommands[] = {
    {cmd::AlignLeft.key.id, AlignMode::Left, 2},
    {cmd::AlignRight.key.id, AlignMode::Right, 2},
    {cmd::AlignTop.key.id, AlignMode::Top, 2},
    {cmd::AlignBottom.key.id, AlignMode::Bottom, 2},
    {cmd::AlignOnVerticalLine.key.id, AlignMode::CentreOnVerticalLine, 2},
    {cmd::AlignOnHorizontalLine.key.id, AlignMode::CentreOnHorizontalLine, 2},
    {cmd::SameWidth.key.id, AlignMode::SameWidth, 2},
    {cmd::SameHeight.key.id, AlignMode::SameHeight, 2},
    {cmd::SameSize.key.id, AlignMode::SameSize, 2},
    {cmd::CentreInWindowH.key.id, AlignMode::WindowHorizontalLine, 1},
    {cmd::CentreInWindowV.key.id, AlignMode::WindowVerticalLine, 1},
};

constexpr CellCommandDef kCellCommands[] = {
    {cmd::CellLeft.key.id, CellMode::Left},
    {cmd::CellRight.key.id, CellMode::Right},
    {cmd::CellTop.key.id, CellMode::Top},
    {cmd::CellBottom.key.id, CellMode::Bottom},
    {cmd::CellCentreX.key.id, CellMode::CentreX},
    {cmd::CellCentreY.key.id, CellMode::CentreY},
    {cmd::CellSameWidth.key.id, CellMode::SameWidth},
    {cmd::CellSameHeight.key.id, CellMode::SameHeight},
};

template <class Def, std::size_t N> const Def* byId(const Def (&table)[N], int commandId)
{
    for (const Def& def : table)
        if (def.commandId == commandId)
            return &def;
    return nullptr;
}

// A span [start, end) moved so that it starts at `start` keeping `size`.
struct Span {
    I64 start;
    I64 end;
};
Span keepSizeFrom(I64 start, I64 size) { return {start, start + size}; }
Span keepSizeTo(I64 end, I64 size) { return {end - size, end}; }
Span centredOn(I64 centre, I64 size) { return {centredStart(centre, size), centre + size / 2 + size % 2}; }

Rect withX(const Rect& r, Span x) { return Rect::saturated(x.start, r.top, x.end, r.bottom); }
Rect withY(const Rect& r, Span y) { return Rect::saturated(r.left, y.start, r.right, y.end); }

} // namespace

std::span<const AlignCommandDef> alignCommands() { return kAlignCommands; }
const AlignCommandDef* alignCommandById(int commandId) { return byId(kAlignCommands, commandId); }
std::span<const CellCommandDef> cellCommands() { return kCellCommands; }
const CellCommandDef* cellCommandById(int commandId) { return byId(kCellCommands, commandId); }

std::int64_t centredStart(std::int64_t centre, std::int64_t size) { return centre - size / 2; }
std::int64_t centreOf(std::int64_t start, std::int64_t end) { return start + (end - start) / 2; }

Rect alignedRect(AlignMode mode, const Rect& r, const Rect& ref, const Rect& window)
{
    const I64 w = r.width64(), h = r.height64();
    switch (mode) {
    case AlignMode::Left: return withX(r, keepSizeFrom(ref.left, w));
    case AlignMode::Right: return withX(r, keepSizeTo(ref.right, w));
    case AlignMode::Top: return withY(r, keepSizeFrom(ref.top, h));
    case AlignMode::Bottom: return withY(r, keepSizeTo(ref.bottom, h));
    case AlignMode::CentreOnVerticalLine: return withX(r, centredOn(centreOf(ref.left, ref.right), w));
    case AlignMode::CentreOnHorizontalLine: return withY(r, centredOn(centreOf(ref.top, ref.bottom), h));
    case AlignMode::SameWidth: return withX(r, keepSizeFrom(r.left, ref.width64()));
    case AlignMode::SameHeight: return withY(r, keepSizeFrom(r.top, ref.height64()));
    case AlignMode::SameSize:
        return Rect::saturated(r.left, r.top, I64{r.left} + ref.width64(), I64{r.top} + ref.height64());
    case AlignMode::WindowHorizontalLine: return withY(r, centredOn(window.top + window.height64() / 2, h));
    case AlignMode::WindowVerticalLine: return withX(r, centredOn(window.left + window.width64() / 2, w));
    }
    return r;
}

std::vector<int> cellBoundaries(int start, int inner, int count)
{
    std::vector<int> bounds;
    if (inner <= 0 || count <= 0)
        return bounds;
    const int spans = static_cast<int>(std::min<I64>(count, I64{inner} + 1));
    const I64 each = inner / count;
    const I64 wider = inner % count;
    bounds.reserve(static_cast<std::size_t>(spans) + 1);
    I64 x = start;
    bounds.push_back(saturateToInt(x));
    for (I64 i = 0; i < spans; ++i) {
        x += each + (i < wider ? 1 : 0);
        bounds.push_back(saturateToInt(x));
    }
    return bounds;
}

std::optional<TableGrid> tableGrid(const Rect& table, int lineWidth, int rows, int columns)
{
    TableGrid grid;
    // A negative width from a file draws no rule: no room is taken for it either.
    grid.lineWidth = std::max(0, lineWidth);
    const I64 innerW = table.width64() - grid.lineWidth;
    const I64 innerH = table.height64() - grid.lineWidth;
    if (innerW <= 0 || innerH <= 0)
        return std::nullopt;
    grid.xs = cellBoundaries(table.left, saturateToInt(innerW), columns);
    grid.ys = cellBoundaries(table.top, saturateToInt(innerH), rows);
    if (grid.xs.size() < 2 || grid.ys.size() < 2)
        return std::nullopt;
    return grid;
}

std::optional<Rect> TableGrid::cellHolding(const Rect& r) const
{
    // The last span whose cell starts at or before the edge is the only one that can hold it.
    const auto spanHolding = [a = I64{lineWidth}](const std::vector<int>& bounds, int lo, int hi) -> std::optional<std::size_t> {
        const auto first = bounds.begin();
        const auto last = bounds.end() - 1; // the final boundary starts no span
        const auto it = std::upper_bound(first, last, I64{lo}, [a](I64 v, int b) { return v < b + a; });
        if (it == first)
            return std::nullopt;
        const std::size_t i = static_cast<std::size_t>(it - first) - 1;
        if (hi > bounds[i + 1])
            return std::nullopt;
        return i;
    };
    const auto col = spanHolding(xs, r.left, r.right);
    const auto row = spanHolding(ys, r.top, r.bottom);
    if (!col || !row)
        return std::nullopt;
    return Rect::saturated(I64{xs[*col]} + lineWidth, I64{ys[*row]} + lineWidth, xs[*col + 1], ys[*row + 1]);
}

Rect placedInCell(CellMode mode, const Rect& r, const Rect& cell)
{
    const I64 w = r.width64(), h = r.height64();
    switch (mode) {
    case CellMode::Left: return withX(r, keepSizeFrom(cell.left, w));
    case CellMode::Right: return withX(r, keepSizeTo(cell.right, w));
    case CellMode::Top: return withY(r, keepSizeFrom(cell.top, h));
    case CellMode::Bottom: return withY(r, keepSizeTo(cell.bottom, h));
    case CellMode::CentreX: return withX(r, keepSizeFrom(cell.left + cell.width64() / 2 - w / 2, w));
    case CellMode::CentreY: return withY(r, keepSizeFrom(cell.top + cell.height64() / 2 - h / 2, h));
    case CellMode::SameWidth: return withX(r, {cell.left, cell.right});
    case CellMode::SameHeight: return withY(r, {cell.top, cell.bottom});
    }
    return r;
}

Rect arrowStep(Arrow arrow, bool grow, const Rect& r)
{
    const int dx = arrow == Arrow::Left ? -1 : arrow == Arrow::Right ? 1 : 0;
    const int dy = arrow == Arrow::Up ? -1 : arrow == Arrow::Down ? 1 : 0;
    if (!grow)
        return r.offset(dx, dy);
    return Rect::saturated(I64{r.left} + std::min(dx, 0), I64{r.top} + std::min(dy, 0), I64{r.right} + std::max(dx, 0),
                           I64{r.bottom} + std::max(dy, 0));
}

} // namespace qv::layout
