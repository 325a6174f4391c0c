#pragma once
// The "工程属性" command: the project-properties sheet over the open project.
namespace qv {

class CEditorApp;
class CMainFrame;

void bindSettingsCommands(CMainFrame& frame, CEditorApp& app);

} // namespace qv
