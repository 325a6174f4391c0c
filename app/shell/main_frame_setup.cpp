#include "app/shell/main_frame_setup.h"

#include "app/about/about_dlg.h"
#include "app/compile/compile_runner.h"
#include "app/bindings/device/device_commands_binding.h"
#include "app/bindings/editor/editor_commands.h"
#include "app/bindings/download/download_commands_binding.h"
#include "app/mainframe/main_frame.h"
#include "app/bindings/project/project_commands.h"
#include "app/projecttree/tree_host.h"
#include "app/bindings/properties/props_commands.h"
#include "app/bindings/settings/settings_commands.h"
#include "app/bindings/picture_tool/tool_start.h"
#include "app/bindings/simulator/sim_commands.h"
#include "app/shell/editor_app_shell.h"
#include "app/bindings/variables/vars_commands.h"
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
