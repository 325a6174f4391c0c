#include "app/view/view_state.h"

#include "app/edit/shape_clipboard.h"
#include "app/drawing_tools/edit_tool.h"
#include "app/drawing_tools/tool_shapes.h"
#include "app/view/draw_view.h"
#include "model/document/draw_doc.h"
#include "model/shape/shape_kind.h"

#include <algorithm>
#include <string_view>

namespace qv {
namespace {

// The system sub-windows numeric input boxes belong in.
constexpr std::string_view kKeypadWindows[] = {"数字键盘.dlg", "系统登陆.dlg"};

} // namespace

void FillViewState(const CDrawView* view, cmd::ShellState& state)
{
    const ToolShapeDef* tool = toolShapeByShape(CEditTool::s_nCurShape);
    state.currentToolCommand = tool != nullptr ? tool->commandId : 0;
    const CDrawDoc* doc = view != nullptr ? view->GetDocument() : nullptr;
    if (doc == nullptr)
        return;
    state.selectionCount = static_cast<int>(view->m_selList.size());
    state.objectCount = static_cast<int>(doc->m_objects.size());
    state.undoDepth = std::max(0, doc->m_nUndoDepth);
    state.redoCount = std::max(0, doc->m_nRedoCount);
    state.clipboardHasShapes = edit::clipboardHasShapes();
    state.singleTableSelected = view->m_selList.size() == 1 && view->m_selList.front()->Kind() == ShapeKind::Table;
    state.activeIsKeypadWindow =
        std::find(std::begin(kKeypadWindows), std::end(kKeypadWindows), doc->GetTitle()) != std::end(kKeypadWindows);
}

} // namespace qv
