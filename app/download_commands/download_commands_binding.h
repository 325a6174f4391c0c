#pragma once
// Binds the download commands on the main window: "下载工程到系统区" (32798) and Ctrl+D in an
// editing view (`CEditorApp::QuickDownloadProject`). The worker reports through the queue.
namespace qv {

class CEditorApp;
class CMainFrame;

void installDownloadCommands(CMainFrame& frame, CEditorApp& app);

} // namespace qv
