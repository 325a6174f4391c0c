#include "model/app/compile_project.h"

#include "model/app/editor_app.h"

namespace qv {
namespace {

// The GUI thread installs, removes and calls the runner; no other thread touches it.
struct InstalledRunner {
    const CEditorApp* app = nullptr;
    CompileCommandRunner* runner = nullptr;
};

InstalledRunner& installed()
{
    static InstalledRunner slot;
    return slot;
}

} // namespace

void SetCompileCommandRunner(CEditorApp& app, CompileCommandRunner* runner)
{
    InstalledRunner& slot = installed();
    if (runner == nullptr && slot.app != &app)
        return; // another application's runner stays
    slot = runner ? InstalledRunner{&app, runner} : InstalledRunner{};
}

CompileCommandRunner* GetCompileCommandRunner(const CEditorApp& app)
{
    const InstalledRunner& slot = installed();
    return slot.app == &app ? slot.runner : nullptr;
}

void CEditorApp::OnCompileProject()
{
    if (CompileCommandRunner* runner = GetCompileCommandRunner(*this))
        runner->RunCompileCommand(*this);
}

} // namespace qv
