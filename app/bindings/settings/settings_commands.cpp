#include "app/bindings/settings/settings_commands.h"

#include "app/mainframe/main_frame.h"
#include "model/app/editor_app.h"
#include "config/ui/com_set_dlg.h"

namespace qv {

void bindSettingsCommands(CMainFrame& frame, CEditorApp& app)
{
    CMainFrame* f = &frame;
    const auto openProperties = [&app, f] {
        OnProjectProperties(app, f);
        f->RefreshCommands();
    };
    // The menus' "系统参数设置" and the project tree's "工程属性" open the same sheet.
    frame.commands().bind(cmd::SystemSettings, openProperties);
    frame.commands().bind(cmd::ProjectProperties, openProperties);
}

} // namespace qv
