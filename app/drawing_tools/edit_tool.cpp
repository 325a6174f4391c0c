#include "app/drawing_tools/edit_tool.h"

#include "app/drawing_tools/object_properties.h"
#include "app/drawing_tools/tool_shapes.h"
#include "app/view/draw_view.h"
#include "app/view/view_geometry.h"
#include "model/app/editor_app.h"
#include "model/document/draw_doc.h"
#include "model/params/kind_defaults.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <utility>

namespace qv {

// ---- shared state and the tool list ------------------------------------------------------

std::vector<CEditTool*> CEditTool::s_toolList;
int CEditTool::s_nCurShape = kSelectionShape;
int CEditTool::s_bChanged = 0;
Point CEditTool::s_ptDown;
unsigned CEditTool::s_nDownFlags = 0;
Point CEditTool::s_ptLast;

int CPointerTool::s_nMode = CPointerTool::None;
int CPointerTool::s_nSizingHandle = 0;
Point CPointerTool::s_ptLastDoc;

std::string CRectTool::s_strNewPicture;
CDrawObj* CRectTool::s_pNewObject = nullptr;

CEditTool::CEditTool(int shape) : m_nShape(shape) { s_toolList.push_back(this); }

CEditTool::~CEditTool() { std::erase(s_toolList, this); }

CEditTool* CEditTool::GetToolForShape(int shape)
{
    const auto it = std::find_if(s_toolList.begin(), s_toolList.end(), [&](CEditTool* t) { return t->m_nShape == shape; });
    return it == s_toolList.end() ? nullptr : *it;
}

void CEditTool::AbandonDrag(CDrawView& view)
{
    view.ReleaseCapture();
    view.SetRubberBand(std::nullopt);
    CDrawDoc* doc = view.GetDocument();
    if (CDrawObj* created = std::exchange(CRectTool::s_pNewObject, nullptr)) {
        // Never finished: it goes as if the press had not happened.
        if (doc != nullptr) {
            view.InvalidateObject(created);
            doc->RemoveObject(created);
        }
        s_bChanged = 0;
    }
    if (s_bChanged != 0 && doc != nullptr)
        doc->SnapshotAndSetModified();
    s_bChanged = 0;
    CPointerTool::s_nMode = CPointerTool::None;
    CPointerTool::s_nSizingHandle = 0;
}

void CEditTool::OnLButtonDown(CDrawView& view, unsigned flags, Point point)
{
    view.SetCapture();
    s_nDownFlags = flags;
    s_ptDown = point;
    s_ptLast = point;
}

void CEditTool::OnLButtonDblClk(CDrawView&, unsigned, Point) {}

void CEditTool::OnLButtonUp(CDrawView& view, unsigned, Point point)
{
    view.ReleaseCapture();
    if (s_bChanged != 0) {
        if (CDrawDoc* doc = view.GetDocument())
            doc->SnapshotAndSetModified();
        s_bChanged = 0;
    }
    // A plain click ends a creation tool.
    if (point == s_ptDown)
        s_nCurShape = kSelectionShape;
}

void CEditTool::OnMouseMove(CDrawView& view, unsigned, Point point)
{
    s_ptLast = point;
    view.SetToolCursor(Qt::ArrowCursor);
}

void CEditTool::OnProperties(CDrawView&) {}

void CEditTool::OnCancelTool() { s_nCurShape = kSelectionShape; }

// ---- selection tool ----------------------------------------------------------------------

CPointerTool::CPointerTool() : CEditTool(kSelectionShape) {}

void CPointerTool::OnLButtonDown(CDrawView& view, unsigned flags, Point point)
{
    CDrawDoc* doc = view.GetDocument();
    if (doc == nullptr)
        return;
    const Point local = view.ClientToDocPoint(point);
    s_nMode = None;
    s_nSizingHandle = 0;

    // Handles act only when exactly one object is selected.
    if (view.m_selList.size() == 1) {
        s_nSizingHandle = view.m_selList.front()->HandleAtPoint(local, &view, true);
        if (s_nSizingHandle != 0)
            s_nMode = Size;
    }
    if (s_nMode == None) {
        if (CDrawObj* obj = doc->FindObjectAt(local)) {
            s_nMode = Move;
            // A press on a selected object keeps the whole selection, so it can be dragged.
            if (!view.IsSelected(obj))
                view.SelectShape(obj, (flags & kMkControl) != 0);
        }
    }
    if (s_nMode == None) {
        if ((flags & kMkControl) == 0)
            view.SelectShape(nullptr);
        s_nMode = NetSelect;
        view.SetRubberBand(Rect{point.x, point.y, point.x, point.y});
    }
    s_ptLastDoc = local;
    CEditTool::OnLButtonDown(view, flags, point);
}

void CPointerTool::OnMouseMove(CDrawView& view, unsigned flags, Point point)
{
    if (!view.HasCapture()) {
        if (s_nCurShape != kSelectionShape)
            return; // the creation tool has set its own cursor
        if (view.m_selList.size() == 1) {
            CDrawObj* obj = view.m_selList.front();
            const int handle = obj->HandleAtPoint(view.ClientToDocPoint(point), &view, true);
            if (handle != 0) {
                view.SetToolCursor(obj->HandleCursorFor(handle));
                return;
            }
        }
        CEditTool::OnMouseMove(view, flags, point);
        return;
    }

    if (s_nMode == NetSelect) {
        view.SetRubberBand(RectBetween(s_ptDown, point));
        CEditTool::OnMouseMove(view, flags, point);
        return;
    }

    Point local = view.ClientToDocPoint(point);
    const int dx = local.x - s_ptLastDoc.x;
    const int dy = local.y - s_ptLastDoc.y;
    const std::vector<CDrawObj*> selection = view.m_selList;
    for (CDrawObj* obj : selection) {
        if (s_nMode == Move) {
            if (obj->m_bLocked != 0)
                continue;
            const Rect moved = view.KeepRectInWindow(obj->m_rcPosition.offset(dx, dy), obj->m_rcPosition);
            if (moved != obj->m_rcPosition) {
                s_bChanged = 1;
                obj->SetPosition(moved, &view);
            }
        } else if (s_nSizingHandle != 0) {
            if (obj->m_bLocked != 0 || obj->m_bOriginalSize != 0) {
                // Held where it was, so no progress accumulates while the object stays.
                local = s_ptLastDoc;
                continue;
            }
            obj->DragHandle(s_nSizingHandle, local, &view);
            s_bChanged = 1;
        }
    }
    s_ptLastDoc = local;
    s_ptLast = point;
    if (s_nMode == Size && s_nCurShape == kSelectionShape && !view.m_selList.empty())
        view.SetToolCursor(view.m_selList.front()->HandleCursorFor(s_nSizingHandle));
}

void CPointerTool::OnLButtonUp(CDrawView& view, unsigned flags, Point point)
{
    if (view.HasCapture()) {
        if (s_nMode == NetSelect) {
            view.SetRubberBand(std::nullopt);
            view.SelectInRect(RectBetween(s_ptDown, s_ptLast), true);
        } else if (s_nMode != None) {
            if (CDrawDoc* doc = view.GetDocument())
                doc->UpdateAllViews(&view, 0);
        }
    }
    CEditTool::OnLButtonUp(view, flags, point);
}

void CPointerTool::OnLButtonDblClk(CDrawView& view, unsigned flags, Point point)
{
    if ((flags & kMkControl) != 0) {
        if (CDrawDoc* doc = view.GetDocument())
            if (CDrawObj* obj = doc->FindObjectAt(view.ClientToDocPoint(point)))
                view.DeselectShape(obj);
    } else if (!view.m_selList.empty()) {
        EditObjectProperties(view, *view.m_selList.front(), static_cast<int>(view.m_selList.size()));
    }
    CEditTool::OnLButtonDblClk(view, flags, point);
}

void CPointerTool::OnProperties(CDrawView& view)
{
    if (!view.m_selList.empty())
        EditObjectProperties(view, *view.m_selList.front(), static_cast<int>(view.m_selList.size()));
}

// ---- creation tools ----------------------------------------------------------------------

bool IsTooSmallToCreate(ShapeKind kind, Point down, Point up)
{
    const long long dx = std::llabs(static_cast<long long>(up.x) - down.x);
    const long long dy = std::llabs(static_cast<long long>(up.y) - down.y);
    if (kind == ShapeKind::Line)
        return dx * dx + dy * dy < kMinCreateDrag;
    return dx * dy < kMinCreateDrag;
}

CRectTool::CRectTool(int shape) : CEditTool(shape) {}

void CRectTool::ForgetObject(const CDrawObj* obj)
{
    if (obj == nullptr || obj != s_pNewObject)
        return;
    s_pNewObject = nullptr;
    s_bChanged = 0; // the drag changed nothing but that object
}

void CRectTool::OnLButtonDown(CDrawView& view, unsigned flags, Point point)
{
    s_pNewObject = nullptr;
    CDrawDoc* doc = view.GetDocument();
    const Point local = view.ClientToDocPoint(point);
    if (doc == nullptr || !view.IsInWindowArea(local))
        return;
    CEditTool::OnLButtonDown(view, flags, point);

    auto obj = std::make_unique<CDrawRect>(Rect{local.x, local.y, local.x, local.y});
    const ToolShapeDef* def = toolShapeByShape(m_nShape);
    if (def == nullptr || !def->kind)
        view.App().Prompt().ShowMessage("CRectTool::OnLButtonDown", UiPrompts::Icon::Error);
    obj->SetKind(def != nullptr && def->kind ? *def->kind : ShapeKind::Rectangle);
    if (m_nShape == kPictureShape)
        obj->m_strFiles.push_back(s_strNewPicture);

    CDrawObj* added = doc->AddObject(std::move(obj));
    view.SelectShape(added);
    SetKindDefaults(*added, view.App());
    s_pNewObject = added;

    // The drag moves the new object's first corner: the stored position is as dragged.
    CPointerTool::s_nMode = CPointerTool::Size;
    CPointerTool::s_nSizingHandle = 1;
    CPointerTool::s_ptLastDoc = local;
}

void CRectTool::OnMouseMove(CDrawView& view, unsigned flags, Point point)
{
    view.SetToolCursor(view.IsInWindowArea(view.ClientToDocPoint(point)) ? Qt::CrossCursor : Qt::ArrowCursor);
    PointerTool().OnMouseMove(view, flags, point);
}

void CRectTool::OnLButtonUp(CDrawView& view, unsigned flags, Point point)
{
    CDrawObj* created = std::exchange(s_pNewObject, nullptr);
    if (created != nullptr) {
        CDrawDoc* doc = view.GetDocument();
        if (doc != nullptr && IsTooSmallToCreate(created->Kind(), s_ptDown, point)) {
            // Only the object this press made goes: never an object the user already had.
            view.InvalidateObject(created);
            doc->RemoveObject(created);
            s_bChanged = 0;
            PointerTool().OnLButtonDown(view, flags, point);
        } else {
            s_bChanged = 1; // the new object is the change, even where the drag clamped to nothing
        }
    }
    PointerTool().OnLButtonUp(view, flags, point);
}

// ---- the tool objects --------------------------------------------------------------------

namespace {

CPointerTool g_pointerTool;

std::vector<std::unique_ptr<CRectTool>> makeRectTools()
{
    std::vector<std::unique_ptr<CRectTool>> tools;
    for (const ToolShapeDef& def : toolShapes())
        if (def.shape != kSelectionShape)
            tools.push_back(std::make_unique<CRectTool>(def.shape));
    return tools;
}

const std::vector<std::unique_ptr<CRectTool>> g_rectTools = makeRectTools();

} // namespace

CPointerTool& PointerTool() { return g_pointerTool; }

} // namespace qv
