#include "app/projecttree/tree_host.h"

#include "app/mainframe/docking_bars.h"
#include "app/mainframe/main_frame.h"
#include "app/projecttree/project_tree.h"
#include "app/windowdialogs/qt_window_dialogs.h"
#include "model/app/editor_app.h"
#include "sim/sound/sound_service.h"

namespace qv {

void MainFrameTreeHost::ActivateDocument(CDrawDoc& doc)
{
    frame_.ActivateDocumentWindow(frame_.DocumentWindowOf(&doc));
}

void MainFrameTreeHost::CloseSound() { sim::CloseSound(); }

bool MainFrameTreeHost::FocusViewIsRunMode() const
{
    const CSplitFrame* active = frame_.ActiveDocumentWindow();
    return active && active->info().runMode;
}

void MainFrameTreeHost::ProjectProperties()
{
    frame_.commands().trigger(cmd::ProjectProperties);
}

CProjectTree* installProjectTree(CEditorApp& app, CMainFrame& frame)
{
    auto* tree = new CProjectTree(app, std::make_unique<MainFrameTreeHost>(frame),
                                  std::make_unique<QtWindowDialogs>(app.Prompt(), &frame));
    frame.projectBar()->SetTreeWidget(tree);
    for (cmd::CommandKey key : {cmd::TreeNewScreen.key, cmd::TreeDeleteScreen.key, cmd::TreeImportScreen.key,
                                cmd::TreeScreenProperties.key})
        frame.commands().bind(key, [tree, id = key.id] { tree->commands().Run(id); });
    return tree;
}

} // namespace qv
