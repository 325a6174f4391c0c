#pragma once
// The active editing view's part of the command state: selection and object counts, the
// undo and redo depths, the current drawing tool and whether the window takes input boxes.
#include "app/commands/shell_state.h"

namespace qv {

class CDrawView;

// `view` may be nullptr (no active view): only the current tool is filled then.
void FillViewState(const CDrawView* view, cmd::ShellState& state);

} // namespace qv
