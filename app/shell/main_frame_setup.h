#pragma once
// Builds the program's main window on the application object: the frame drains the
// application's report queue, follows its documents and runs its commands.
#include <memory>

namespace qv {

class CEditorApp;
class CMainFrame;

std::unique_ptr<CMainFrame> createMainFrame(CEditorApp& app);

} // namespace qv
