#include "model/app/compile_project.h"

#include "model/app/editor_app.h"
#include "model/app/installed_runner.h"

namespace qv {

void SetCompileCommandRunner(CEditorApp& app, CompileCommandRunner* runner)
{
    InstalledRunner<CompileCommandRunner>::Set(app, runner);
}

CompileCommandRunner* GetCompileCommandRunner(const CEditorApp& app)
{
    return InstalledRunner<CompileCommandRunner>::Get(app);
}

void CEditorApp::OnCompileProject()
{
    if (CompileCommandRunner* runner = GetCompileCommandRunner(*this))
        runner->RunCompileCommand(*this);
}

} // namespace qv
