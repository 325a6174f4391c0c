#pragma once
// The compile command on the main window: "硬件 > 编译工程" runs `CEditorApp::OnCompileProject`,
// which reaches this runner. It confirms the options with `CDlgCompileConfirm`, has the
// headless command prepare the project and starts the worker; the worker's lines, progress,
// close-box changes and message boxes come back through the application's report queue,
// which the main window drains on the GUI thread. The compile shares the application's own
// compiling and abort flags, so "中止编译和下载" and the busy rules of every command see it.
#include "compiler/compile/compile_command.h"
#include "compiler/compile/compile_context.h"
#include "compiler/compile/compile_worker.h"
#include "compiler/screen/window_compiler.h"
#include "model/app/compile_project.h"
#include "model/paint/control_font_registry.h"

#include <QObject>

#include <functional>
#include <optional>

namespace qv {

class CEditorApp;
class CMainFrame;

class CCompileRunner : public QObject, public CompileCommandRunner {
    Q_OBJECT
public:
    // A child of the frame; installs itself as `app`'s compile runner until it goes.
    CCompileRunner(CEditorApp& app, CMainFrame& frame);
    ~CCompileRunner() override;   // asks a running worker to stop and waits for it

    void RunCompileCommand(CEditorApp& app) override;

    // The window compiler the worker uses; nullptr restores the built-in one.
    void SetScreenCompiler(compile::ScreenCompiler* screens);
    // What "测试获取" in the confirm dialog runs (the device layer's buzzer trial); without
    // one the button is greyed.
    void SetBuzzerTest(std::function<std::optional<int>()> test) { buzzerTest_ = std::move(test); }
    // How the last command ended.
    compile::CompileStart LastStart() const { return lastStart_; }
    // Waits for a running worker to end (the reports it posted still wait in the queue).
    void WaitForWorker() { thread_.join(); }

private:
    bool confirm(compile::CompileOptions& options);
    void activateProjectFrame();
    compile::CompileServices services();

    CEditorApp& app_;
    CMainFrame& frame_;
    compile::CompileFlags flags_;
    ControlFontRegistry compileFonts_; // the area controls' font tables of one compile (worker only)
    screen::WindowScreenCompiler windowScreens_;
    compile::ScreenCompiler* screens_ = &windowScreens_;
    compile::CompileStart lastStart_ = compile::CompileStart::Cancelled;
    std::function<std::optional<int>()> buzzerTest_;
    compile::CompileThread thread_; // last member: joined before the others go
};

// Makes the frame's runner and binds "编译工程" (menu and any toolbar showing it: one action
// serves both) to `CEditorApp::OnCompileProject`. Returns the runner (owned by the frame).
CCompileRunner* installCompileCommand(CMainFrame& frame, CEditorApp& app);

} // namespace qv
