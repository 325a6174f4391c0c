#pragma once
// Look-up of a window's view by its document title, and what the compile hands back to the
// editor's documents. The compile itself walks the windows once, on its worker, over the
// copies the compile snapshot took of them (compiler/compile); the results below are applied
// on the GUI thread afterwards.
#include "model/shape/draw_obj.h"

#include <cstddef>
#include <string>
#include <vector>

namespace qv {

class CEditorApp;
class DocumentView;

// The first view of the first window document titled `title`, or nullptr.
DocumentView* FindViewByDocTitle(const std::string& title);

// A change an item compiler made to a control of the compile's copy of a window (a colour
// the panel could not show, for one); the editor's control takes it too, so it stays in the
// saved control.
struct CompiledControlChange {
    std::string windowTitle;   // GBK
    std::size_t objectIndex = 0;
    ParamBlock before{}, after{};
};

// Each change whose control still holds `before` takes `after` and is redrawn; it is saved
// with the document's next save (a compile alone asks for no save). A control the user
// changed meanwhile keeps the user's change. Returns how many were applied.
int ApplyCompiledControlChanges(CEditorApp& app, const std::vector<CompiledControlChange>& changes);

// The control that stopped the compile is selected alone in its window's view.
void SelectRefusedControl(CEditorApp& app, const std::string& windowTitle, std::size_t objectIndex);

} // namespace qv
