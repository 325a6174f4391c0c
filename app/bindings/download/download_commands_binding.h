#pragma once
// Binds the download commands on the main window: "下载工程到系统区" (`cmd::DownloadProject`) and Ctrl+D in an
// editing view (`CEditorApp::QuickDownloadProject`). The worker reports through the queue.
#include <QString>
#include <filesystem>

namespace qv {

class CEditorApp;
class CMainFrame;

void installDownloadCommands(CMainFrame& frame, CEditorApp& app);

// The user code file the download dialog names: the project's "MC8051\MC8051.hex" under the
// name it has on disk, with the host's separators.
QString UserCodeFileShown(const std::filesystem::path& projectDir);

} // namespace qv
