#pragma once
// Joins the headless application object to the main window: the frame reads the busy flags
// and the project's window lists through it, every document that opens gets a child frame,
// made the first time the window is wanted (and loses it when it closes), and the
// application's progress reaches the status bar
// through the application's report queue, whatever thread reports it.
#include "app/mainframe/main_frame_host.h"
#include "model/app/doc_manager.h"

#include <unordered_set>

namespace qv {

class CEditorApp;
class CMainFrame;

class CEditorAppShell : public CMainFrameHost, public DocTemplateObserver {
public:
    explicit CEditorAppShell(CEditorApp& app);
    ~CEditorAppShell() override;
    CEditorAppShell(const CEditorAppShell&) = delete;
    CEditorAppShell& operator=(const CEditorAppShell&) = delete;

    // Starts following the documents (frames for those already open are made now).
    void Attach(CMainFrame& frame);
    void Detach();

    void FillAppState(cmd::ShellState& state) const override;
    ProjectWindowLists WindowLists() const override;
    void BeforeWindowSwitch() override;
    bool ShowBars() const override;
    void FitViewsToDesktop(const std::string& title) override;
    void RestoreViewMargins(const std::string& title) override;
    void UpdateViewExtents(const std::string& title) override;
    bool RefreshWindowInfo(DocumentWindowInfo& info) const override;
    bool QueryClose() override;

    void DocumentOpened(DocTemplate& tmpl, CDrawDoc& doc) override;
    void DocumentClosing(DocTemplate& tmpl, CDrawDoc& doc) override;

private:
    CEditorApp& app_;
    CMainFrame* frame_ = nullptr;
    // The documents the manager holds, as it told this shell (the windows' look-up).
    std::unordered_set<const void*> openDocs_;
};

} // namespace qv
