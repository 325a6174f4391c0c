#include "app/compile/compile_runner.h"

#include "app/compile/app_compile_host.h"
#include "app/mainframe/main_frame.h"
#include "compiler/compile/compile_texts.h"
#include "compiler/items/install_items.h"
#include "compiler/ui/compile_confirm_dialog.h"
#include "model/app/editor_app.h"
#include "model/project/compile_all.h"
#include "platform/picture/picture.h"

#include <QPushButton>

#include <algorithm>
#include <thread>

namespace qv {
namespace {

// Said when the command runs with no project open (the menu offers it then too).
constexpr const char* kNoProjectToCompile = "没有打开的工程，不能编译";

} // namespace

CCompileRunner::CCompileRunner(CEditorApp& app, CMainFrame& frame)
    : QObject(&frame), app_(app), frame_(frame), flags_(app.m_bCompiling, app.m_bAbort),
      windowScreens_(screen::WindowRenderServices{
          [](const std::filesystem::path& file) { return loadPictureFile(file); }, app.BaseDir(),
          std::clamp(std::thread::hardware_concurrency(), 1u, 4u)},
                     items::itemCompilerTable(&compileFonts_))
{
    SetCompileCommandRunner(app_, this);
}

CCompileRunner::~CCompileRunner()
{
    SetCompileCommandRunner(app_, nullptr);
    // The worker looks at the abort flag between windows; it leaves no image behind.
    if (flags_.compiling.load() != 0)
        flags_.abort = 1;
    thread_.join();
}

void CCompileRunner::SetScreenCompiler(compile::ScreenCompiler* screens)
{
    screens_ = screens != nullptr ? screens : &windowScreens_;
}

compile::CompileServices CCompileRunner::services()
{
    compile::CompileServices s;
    s.reports = &app_.m_reports;
    s.flags = &flags_;
    s.screens = screens_;
    // Runs on the GUI thread when the main window drains the queue.
    s.messageBox = [&app = app_](const std::string& text) {
        const bool plain = text == compile::text::kAbortDone;
        app.Prompt().ShowMessage(text, plain ? UiPrompts::Icon::Information : UiPrompts::Icon::Warning);
    };
    s.selectControl = [&app = app_, &frame = frame_](const compile::RefusedControl& c) {
        frame.FindDocumentWindow(c.windowTitle); // a window never shown gets its view now
        SelectRefusedControl(app, c.windowTitle, c.objectIndex);
    };
    s.applyControlChanges = [&app = app_](const std::vector<CompiledControlChange>& changes) {
        ApplyCompiledControlChanges(app, changes);
    };
    return s;
}

void CCompileRunner::RunCompileCommand(CEditorApp& app)
{
    if (&app != &app_)
        return;
    if (app_.m_bDownloading.load() != 0) {
        lastStart_ = compile::CompileStart::Busy;
        return;
    }
    if (app_.m_bCompiling.load() == 0)
        compileFonts_.Clear(); // each compile numbers its font tables afresh
    AppCompileHost host(app_, {[this](compile::CompileOptions& o) { return confirm(o); },
                              [this] { activateProjectFrame(); }});
    lastStart_ = compile::runCompileCommand(host, thread_, services());
    if (lastStart_ == compile::CompileStart::NoProject)
        app_.Prompt().ShowMessage(kNoProjectToCompile, UiPrompts::Icon::Warning);
    frame_.RefreshCommands();
}

bool CCompileRunner::confirm(compile::CompileOptions& options)
{
    CDlgCompileConfirm dialog(&frame_);
    dialog.setOptions(options);
    dialog.setBuzzerTest(buzzerTest_);
    dialog.buzzerTestButton()->setEnabled(static_cast<bool>(buzzerTest_));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    options = dialog.options();
    return true;
}

void CCompileRunner::activateProjectFrame()
{
    if (CSplitFrame* project = frame_.ProjectDocumentWindow())
        frame_.ActivateDocumentWindow(project);
}

CCompileRunner* installCompileCommand(CMainFrame& frame, CEditorApp& app)
{
    auto* runner = new CCompileRunner(app, frame);
    frame.commands().bind(cmd::CompileProject, [&app] { app.OnCompileProject(); });
    frame.RefreshCommands();
    return runner;
}

} // namespace qv
