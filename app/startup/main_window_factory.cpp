#include "app/startup/main_window_factory.h"

#include "app/bindings/editor/editor_commands.h"
#include "app/mainframe/main_frame.h"
#include "app/shell/main_frame_setup.h"

namespace qv {

std::unique_ptr<QMainWindow> createMainWindow(CEditorApp& app, RecentFileList& recentFiles)
{
    auto frame = createMainFrame(app);
    installRecentFiles(*frame, app, recentFiles);
    return frame;
}

} // namespace qv
