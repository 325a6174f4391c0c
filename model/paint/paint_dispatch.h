#pragma once
// The one paint entry of the shape object and a document's two-pass paint. Which painter
// draws a kind, in which pass, and whether it marks the object as a control, is one table.
#include "model/paint/paint_context.h"
#include "model/shape/draw_obj.h"

#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace qv {

using KindPainter = void (*)(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx);

enum class PaintPass { Shapes, Controls, Never };

struct KindPaintRule {
    PaintPass pass;
    bool control;          // the paint sets m_bControl to 1
    KindPainter painter;   // nullptr: draws nothing (the reserved kinds)
    // The painter only draws, inside the object's position widened by its pen's band:
    // where that area is not repainted, leaving it out changes nothing.
    bool staysInBox = false;
};

// The rule of a kind; kinds outside the table are never painted.
KindPaintRule PaintRuleFor(ShapeKind kind);

// Replaces the painter of a kind that is not reserved (tests plant a probe this way). Call
// before any paint, never while one runs.
void SetKindPainter(ShapeKind kind, KindPainter painter);

// Slot 8: selects the object's pen and brush, then paints it when the pass byte allows
// (pass 0: shapes only, 1: controls only, anything else: both). Pass-1 kinds are marked as
// controls on every call, before the pass test. A pen or brush the platform could not
// create paints nothing.
void PaintObject(CDrawObj& obj, const PaintSurfaces& dcs, int pass, const PaintContext& ctx);

// Slot 9: kinds 0 to 4 with the object's pen and brush only.
void PaintPlain(CDrawObj& obj, Surface& dc);

// Slot 10: the control number in a 32 x 20 box whose bottom-right corner is the object's
// top-left corner.
void PaintControlNumber(const CDrawObj& obj, Surface& dc, int number);

// Slot 11: for state 1 or 2, inverts a 7 x 7 square at every handle point.
void PaintHandles(const CDrawObj& obj, Surface& dc, int state);

// A question the painting view answers per object.
using ObjectTest = std::function<bool(const CDrawObj&)>;
// Is this object selected in the view that paints (nullptr: nothing is).
using SelectionTest = ObjectTest;
// Does what this object draws (with its handles and number) reach the part being
// repainted (nullptr: every object may).
using ReachTest = ObjectTest;

// The document's paint: every object with pass 0, then every object with pass 1; control
// numbers (when the context asks) count only objects whose control flag is 1; handles of
// selected objects after the pass that matches them. Objects of kinds that stay in their
// box are left out where `reaches` says they cannot show; every other object is painted,
// since its paint may change the object or what the paint reports.
void PaintAll(std::span<const std::unique_ptr<CDrawObj>> objects, const PaintSurfaces& dcs, const PaintContext& ctx,
              const SelectionTest& isSelected = nullptr, const ReachTest& reaches = nullptr);

// The compiler's background: every object once, pass 0, no handles or numbers.
void PaintAllOnce(std::span<const std::unique_ptr<CDrawObj>> objects, const PaintSurfaces& dcs, const PaintContext& ctx);

} // namespace qv
