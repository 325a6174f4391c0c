#include "model/project/compile_all.h"

#include "model/app/editor_app.h"
#include "model/document/document_view.h"

namespace qv {
namespace {

CDrawObj* windowObject(CEditorApp& app, const std::string& title, std::size_t index)
{
    CDrawDoc* doc = app.m_pWindowTemplate ? app.m_pWindowTemplate->FindByTitle(title) : nullptr;
    return doc && index < doc->m_objects.size() ? doc->m_objects[index].get() : nullptr;
}

} // namespace

DocumentView* FindViewByDocTitle(const std::string& title)
{
    CEditorApp* app = GetEditorApp();
    if (!app || !app->m_pWindowTemplate)
        return nullptr;
    CDrawDoc* doc = app->m_pWindowTemplate->FindByTitle(title);
    return doc && !doc->Views().empty() ? doc->Views().front() : nullptr;
}

int ApplyCompiledControlChanges(CEditorApp& app, const std::vector<CompiledControlChange>& changes)
{
    int applied = 0;
    for (const CompiledControlChange& c : changes) {
        CDrawObj* obj = windowObject(app, c.windowTitle, c.objectIndex);
        if (!obj || obj->m_Params != c.before)
            continue;
        obj->m_Params = c.after;
        app.m_pWindowTemplate->FindByTitle(c.windowTitle)->UpdateAllViews(nullptr, 0, obj);
        ++applied;
    }
    return applied;
}

void SelectRefusedControl(CEditorApp& app, const std::string& windowTitle, std::size_t objectIndex)
{
    CDrawObj* obj = windowObject(app, windowTitle, objectIndex);
    DocumentView* view = FindViewByDocTitle(windowTitle);
    if (obj && view)
        view->SelectShape(obj, false);
}

} // namespace qv
