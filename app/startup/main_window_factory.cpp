#include "app/startup/main_window_factory.h"

#include "app/about/about_dlg.h"

#include <QMenuBar>

namespace qv {

std::unique_ptr<QMainWindow> createMainWindow(CEditorApp& /*app*/, RecentFileList& /*recentFiles*/)
{
    auto window = std::make_unique<QMainWindow>();
    window->setWindowTitle(QString::fromUtf8(u8"Quorvane"));
    QMenu* help = window->menuBar()->addMenu(QString::fromUtf8(u8"帮助(&H)"));
    QAction* about = help->addAction(QString::fromUtf8(u8"关于(&A)..."));
    QMainWindow* parent = window.get();
    QObject::connect(about, &QAction::triggered, parent, [parent] { OnAppAbout(parent); });
    return window;
}

} // namespace qv
