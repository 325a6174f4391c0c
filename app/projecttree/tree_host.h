#pragma once
// The project tree's way into the main window: activating a document's frame, whether the
// frame in front shows the simulator, and the application's project properties command.
#include "model/tree/window_dialogs.h"

namespace qv {

class CEditorApp;
class CMainFrame;
class CProjectTree;

class MainFrameTreeHost : public ProjectTreeHost {
public:
    explicit MainFrameTreeHost(CMainFrame& frame) : frame_(frame) {}
    void ActivateDocument(CDrawDoc& doc) override;
    bool FocusViewIsRunMode() const override;
    void ProjectProperties() override;
    void CloseSound() override;

private:
    CMainFrame& frame_;
};

// Puts the project tree into the frame's project bar, binds the tree's commands of the
// command table to it, and returns it (the bar owns it).
CProjectTree* installProjectTree(CEditorApp& app, CMainFrame& frame);

} // namespace qv
