#pragma once
// Binds the device commands on the main window: "同步PC和下位机时钟", "升级VGA驱动", "清除FLASH内的工程",
// "测试蜂鸣器" and the compile-confirm dialog's "测试获取". Their exchanges run
// on the device command worker; lines and message boxes come back through the report queue.
namespace qv {

class CEditorApp;
class CMainFrame;
class CCompileRunner;

void installDeviceCommands(CMainFrame& frame, CEditorApp& app, CCompileRunner* compileRunner);

} // namespace qv
