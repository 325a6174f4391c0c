#include "model/app/download_project.h"

#include "model/app/editor_app.h"

namespace qv {
namespace {

// The GUI thread installs, removes and calls the runner; no other thread touches it.
struct InstalledRunner {
    const CEditorApp* app = nullptr;
    DownloadCommandRunner* runner = nullptr;
};

InstalledRunner& installed()
{
    static InstalledRunner slot;
    return slot;
}

void run(CEditorApp& app, bool quick)
{
    const InstalledRunner& slot = installed();
    if (slot.app == &app && slot.runner)
        slot.runner->RunDownloadCommand(app, quick);
}

} // namespace

void SetDownloadCommandRunner(CEditorApp& app, DownloadCommandRunner* runner)
{
    InstalledRunner& slot = installed();
    if (runner == nullptr && slot.app != &app)
        return;
    slot = runner ? InstalledRunner{&app, runner} : InstalledRunner{};
}

void CEditorApp::OnDownloadProject() { run(*this, false); }

void CEditorApp::QuickDownloadProject() { run(*this, true); }

} // namespace qv
