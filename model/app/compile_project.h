#pragma once
// The compile command of the application object. The compiler sits above the model, so
// `CEditorApp::OnCompileProject` reaches it through a runner that the application's window
// side installs (it confirms the options in a dialog and shows the worker's reports). With
// no runner installed the command does nothing.
namespace qv {

class CEditorApp;

class CompileCommandRunner {
public:
    virtual ~CompileCommandRunner() = default;
    virtual void RunCompileCommand(CEditorApp& app) = 0;
};

// Installs the runner of `app`'s compile command; nullptr removes it. A runner is kept for
// one application object only: installing it for another replaces it.
void SetCompileCommandRunner(CEditorApp& app, CompileCommandRunner* runner);
CompileCommandRunner* GetCompileCommandRunner(const CEditorApp& app);

} // namespace qv
