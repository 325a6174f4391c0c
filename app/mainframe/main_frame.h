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

    // Document windows.
    CSplitFrame* AddDocumentWindow(DocumentWindowInfo info, QWidget* view = nullptr);
    void RemoveDocumentWindow(const void* document);
    CSplitFrame* FindDocumentWindow(const std::string& title) const;
    CSplitFrame* ActiveDocumentWindow() const;
    CSplitFrame* ProjectDocumentWindow() const;
    void ActivateDocumentWindow(CSplitFrame* frame);
    // Activates a window as the file walk does: in full screen it fills the screen.
    void ShowDocumentWindow(CSplitFrame* target);
    std::vector<CSplitFrame*> DocumentWindows() const;

    // Full screen and the file walk.
    void OnFullScreen();         // enter (palette shown when the host says so) or leave
    void OnFullScreenToggle();   // the same, leaving the palette as it is
    void LeaveFullScreen();      // Shift+Esc; nothing when windowed
    bool IsFullScreen() const { return fullScreen_; }
    void OnNextFile();
    void OnPrevFile();

    // Commands: the state every rule reads, and the refresh of menus and toolbars.
    cmd::ShellState CurrentState() const;
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
