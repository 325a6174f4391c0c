#pragma once
// The download commands of the application object. The device layer sits above the model,
// so `CEditorApp::OnDownloadProject` and `CEditorApp::QuickDownloadProject` reach it through
// a runner that the window side installs. With no runner installed they do nothing.
namespace qv {

class CEditorApp;

class DownloadCommandRunner {
public:
    virtual ~DownloadCommandRunner() = default;
    // `quick`: Ctrl+D in an editing view (the options confirm themselves).
    virtual void RunDownloadCommand(CEditorApp& app, bool quick) = 0;
};

// Installs the runner of `app`'s download commands; nullptr removes it.
void SetDownloadCommandRunner(CEditorApp& app, DownloadCommandRunner* runner);

} // namespace qv
