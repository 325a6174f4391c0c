#pragma once
// The edit commands of the editing view: clear, copy, cut, paste through the shape
// clipboard, select all, undo, redo, lock and unlock the selection, properties, and the
// window's paper colour ("背景", of the drawing menu). Each
// returns whether it did anything; none acts in run mode, on the project document or while
// compiling (lock and unlock need only a document and a selection).
#include <functional>
#include <string>
#include <string_view>

namespace qv {

class CDrawView;

namespace cmd {
class CommandActions;
}

namespace edit {

// The view's document may be edited by the edit and layout commands now.
bool ViewTakesEdits(const CDrawView& view);

// Removes the selected objects from the document (and from every view's selection).
bool ClearSelection(CDrawView& view);
// The selection as clipboard payload bytes (selection order).
std::string EncodeSelection(const CDrawView& view);
bool CopySelection(CDrawView& view);
// Copy, then clear; nothing is removed when the copy did not reach the clipboard.
bool CutSelection(CDrawView& view);
// Adds the payload's objects on top, selected, each kept inside the window area; a payload
// that is not sound is refused whole with a message and changes nothing.
bool PasteShapes(CDrawView& view, std::string_view payload);
bool PasteFromClipboard(CDrawView& view);
bool SelectAll(CDrawView& view);
bool UndoEdit(CDrawView& view);
bool RedoEdit(CDrawView& view);
// Sets or clears the lock of every selected object; a step to undo only when one changed.
bool SetSelectionLocked(CDrawView& view, bool locked);
// The first selected object's property sheet, with the selection tool current.
bool OpenSelectionProperties(CDrawView& view);

void BindEditCommands(cmd::CommandActions& actions, std::function<CDrawView*()> activeView);

} // namespace edit
} // namespace qv
