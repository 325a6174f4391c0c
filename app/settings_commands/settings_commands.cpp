#include "app/settings_commands/settings_commands.h"

#include "app/mainframe/main_frame.h"
#include "model/app/editor_app.h"
#include "model/tree/tree_menus.h"
#include "vars/ui/com_set_dlg.h"

namespace qv {

void bindSettingsCommands(CMainFrame& frame, CEditorApp& app)
{
    CMainFrame* f = &frame;
    frame.commands().bind({cmd::Owner::App, tree_cmd::ProjectProperties}, [&app, f] {
        OnProjectProperties(app, f);
        f->RefreshCommands();
    });
}

} // namespace qv
