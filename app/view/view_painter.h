#pragma once
// One frame of the editing or run-mode view, painted into the view's kept surfaces in
// document coordinates: the grey surround, the bezel, the paper, the documents' objects with
// the selection's inverted handles, the touch-calibration cross and the rubber band. Free of
// widgets, so the same frame can be painted and probed without a display.
#include "model/paint/paint_dispatch.h"
#include "platform/surface/surface.h"

#include <optional>
#include <vector>

namespace qv {

class CDrawDoc;

inline constexpr ColorRef kSurroundColor = rgb(128, 128, 128);
inline constexpr ColorRef kBezelColor = rgb(193, 193, 193);
inline constexpr int kBezelPenWidth = 5;
inline constexpr ColorRef kUnpaintedControlFrame = rgb(64, 64, 64);

// The paint surface and the two work surfaces of the view, kept between paints and
// reallocated only when their size changes. The work surfaces are the painters' scratch:
// a painter clears what it uses, so stale content never shows.
class ViewSurfaces {
public:
    // True when the surfaces were (re)allocated.
    bool EnsureSize(Size size);
    Size size() const { return {paint.width(), paint.height()}; }
    PaintSurfaces surfaces() { return {paint, &work1, &work2}; }

    Surface paint;
    Surface work1;
    Surface work2;
};

struct ViewFrame {
    Rect dirty;                        // document coordinates: only this part is painted
    Rect clientInDoc;                  // the view's client area in document coordinates
    Rect device;                       // the device screen
    bool drawScreen = true;            // false: the surround only (the project document)
    std::optional<int> calibrationStep;  // touch calibration instead of the documents
    Size resolution;
    std::vector<CDrawDoc*> documents;  // painted in order, later ones on top
    PaintContext context;
    SelectionTest isSelected;          // handles of selected objects (nullptr: none)
    ReachTest reaches;                 // objects that may show in `dirty` (nullptr: all)
    std::optional<Rect> rubberBand;    // document coordinates, normalised
};

void PaintViewFrame(ViewSurfaces& surfaces, const ViewFrame& frame);

// The dotted focus rectangle: every other pixel of the outline inverted, so drawing it
// twice leaves the picture as it was.
void DrawFocusRect(Surface& dc, const Rect& r);

} // namespace qv
