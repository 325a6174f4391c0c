#pragma once
// The editor's own commands on the main window: "锁定工程" / "解锁工程" over every open window,
// "控件编号" with the repaint of the active window, the recent-file entries of the File and
// Project menus, and "配方管理".
#include <functional>

class QWidget;

namespace qv {

class CEditorApp;
class CMainFrame;
class RecentFileList;

void bindEditorCommands(CMainFrame& frame, CEditorApp& app);

// The recent projects listed in place of "最近文件": an entry runs the open road of "打开工程";
// a project that is gone or no longer opens leaves the list. `recent` outlives the frame.
void installRecentFiles(CMainFrame& frame, CEditorApp& app, RecentFileList& recent);

// "配方管理" runs `open` with the main window as parent (the recipe dialogs' owner installs it).
void bindRecipeManager(CMainFrame& frame, std::function<void(QWidget* parent)> open);

} // namespace qv
