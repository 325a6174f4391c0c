#pragma once
// The main window: the document area with one maximised frame per open document, the four
// toolbars, the full-screen palette, the status bar with the progress control, the project
// bar and the output bar. Workers never call it directly: they post to its report queue,
// which the GUI thread drains in order.
#include "app/commands/command_actions.h"
#include "app/mainframe/main_frame_host.h"
#include "app/mainframe/split_frame.h"

#include <QByteArray>
#include <QMainWindow>
#include <functional>
#include <memory>
#include <vector>

class QMdiArea;
class QToolBar;
class QTimer;

namespace qv {

class CPaletteBar;
class CProgStatusBar;
class CProjectBar;
class COutputBar;
class CReportPump;
class ReportQueue;

class CMainFrame : public QMainWindow {
public:
    // `reports` is the queue workers post to (the frame drains it); nullptr gives the frame
    // a queue of its own. `host` may be nullptr (no application attached).
    explicit CMainFrame(CMainFrameHost* host = nullptr, ReportQueue* reports = nullptr,
                        QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Services the workers' reports end in. Called on another thread, they are posted to
    // the report queue instead, so the call order of each thread is kept.
    int SetProgress(int percent, int unused = 0);
    bool EnableCloseBox(bool enable);
    void AppendText(std::string_view gbk);
    void ClearText();
    ReportQueue& reports() { return *reports_; }
    // The frame keeps the host alive for as long as it lives itself.
    void AdoptHost(std::unique_ptr<CMainFrameHost> host);
    void DrainReports();

    // Document windows. `AddDocumentWindow` makes the frame at once and puts it on top.
    // `AddDocumentWindowLater` only registers the window: its frame and view are made the
    // first time it is wanted (found, activated, walked to); the one registered last is made
    // and put on top on the event loop's next turn, or at the first question about the
    // windows before that, so a project opens with one frame instead of one per document.
    using ViewMaker = std::function<QWidget*()>;
    CSplitFrame* AddDocumentWindow(DocumentWindowInfo info, QWidget* view = nullptr);
    void AddDocumentWindowLater(DocumentWindowInfo info, ViewMaker makeView);
    void RemoveDocumentWindow(const void* document);
    // These make a registered window's frame when it has none yet.
    CSplitFrame* FindDocumentWindow(const std::string& title);
    CSplitFrame* DocumentWindowOf(const void* document);
    CSplitFrame* ProjectDocumentWindow();
    // Without making anything: nullptr while the document's frame was never wanted.
    CSplitFrame* MadeDocumentWindowOf(const void* document) const;
    CSplitFrame* ActiveDocumentWindow();
    void ActivateDocumentWindow(CSplitFrame* frame);
    // Activates a window as the file walk does: in full screen it fills the screen.
    void ShowDocumentWindow(CSplitFrame* target);
    // The frames made so far, in the order they were made.
    std::vector<CSplitFrame*> DocumentWindows();
    // Every registered document window, made or not.
    std::size_t DocumentWindowCount() const;

    // Full screen and the file walk.
    void OnFullScreen();         // enter (palette shown when the host says so) or leave
    void OnFullScreenToggle();   // the same, leaving the palette as it is
    void LeaveFullScreen();      // Shift+Esc; nothing when windowed
    bool IsFullScreen() const { return fullScreen_; }
    void OnNextFile();
    void OnPrevFile();

    // Commands: the state every rule reads, and the refresh of menus and toolbars.
    cmd::ShellState CurrentState();
    void RefreshCommands();
    cmd::CommandActions& commands() { return *commands_; }
    int menuBarId() const { return menuBarId_; }

    void SetStatusMessage(const QString& text);
    CProgStatusBar* progStatusBar() const { return status_; }
    CProjectBar* projectBar() const { return projectBar_; }
    COutputBar* outputBar() const { return outputBar_; }
    CPaletteBar* palette() const { return palette_; }
    QMdiArea* mdiArea() const { return mdi_; }
    QToolBar* toolbar(int resource) const;
    const std::vector<QToolBar*>& toolbars() const { return toolbars_; }

    static QString BannerLine();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createToolbars();
    void createBars();
    void bindFrameCommands();
    void updateMenuBar();
    QWidget* barWidget(cmd::Bar bar) const;
    void toggleBar(cmd::Bar bar);
    void enterFullScreen(bool touchPalette);
    void applyFullScreen(CSplitFrame* previous, CSplitFrame* target);
    void switchTo(CSplitFrame* previous, CSplitFrame* target);
    bool onGuiThread() const;
    void syncWindowInfo();
    void keepWindowsMaximised();
    // A window registered but not made yet.
    struct PendingWindow {
        DocumentWindowInfo info;
        ViewMaker makeView;
    };
    CSplitFrame* makeFrame(DocumentWindowInfo info, QWidget* view, bool activate);
    CSplitFrame* makePending(std::size_t index);
    void settle();
    std::vector<CSplitFrame*> madeWindows() const;

    std::vector<PendingWindow> pending_;
    const void* newestDue_ = nullptr; // the document whose window goes on top at the next settle
    bool settleQueued_ = false;

    CMainFrameHost* host_;
    std::unique_ptr<CMainFrameHost> ownHost_;
    std::unique_ptr<ReportQueue> ownReports_;
    ReportQueue* reports_;
    std::unique_ptr<CReportPump> pump_;

    QMdiArea* mdi_ = nullptr;
    CProgStatusBar* status_ = nullptr;
    CProjectBar* projectBar_ = nullptr;
    COutputBar* outputBar_ = nullptr;
    CPaletteBar* palette_ = nullptr;
    std::vector<QToolBar*> toolbars_;
    cmd::CommandActions* commands_ = nullptr;
    QTimer* refreshTimer_ = nullptr;
    int menuBarId_ = 0;

    bool closeBoxEnabled_ = true;
    bool destroying_ = false;
    bool fullScreen_ = false;
    QByteArray savedGeometry_;
    bool savedMaximized_ = false;
    std::array<bool, static_cast<std::size_t>(cmd::Bar::Count)> savedBars_{};
    bool savedMenuBar_ = true;
};

} // namespace qv
