#pragma once
// Which sheet each kind gets: its caption, its pages in the order they are added, whether OK
// rebuilds the simulation, whether the position page offers the picture-size option, and
// how a selection of several objects is handled. Written once as data; the sheet builder
// and the dispatch read it.
#include <span>

#include "model/shape/shape_kind.h"

namespace qv {

enum class PageId {
    // Appearance pages of the shapes.
    Rect, Picture, Text, Table, Pipe, PipeJoint, Scale, NumericInput,
    // The common pages.
    Position, Hide, WriteEnable, ColorControl, Move,
    // The controls' own pages.
    ButtonShape, ButtonControl, SwitchShape, SwitchControl, IndicatorControl, RadioShape, RadioControl,
    PictureGroup, PictureDisplayControl, NumberShape, NumberControl, CurveShape, CurveControl,
    ProgressShape, ProgressControl, CharacterShape, CharacterControl, AreaControl,
};

enum class SheetFamily {
    Generic,  // plain shapes: no simulation rebuild, no address adjustment afterwards
    PerKind,  // every other kind: the address adjustment runs after OK and Cancel
};

struct KindSheet {
    SheetFamily family;
    const char8_t* caption;
    std::span<const PageId> pages;
    bool rebuildSimulation;
    bool showOriginalSize;  // the position page's "设置为原始图片大小"
};

// The sheet of `kind` (an unknown or reserved kind gets the generic line/fill sheet).
const KindSheet& KindSheetOf(ShapeKind kind);

enum class EditRoute {
    Nothing,         // several objects of a kind that edits one at a time
    Sheet,           // the kind's sheet for the first selected object
    CharacterBatch,  // several character controls: the batch edit
};

EditRoute RouteEdit(ShapeKind kind, int selectedCount);

} // namespace qv
