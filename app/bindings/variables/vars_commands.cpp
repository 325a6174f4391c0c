#include "app/bindings/variables/vars_commands.h"

#include "app/mainframe/main_frame.h"
#include "model/app/editor_app.h"
#include "sim/vtf/saved_vars.h"
#include "config/ui/hmi_var_manager_dlg.h"
#include "config/ui/special_vars_dlg.h"

namespace qv {

void bindVarsCommands(CMainFrame& frame, CEditorApp& app)
{
    CMainFrame* f = &frame;
    frame.commands().bind(cmd::HmiVariables, [&app, f] {
        if (!app.ProjectDoc())
            return;
        CDlgHmiVarManager dlg(app, f);
        // A changed non-volatile range frees slot 0 of the saved-variables file.
        dlg.SetSpecialVarsEditor(SpecialVarsEditor(
            app, [&app](int slot) { return ClearVarToFlashSlot(app.m_strProjectDir, slot); }));
        dlg.exec();
        f->RefreshCommands();
    });
}

} // namespace qv
