#include "model/project/compile_all.h"

#include "model/app/editor_app.h"

namespace qv {

CompileAllResult CompileAllWindows(CEditorApp& app, WindowCompileSeam& seam)
{
    CompileAllResult result;
    CDrawDoc* project = app.ProjectDoc();
    if (!project)
        return result;
    const auto step = [&](CDrawDoc* doc, const std::string& name) {
        if (app.m_bAbort.load() != 0) {
            result.aborted = true;
            return false;
        }
        if (!doc) {
            result.missingWindowGbk = name;
            return false;
        }
        seam.CompileScreen(*doc);
        ++result.compiled;
        return true;
    };
    if (!step(project, project->GetTitle()))
        return result;
    for (const ObjectList* list : {&project->m_screenNames, &project->m_subWindowNames})
        for (const auto& entry : *list) {
            CDrawDoc* doc = app.m_pWindowTemplate ? app.m_pWindowTemplate->FindByTitle(entry->m_strName) : nullptr;
            if (!step(doc, entry->m_strName))
                return result;
        }
    return result;
}

DocumentView* FindViewByDocTitle(const std::string& title)
{
    CEditorApp* app = GetEditorApp();
    if (!app || !app->m_pWindowTemplate)
        return nullptr;
    CDrawDoc* doc = app->m_pWindowTemplate->FindByTitle(title);
    return doc && !doc->Views().empty() ? doc->Views().front() : nullptr;
}

} // namespace qv
