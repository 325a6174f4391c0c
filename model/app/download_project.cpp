#include "model/app/download_project.h"

#include "model/app/editor_app.h"
#include "model/app/installed_runner.h"

namespace qv {
namespace {

void run(CEditorApp& app, bool quick)
{
    if (DownloadCommandRunner* runner = InstalledRunner<DownloadCommandRunner>::Get(app))
        runner->RunDownloadCommand(app, quick);
}

} // namespace

void SetDownloadCommandRunner(CEditorApp& app, DownloadCommandRunner* runner)
{
    InstalledRunner<DownloadCommandRunner>::Set(app, runner);
}

void CEditorApp::OnDownloadProject() { run(*this, false); }

void CEditorApp::QuickDownloadProject() { run(*this, true); }

} // namespace qv
