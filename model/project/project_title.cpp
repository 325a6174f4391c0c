#include "model/project/project_title.h"

#include "model/app/editor_app.h"
#include "model/document/draw_doc.h"
#include "platform/text/gbk.h"

namespace qv {

void ShowProjectFileTitle(CEditorApp& app)
{
    CDrawDoc* project = app.ProjectDoc();
    if (project == nullptr)
        return;
    std::filesystem::path file = app.m_strProjectPath;
    if (file.empty())
        file = app.m_strProjectDir / (gbkToUtf8(app.m_strProjectName).value_or("") + ".hmi");
    if (auto title = utf8ToGbk(file.generic_string()))
        project->SetTitle(std::move(*title));
}

} // namespace qv
