#include "app/vars_commands/vars_commands.h"

#include "app/mainframe/main_frame.h"
#include "model/app/editor_app.h"
#include "vars/ui/hmi_var_manager_dlg.h"
#include "vars/ui/special_vars_dlg.h"

namespace qv {

void bindVarsCommands(CMainFrame& frame, CEditorApp& app)
{
    CMainFrame* f = &frame;
    frame.commands().bind({cmd::Owner::App, 32893}, [&app, f] {
        if (!app.ProjectDoc())
            return;
        CDlgHmiVarManager dlg(app, f);
        // No saved-variables clearer yet: the simulator is not linked into the application.
        dlg.SetSpecialVarsEditor(SpecialVarsEditor(app, nullptr));
        dlg.exec();
        f->RefreshCommands();
    });
}

} // namespace qv
