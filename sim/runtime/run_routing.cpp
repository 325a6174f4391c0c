#include "sim/runtime/run_routing.h"

#include <utility>
#include <vector>

#include "model/app/editor_app.h"
#include "model/document/draw_doc.h"
#include "model/shape/draw_obj.h"
#include "model/project/system_windows.h"

namespace qv::sim {
namespace {

constexpr std::string_view kTextKeyboard = syswin::SystemKeyboard;

bool isModeless(const CDrawDoc& doc) { return doc.m_ProjectSettings[0] != 0; }

Rect windowRect(const CDrawDoc& doc, int originX, int originY)
{
    return Rect::saturated(std::int64_t{originX} + doc.m_ptWindowOrigin.x, std::int64_t{originY} + doc.m_ptWindowOrigin.y,
                           std::int64_t{originX} + doc.m_ptWindowOrigin.x + doc.m_nWindowWidth,
                           std::int64_t{originY} + doc.m_ptWindowOrigin.y + doc.m_nWindowHeight);
}

} // namespace

CDrawDoc* RunRouting::topWindow() const
{
    CEditorApp& app = in_.app;
    if (CDrawDoc* sys = app.m_strSimSysWindow.empty() ? nullptr : app.FindSystemSubWindowDoc())
        return sys;
    if (CDrawDoc* sub = app.m_strSimSubWindow.empty() ? nullptr : app.FindCurrentSubWindowDoc())
        return sub;
    return app.FindCurrentScreenDoc();
}

void RunRouting::forObjects(CDrawDoc* doc, bool charactersOnly, const std::function<void(CDrawObj&)>& fn)
{
    if (!doc)
        return;
    // A handler may switch windows; the walk keeps to the objects it started with.
    std::vector<CDrawObj*> objects;
    for (const auto& obj : doc->m_objects)
        if (!charactersOnly || obj->Kind() == ShapeKind::Character)
            objects.push_back(obj.get());
    for (CDrawObj* obj : objects)
        fn(*obj);
}

CDrawDoc* RunRouting::belowKeyboard(Point p) const
{
    CEditorApp& app = in_.app;
    if (app.m_strSimSysWindow != kTextKeyboard)
        return nullptr;
    const CDrawDoc* keyboard = app.FindSystemSubWindowDoc();
    if (!keyboard || windowRect(*keyboard, app.m_nMarginX, app.m_nMarginY).contains(p.x, p.y))
        return nullptr;
    if (CDrawDoc* sub = app.m_strSimSubWindow.empty() ? nullptr : app.FindCurrentSubWindowDoc())
        return sub;
    return app.FindCurrentScreenDoc();
}

void RunRouting::inputSeen()
{
    if (onInput)
        onInput();
}

void RunRouting::ButtonDown(Point p)
{
    inputSeen();
    CEditorApp& app = in_.app;
    const bool sysOpen = !app.m_strSimSysWindow.empty();
    CDrawDoc* sub = sysOpen ? app.FindSystemSubWindowDoc()
                            : (app.m_strSimSubWindow.empty() ? nullptr : app.FindCurrentSubWindowDoc());
    if (sub && isModeless(*sub) && !windowRect(*sub, sub->m_nMarginX, sub->m_nMarginY).contains(p.x, p.y)) {
        (sysOpen ? app.m_strSimSysWindow : app.m_strSimSubWindow).clear();
        app.m_bSimRepaint = 1;
        pressClosedWindow_ = true;
        return;
    }
    pressClosedWindow_ = false;
    CDrawDoc* below = belowKeyboard(p);
    forObjects(topWindow(), false, [&](CDrawObj& obj) { OnRunLButtonDown(obj, p, in_); });
    forObjects(below, true, [&](CDrawObj& obj) { OnRunLButtonDown(obj, p, in_); });
}

void RunRouting::ButtonUp(Point p)
{
    inputSeen();
    in_.dragging = false; // every release ends an area control's drag
    if (std::exchange(pressClosedWindow_, false))
        return; // the click only closed a modeless sub-window
    CDrawDoc* below = belowKeyboard(p);
    CDrawDoc* top = topWindow();
    forObjects(top, false, [&](CDrawObj& obj) { OnRunLButtonUp(obj, p, in_); });
    if (below != top)
        forObjects(below, false, [&](CDrawObj& obj) { OnRunLButtonUp(obj, p, in_); });
}

void RunRouting::MouseMove(Point p)
{
    inputSeen();
    CDrawDoc* below = belowKeyboard(p);
    forObjects(topWindow(), false, [&](CDrawObj& obj) { OnRunMouseMove(obj, p, in_); });
    forObjects(below, false, [&](CDrawObj& obj) { OnRunMouseMove(obj, p, in_); });
}

void RunRouting::DoubleClick(Point p)
{
    inputSeen();
    forObjects(topWindow(), false, [&](CDrawObj& obj) { OnRunLButtonDblClk(obj, p, in_); });
}

void RunRouting::RightButtonDown(Point p)
{
    CEditorApp& app = in_.app;
    CDrawDoc* doc = app.m_strSimSubWindow.empty() ? nullptr : app.FindCurrentSubWindowDoc();
    if (!doc)
        doc = app.FindCurrentScreenDoc();
    forObjects(doc, false, [&](CDrawObj& obj) { OnRunRButtonDown(obj, p, in_); });
}

} // namespace qv::sim
