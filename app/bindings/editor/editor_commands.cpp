#include "app/bindings/editor/editor_commands.h"

#include "app/commands/command_actions.h"
#include "app/mainframe/main_frame.h"
#include "app/mainframe/split_frame.h"
#include "app/startup/profile.h"
#include "app/view/draw_view.h"
#include "model/app/editor_app.h"
#include "model/project/lock_all.h"
#include "model/project/recent_project.h"

#include <QDir>

namespace qv {
namespace {

std::filesystem::path toPath(const QString& s) { return std::filesystem::path(s.toStdU16String()); }

} // namespace

void bindEditorCommands(CMainFrame& frame, CEditorApp& app)
{
    frame.commands().bind(cmd::LockProject, [&app] { SetAllObjectsLocked(app, true); });
    frame.commands().bind(cmd::UnlockProject, [&app] { SetAllObjectsLocked(app, false); });
    CMainFrame* f = &frame;
    frame.commands().bind(cmd::ShowCtrlNumbers, [&app, f] {
        app.m_bShowCtrlNumbers = app.m_bShowCtrlNumbers.load() != 0 ? 0 : 1;
        // The numbers are drawn in the documents' second pass: the active window repaints.
        if (CSplitFrame* active = f->ActiveDocumentWindow())
            if (auto* view = dynamic_cast<CDrawView*>(active->widget()))
                if (CDrawDoc* doc = view->GetDocument())
                    doc->UpdateAllViews(nullptr);
    });
}

void installRecentFiles(CMainFrame& frame, CEditorApp& app, RecentFileList& recent)
{
    CMainFrame* f = &frame;
    cmd::CommandActions::MenuEntries entries;
    entries.texts = [&recent] {
        QStringList texts;
        for (const QString& path : recent.entries())
            texts.push_back(QDir::toNativeSeparators(path));
        return texts;
    };
    entries.run = [&app, &recent, f](int index) {
        if (index < 0 || index >= recent.entries().size())
            return;
        const QString path = recent.entries()[index];
        const RecentOpen result = OpenRecentProject(app, toPath(path));
        if (result == RecentOpen::Gone || result == RecentOpen::Failed)
            recent.remove(path);
        f->RefreshCommands();
    };
    frame.commands().setMenuEntries(cmd::RecentFile, std::move(entries));
}

void bindRecipeManager(CMainFrame& frame, std::function<void(QWidget* parent)> open)
{
    CMainFrame* f = &frame;
    frame.commands().bind(cmd::RecipeManager, [f, open = std::move(open)] {
        if (open)
            open(f);
    });
}

} // namespace qv
