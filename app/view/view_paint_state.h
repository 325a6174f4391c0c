#pragma once
// What a view's paint reads from the application and what the painters hand back to it.
// Kept apart from the widget, so the same filling and copying run without a display.
#include "model/paint/paint_context.h"

namespace qv {

class CEditorApp;

// Fills `ctx` from `app` for one paint: the mode, the variable memory and its look-up by row
// in the project's table, the project and base folders, the margins; in run mode also the
// simulator's input state, the shown screen's background and the pinyin input. `feedback`
// (may be nullptr) gets the two banks the painters may write back into and is attached.
void FillPaintContext(CEditorApp& app, bool runMode, Point margins, PaintContext& ctx, PaintFeedback* feedback);

// After a paint: what the painters reported goes back into the application's run-time state
// (caret point and index, pinyin candidates, pitch and page, the conversion clamp, the pinyin
// latch). Fields the paint did not set leave the application's state as it was.
void ApplyPaintFeedback(CEditorApp& app, const PaintFeedback& feedback);

} // namespace qv
