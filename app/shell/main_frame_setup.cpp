#include "app/shell/main_frame_setup.h"

#include "app/about/about_dlg.h"
#include "app/compile/compile_runner.h"
#include "app/device_commands/device_commands_binding.h"
#include "app/editor_commands/editor_commands.h"
#include "app/download_commands/download_commands_binding.h"
#include "app/mainframe/main_frame.h"
#include "app/project_commands/project_commands.h"
#include "app/projecttree/tree_host.h"
#include "app/props_commands/props_commands.h"
#include "app/settings_commands/settings_commands.h"
#include "app/tool_commands/tool_start.h"
#include "app/sim_commands/sim_commands.h"
#include "app/shell/editor_app_shell.h"
#include "app/vars_commands/vars_commands.h"
#include "model/app/editor_app.h"
#include "props/ui/recipe_dialogs.h"

namespace qv {

std::unique_ptr<CMainFrame> createMainFrame(CEditorApp& app)
{
    auto shell = std::make_unique<CEditorAppShell>(app);
    auto frame = std::make_unique<CMainFrame>(shell.get(), &app.m_reports);
    shell->Attach(*frame);
    frame->AdoptHost(std::move(shell));

    CMainFrame* f = frame.get();
    frame->commands().bind(cmd::About, [f] { OnAppAbout(f); });
    frame->commands().bind(cmd::AbortCompile, [&app] { app.m_bAbort = 1; });
    CCompileRunner* compileRunner = installCompileCommand(*frame, app);
    installDeviceCommands(*frame, app, compileRunner);
    bindEditorCommands(*frame, app);
    bindRecipeManager(*frame, [](QWidget* parent) { RunRecipeManager(parent); });
    installDownloadCommands(*frame, app);
    bindProjectCommands(*frame, app);
    bindVarsCommands(*frame, app);
    bindSettingsCommands(*frame, app);
    bindSimCommands(*frame, app);
    bindToolCommands(*frame, app);
    installProjectTree(app, *frame);
    installPropertySheets(app, f);
    frame->RefreshCommands();
    return frame;
}

} // namespace qv
