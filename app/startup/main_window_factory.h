#pragma once
// The one place that builds the program's main window.
#include <QMainWindow>
#include <memory>

namespace qv {

class CEditorApp;
class RecentFileList;

// nullptr when the window cannot be built (start-up then ends).
std::unique_ptr<QMainWindow> createMainWindow(CEditorApp& app, RecentFileList& recentFiles);

} // namespace qv
