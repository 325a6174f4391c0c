#pragma once
// The arithmetic of the layout commands, free of any widget: aligning and sizing against a
// reference rectangle or the window, the cells of a table, placing inside a cell, and the
// arrow-key step. Every rectangle here is normalised; sums are worked out in 64 bits and
// held to the int range, so positions read from any file cannot overflow.
#include "platform/surface/geometry.h"

#include <optional>
#include <span>
#include <vector>

namespace qv::layout {

// Align, same-size and centre commands (one family: each selected object against the first
// selected one, or against the window area).
enum class AlignMode {
    Left, Right, Top, Bottom,
    CentreOnVerticalLine,     // horizontal centres on the reference's vertical centre line
    CentreOnHorizontalLine,   // vertical centres on the reference's horizontal centre line
    SameWidth, SameHeight, SameSize,
    WindowHorizontalLine,     // vertical centre on the window's horizontal centre line
    WindowVerticalLine,       // horizontal centre on the window's vertical centre line
};

struct AlignCommandDef {
    int commandId;
    AlignMode mode;
    int minSelection;         // the command is offered from this many selected objects
};
std::span<const AlignCommandDef> alignCommands();
const AlignCommandDef* alignCommandById(int commandId);

// Left (top) edge that puts a span of `size` centred on `centre`: c - size/2, so the right
// (bottom) edge c + size/2 + size%2 keeps the size.
std::int64_t centredStart(std::int64_t centre, std::int64_t size);
// The centre of a span as the commands take it: start + (end - start) / 2.
std::int64_t centreOf(std::int64_t start, std::int64_t end);

// `r` and `ref` normalised; `window` is the window area. The result is before the push back
// into the window.
Rect alignedRect(AlignMode mode, const Rect& r, const Rect& ref, const Rect& window);

// In-cell placement commands.
enum class CellMode { Left, Right, Top, Bottom, CentreX, CentreY, SameWidth, SameHeight };
struct CellCommandDef {
    int commandId;
    CellMode mode;
};
std::span<const CellCommandDef> cellCommands();
const CellCommandDef* cellCommandById(int commandId);

// A table's column (or row) boundaries: x_0 = start and the first `remainder` spans one
// wider. At most `inner + 1` spans are given: any further ones would be empty and repeat
// the last boundary, so a count from a file cannot make the list huge.
std::vector<int> cellBoundaries(int start, int inner, int count);

// The table geometry of kind 24 read from its block: the cell grid of the normalised
// position, or nullopt when it has no cells (no rows, no columns, or no room inside).
struct TableGrid {
    int lineWidth = 0;
    std::vector<int> xs;   // column starts, then the right end of the last column
    std::vector<int> ys;
    // The cell (column, row) that holds `r` (edges may touch), if any.
    std::optional<Rect> cellHolding(const Rect& r) const;
};
std::optional<TableGrid> tableGrid(const Rect& table, int lineWidth, int rows, int columns);

Rect placedInCell(CellMode mode, const Rect& r, const Rect& cell);

// The arrow keys: a plain arrow moves by one pixel; a growing arrow moves the edge on the
// arrow's side out by one pixel. Arrows: 37 left, 38 up, 39 right, 40 down.
enum class Arrow { Left = 37, Up = 38, Right = 39, Down = 40 };
Rect arrowStep(Arrow arrow, bool grow, const Rect& r);

} // namespace qv::layout
