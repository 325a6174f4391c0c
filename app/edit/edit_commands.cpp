#include "app/edit/edit_commands.h"

#include "app/commands/command_actions.h"
#include "app/edit/shape_clipboard.h"
#include "app/edit/shape_payload.h"
#include "app/drawing_tools/edit_tool.h"
#include "app/drawing_tools/tool_shapes.h"
#include "app/view/draw_view.h"
#include "model/app/editor_app.h"
#include "model/document/draw_doc.h"

#include <QGuiApplication>
#include <vector>

namespace qv::edit {
namespace {

CDrawDoc* editableDoc(const CDrawView& view) { return ViewTakesEdits(view) ? view.GetDocument() : nullptr; }

// The table the variable references of this program's objects index: the project's.
const HmiVarTable& referenceTable(const CDrawView& view)
{
    const CDrawDoc* project = view.App().ProjectDoc();
    return project != nullptr ? project->m_varTable : view.GetDocument()->m_varTable;
}

// Shows a wait cursor for as long as it lives.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

bool ViewTakesEdits(const CDrawView& view)
{
    const CDrawDoc* doc = view.GetDocument();
    return doc != nullptr && !view.IsRunMode() && doc->m_bIsProjectDoc == 0 && view.App().m_bCompiling.load() == 0;
}

bool ClearSelection(CDrawView& view)
{
    CDrawDoc* doc = editableDoc(view);
    if (doc == nullptr || view.m_selList.empty())
        return false;
    const std::vector<CDrawObj*> selected = view.m_selList;
    // Every view repaints them and lets go of them before they go.
    for (CDrawObj* obj : selected)
        doc->UpdateAllViews(nullptr, 3, obj);
    for (CDrawObj* obj : selected)
        doc->RemoveObject(obj);
    view.SelectShape(nullptr);
    doc->SnapshotAndSetModified();
    return true;
}

std::string EncodeSelection(const CDrawView& view)
{
    return encodeShapePayload(view.m_selList, view.PageMargins(), &referenceTable(view));
}

bool CopySelection(CDrawView& view)
{
    if (editableDoc(view) == nullptr || view.m_selList.empty())
        return false;
    return putShapesOnClipboard(EncodeSelection(view));
}

bool CutSelection(CDrawView& view) { return CopySelection(view) && ClearSelection(view); }

bool PasteShapes(CDrawView& view, std::string_view bytes)
{
    CDrawDoc* doc = editableDoc(view);
    if (doc == nullptr)
        return false;
    WaitCursor wait;
    std::string error;
    auto payload = decodeShapePayload(bytes, &error);
    if (!payload) {
        std::string message = "粘贴失败：";
        message += error;
        view.App().Prompt().ShowMessage(message, UiPrompts::Icon::Error);
        return false; // the selection and the document stay as they were
    }
    if (payload->objects.empty())
        return false;

    view.SelectShape(nullptr);
    const Point margins = view.PageMargins();
    const Point shift = payload->margins ? Point{margins.x - payload->margins->x, margins.y - payload->margins->y} : Point{};
    const HmiVarTable& table = referenceTable(view);
    const auto* names = payload->varNames ? &*payload->varNames : nullptr;
    for (auto& obj : payload->objects) {
        renumberPastedReferences(*obj, names, table);
        // Copied under other page margins (full screen) they come back to the same place on
        // the device; from a larger window they are kept where they can be seen and picked.
        const Rect moved = obj->m_rcPosition.offset(shift.x, shift.y);
        obj->m_rcPosition = view.KeepRectInWindow(moved, moved);
        view.SelectShape(doc->AddObject(std::move(obj)), true);
    }
    doc->SnapshotAndSetModified();
    for (CDrawObj* obj : view.m_selList)
        doc->UpdateAllViews(nullptr, 2, obj);
    return true;
}

bool PasteFromClipboard(CDrawView& view)
{
    if (editableDoc(view) == nullptr)
        return false;
    const auto bytes = shapesFromClipboard();
    return bytes && PasteShapes(view, *bytes);
}

bool SelectAll(CDrawView& view)
{
    CDrawDoc* doc = editableDoc(view);
    if (doc == nullptr || doc->m_objects.empty())
        return false;
    for (auto& obj : doc->m_objects)
        view.SelectShape(obj.get(), true);
    return true;
}

bool UndoEdit(CDrawView& view)
{
    CDrawDoc* doc = editableDoc(view);
    if (doc == nullptr || !doc->CanUndo())
        return false;
    view.SelectShape(nullptr);
    return doc->Undo();
}

bool RedoEdit(CDrawView& view)
{
    CDrawDoc* doc = editableDoc(view);
    if (doc == nullptr || !doc->CanRedo())
        return false;
    view.SelectShape(nullptr);
    return doc->Redo();
}

bool SetSelectionLocked(CDrawView& view, bool locked)
{
    CDrawDoc* doc = view.GetDocument();
    if (doc == nullptr || view.m_selList.empty())
        return false;
    const std::int32_t flag = locked ? 1 : 0;
    bool changed = false;
    for (CDrawObj* obj : view.m_selList) {
        changed = changed || obj->m_bLocked != flag;
        obj->m_bLocked = flag;
    }
    if (changed)
        doc->SnapshotAndSetModified();
    return changed;
}

bool OpenSelectionProperties(CDrawView& view)
{
    if (editableDoc(view) == nullptr || view.m_selList.empty() || CEditTool::s_nCurShape != kSelectionShape)
        return false;
    PointerTool().OnProperties(view);
    return true;
}

void BindEditCommands(cmd::CommandActions& actions, std::function<CDrawView*()> activeView)
{
    struct Binding {
        cmd::CommandKey key;
        bool (*run)(CDrawView&);
    };
    static constexpr Binding kBindings[] = {
        {cmd::Clear, ClearSelection},
        {cmd::Copy, CopySelection},
        {cmd::Cut, CutSelection},
        {cmd::Paste, PasteFromClipboard},
        {cmd::SelectAll, SelectAll},
        {cmd::Undo, UndoEdit},
        {cmd::Redo, RedoEdit},
        {cmd::Properties, OpenSelectionProperties},
        {cmd::LockSelection, [](CDrawView& v) { return SetSelectionLocked(v, true); }},
        {cmd::UnlockSelection, [](CDrawView& v) { return SetSelectionLocked(v, false); }},
        {cmd::BackgroundColor, [](CDrawView& v) {
             CDrawDoc* doc = v.GetDocument();
             if (doc == nullptr || !doc->CanChangeBackground())
                 return false;
             doc->OnBackgroundColor();
             return true;
         }},
    };
    for (const Binding& b : kBindings)
        actions.bind(b.key, [activeView, run = b.run] {
            if (CDrawView* view = activeView ? activeView() : nullptr)
                run(*view);
        });
}

} // namespace qv::edit
