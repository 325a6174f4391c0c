#include "model/project/compile_all.h"

#include "model/app/editor_app.h"

namespace qv {

DocumentView* FindViewByDocTitle(const std::string& title)
{
    CEditorApp* app = GetEditorApp();
    if (!app || !app->m_pWindowTemplate)
        return nullptr;
    CDrawDoc* doc = app->m_pWindowTemplate->FindByTitle(title);
    return doc && !doc->Views().empty() ? doc->Views().front() : nullptr;
}

} // namespace qv
