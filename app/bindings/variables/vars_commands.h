#pragma once
// The "HMI变量" command of the main window: the modal variable manager over the open project.
namespace qv {

class CEditorApp;
class CMainFrame;

void bindVarsCommands(CMainFrame& frame, CEditorApp& app);

} // namespace qv
