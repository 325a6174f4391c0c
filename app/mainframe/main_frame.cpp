#include "app/mainframe/main_frame.h"

#include "app/mainframe/docking_bars.h"
#include "app/mainframe/palette_bar.h"
#include "app/mainframe/prog_status_bar.h"
#include "app/mainframe/toolbar_layout.h"
#include "app/shell/report_pump.h"
#include "compiler/compile/compile_command.h"
#include "platform/qt/qtext.h"
#include "platform/report/report_queue.h"

#include <QAction>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMenuBar>
#include <QThread>
#include <QTimer>
#include <QToolBar>

#include <utility>

namespace qv {
namespace {

using cmd::Bar;
using cmd::CommandKey;

constexpr int kRefreshMs = 250;      // toolbar states follow the workers' flags this often
constexpr int kPaletteOffset = 100;  // the palette's place relative to the frame

// Which toolbar resource each View-menu toggle shows or hides.
struct BarToggle {
    CommandKey key;
    Bar bar;
};
constexpr BarToggle kBarToggles[] = {
    {cmd::ViewStandardBar, Bar::Standard}, {cmd::ViewStatusBar, Bar::Status},
    {cmd::ViewDrawingBar, Bar::Drawing},   {cmd::ViewProjectBar, Bar::Project},
    {cmd::ViewOutputBar, Bar::Output},     {cmd::ViewControlsBar, Bar::Controls},
    {cmd::ViewLayoutBar, Bar::Layout},
};

} // namespace

CMainFrame::CMainFrame(CMainFrameHost* host, ReportQueue* reports, QWidget* parent)
    : QMainWindow(parent), host_(host)
{
    if (host_ == nullptr) {
        ownHost_ = std::make_unique<CMainFrameHost>();
        host_ = ownHost_.get();
    }
    if (reports == nullptr) {
        ownReports_ = std::make_unique<ReportQueue>();
        reports = ownReports_.get();
    }
    reports_ = reports;

    setWindowTitle(QStringLiteral("Quorvane"));
    setObjectName(QStringLiteral("mainFrame"));
    setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowNestedDocks);

    mdi_ = new QMdiArea(this);
    mdi_->setViewMode(QMdiArea::SubWindowView);
    mdi_->setBackground(QColor(128, 128, 128));
    setCentralWidget(mdi_);
    connect(mdi_, &QMdiArea::subWindowActivated, this, [this] { RefreshCommands(); });

    commands_ = new cmd::CommandActions(this);
    commands_->setAfterCommand([this] { RefreshCommands(); });

    createToolbars();
    createBars();
    bindFrameCommands();
    updateMenuBar();

    pump_ = std::make_unique<CReportPump>(*reports_, [this](Report& r) {
        std::visit(
            [this](auto& report) {
                using T = std::decay_t<decltype(report)>;
                if constexpr (std::is_same_v<T, ReportText>)
                    outputBar_->AppendText(std::string_view(report.gbk));
                else if constexpr (std::is_same_v<T, ReportClearOutput>)
                    outputBar_->ClearText();
                else if constexpr (std::is_same_v<T, ReportProgress>)
                    status_->OnSetProgress(report.percent);
                else if constexpr (std::is_same_v<T, ReportCloseBox>)
                    EnableCloseBox(report.enabled);
                else if constexpr (std::is_same_v<T, ReportStatus>)
                    status_->SetPaneText(report.pane, toQString(report.gbk));
                else if (report.run)
                    report.run();
            },
            r);
    });

    refreshTimer_ = new QTimer(this);
    refreshTimer_->setInterval(kRefreshMs);
    connect(refreshTimer_, &QTimer::timeout, this, [this] { RefreshCommands(); });
    refreshTimer_->start();

    outputBar_->AppendText(BannerLine());
    RefreshCommands();
}

CMainFrame::~CMainFrame()
{
    // The children go after this body: nothing they signal while dying may reach the frame.
    destroying_ = true;
    refreshTimer_->stop();
    for (QObject* child : findChildren<QObject*>())
        disconnect(child, nullptr, this, nullptr);
    pump_.reset(); // detach from the queue before the widgets go
}

// The same line the compile command writes, with the image's version.
QString CMainFrame::BannerLine() { return toQString(compile::compileBanner()); }

void CMainFrame::createToolbars()
{
    for (const ToolbarDef& def : dockedToolbars()) {
        if (def.breakBefore)
            addToolBarBreak(Qt::TopToolBarArea);
        auto* bar = new QToolBar(QString::fromUtf8(def.title), this);
        bar->setObjectName(QString::fromLatin1(def.objectName));
        bar->setProperty("resource", def.resource);
        bar->setIconSize(QSize(16, 16));
        if (!def.flat)
            bar->setStyleSheet(QStringLiteral("QToolButton { border: 1px outset gray; }"));
        for (const cmd::MenuEntry& e : def.buttons) {
            if (e.id == 0)
                bar->addSeparator();
            else if (QAction* act = commands_->action({e.owner, e.id}))
                bar->addAction(act);
        }
        addToolBar(Qt::TopToolBarArea, bar);
        toolbars_.push_back(bar);
    }

    palette_ = new CPaletteBar(this);
    QList<QAction*> paletteActions;
    for (const cmd::MenuEntry& e : paletteToolbar().buttons)
        if (QAction* act = commands_->action({e.owner, e.id}))
            paletteActions.append(act);
    palette_->SetActions(paletteActions);
    palette_->SetPaletteColumns(6);
    palette_->move(kPaletteOffset, kPaletteOffset);
    palette_->hide();
}

void CMainFrame::createBars()
{
    status_ = new CProgStatusBar(this);
    setStatusBar(status_);

    projectBar_ = new CProjectBar(this);
    addDockWidget(Qt::LeftDockWidgetArea, projectBar_);
    outputBar_ = new COutputBar(this);
    addDockWidget(Qt::BottomDockWidgetArea, outputBar_);
    resizeDocks({projectBar_}, {projectBar_->defaultSize().width()}, Qt::Horizontal);
    resizeDocks({outputBar_}, {outputBar_->defaultSize().height()}, Qt::Vertical);
    // Closing a bar through its own button must refresh the View menu's check marks.
    for (QDockWidget* dock : {static_cast<QDockWidget*>(projectBar_), static_cast<QDockWidget*>(outputBar_)})
        connect(dock, &QDockWidget::visibilityChanged, this, [this] { RefreshCommands(); });
}

void CMainFrame::bindFrameCommands()
{
    for (const BarToggle& t : kBarToggles) {
        const Bar bar = t.bar;
        commands_->bind(t.key, [this, bar] { toggleBar(bar); });
    }
    commands_->bind(cmd::FullScreen, [this] { OnFullScreen(); });
    commands_->bind(cmd::FullScreenToggle, [this] { OnFullScreenToggle(); });
    commands_->bind(cmd::NextFile, [this] { OnNextFile(); });
    commands_->bind(cmd::PrevFile, [this] { OnPrevFile(); });
    commands_->bind(cmd::LeaveFullScreen, [this] { LeaveFullScreen(); });
    // The framework's exit: closing the main window (refused while a worker runs).
    commands_->bind(cmd::Exit, [this] { close(); });
}

void CMainFrame::updateMenuBar()
{
    const int wanted = DocumentWindowCount() == 0 ? 128 : 129;
    if (wanted == menuBarId_)
        return;
    menuBarId_ = wanted;
    commands_->fillMenuBar(menuBar(), cmd::menuBar(static_cast<cmd::MenuBarId>(wanted)),
                           [this] { RefreshCommands(); });
}

QToolBar* CMainFrame::toolbar(int resource) const
{
    for (QToolBar* bar : toolbars_)
        if (bar->property("resource").toInt() == resource)
            return bar;
    return nullptr;
}

QWidget* CMainFrame::barWidget(Bar bar) const
{
    switch (bar) {
    case Bar::Standard: return toolbar(128);
    case Bar::Drawing: return toolbar(130);
    case Bar::Controls: return toolbar(144);
    case Bar::Layout: return toolbar(143);
    case Bar::Project: return projectBar_;
    case Bar::Output: return outputBar_;
    case Bar::Status: return status_;
    case Bar::Count: break;
    }
    return nullptr;
}

void CMainFrame::toggleBar(Bar bar)
{
    if (QWidget* w = barWidget(bar))
        w->setVisible(w->isHidden());
}

// ---- state and commands ----------------------------------------------------------------

cmd::ShellState CMainFrame::CurrentState()
{
    cmd::ShellState s;
    host_->FillAppState(s);
    s.fullScreen = fullScreen_;
    for (std::size_t i = 0; i < s.barVisible.size(); ++i) {
        // In full screen the bars are hidden for the moment only; the menu shows what returns.
        const QWidget* w = barWidget(static_cast<Bar>(i));
        s.barVisible[i] = fullScreen_ ? savedBars_[i] : (w != nullptr && !w->isHidden());
    }
    if (const CSplitFrame* active = ActiveDocumentWindow()) {
        s.hasActiveDocument = true;
        s.activeIsProject = active->info().isProject;
        s.activeIsRunMode = active->info().runMode;
    }
    return s;
}

void CMainFrame::syncWindowInfo()
{
    for (CSplitFrame* f : madeWindows()) {
        DocumentWindowInfo info = f->info();
        if (host_->RefreshWindowInfo(info))
            f->UpdateInfo(std::move(info));
    }
}

void CMainFrame::RefreshCommands()
{
    if (destroying_)
        return;
    syncWindowInfo();
    const cmd::ShellState state = CurrentState();
    commands_->refresh(state);
}

// ---- services for the workers ----------------------------------------------------------

bool CMainFrame::onGuiThread() const { return QThread::currentThread() == thread(); }

int CMainFrame::SetProgress(int percent, int)
{
    if (!onGuiThread()) {
        reports_->setProgress(percent);
        return 0;
    }
    status_->OnSetProgress(percent);
    return 0;
}

bool CMainFrame::EnableCloseBox(bool enable)
{
    if (!onGuiThread()) {
        reports_->enableCloseBox(enable);
        return true;
    }
    closeBoxEnabled_ = enable;
    RefreshCommands();
    return true;
}

void CMainFrame::AppendText(std::string_view gbk)
{
    if (!onGuiThread()) {
        reports_->appendText(std::string(gbk));
        return;
    }
    outputBar_->AppendText(gbk);
}

void CMainFrame::ClearText()
{
    if (!onGuiThread()) {
        reports_->post(ReportClearOutput{});
        return;
    }
    outputBar_->ClearText();
}

void CMainFrame::AdoptHost(std::unique_ptr<CMainFrameHost> host)
{
    host_ = host.get();
    ownHost_ = std::move(host);
    RefreshCommands();
}

void CMainFrame::DrainReports() { pump_->Drain(); }

void CMainFrame::SetStatusMessage(const QString& text) { status_->SetPaneText(CProgStatusBar::Message, text); }

void CMainFrame::closeEvent(QCloseEvent* event)
{
    const cmd::ShellState state = CurrentState();
    if (state.busy() || !closeBoxEnabled_) {
        // Most window managers cannot grey the close box: refuse and say why.
        event->ignore();
        SetStatusMessage(QString::fromUtf8(u8"正在编译或下载，不能退出：请等它结束，或先选“硬件 > 中止编译和下载”"));
        return;
    }
    // Unsaved edits are asked about before anything closes.
    if (!host_->QueryClose()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

// ---- document windows ------------------------------------------------------------------

CSplitFrame* CMainFrame::makeFrame(DocumentWindowInfo info, QWidget* view, bool activate)
{
    QMdiSubWindow* previous = mdi_->activeSubWindow();
    auto* frame = new CSplitFrame(std::move(info), view);
    frame->addActions(commands_->editingShortcuts());
    mdi_->addSubWindow(frame);
    frame->showMaximized();
    if (fullScreen_)
        frame->SetCaptionVisible(false);
    if (activate)
        mdi_->setActiveSubWindow(frame);
    else if (previous != nullptr && mdi_->activeSubWindow() != previous)
        mdi_->setActiveSubWindow(previous);
    connect(frame, &QObject::destroyed, this, [this] {
        // The list no longer holds the frame once it is destroyed: re-evaluate the menu.
        QTimer::singleShot(0, this, [this] {
            keepWindowsMaximised();
            updateMenuBar();
            RefreshCommands();
        });
    });
    return frame;
}

CSplitFrame* CMainFrame::AddDocumentWindow(DocumentWindowInfo info, QWidget* view)
{
    CSplitFrame* frame = makeFrame(std::move(info), view, true);
    updateMenuBar();
    RefreshCommands();
    return frame;
}

void CMainFrame::AddDocumentWindowLater(DocumentWindowInfo info, ViewMaker makeView)
{
    newestDue_ = info.document;
    pending_.push_back({std::move(info), std::move(makeView)});
    updateMenuBar();
    if (!settleQueued_) {
        settleQueued_ = true;
        QTimer::singleShot(0, this, [this] { settle(); });
    }
}

CSplitFrame* CMainFrame::makePending(std::size_t index)
{
    PendingWindow entry = std::move(pending_[index]);
    pending_.erase(pending_.begin() + static_cast<std::ptrdiff_t>(index));
    host_->RefreshWindowInfo(entry.info);
    return makeFrame(std::move(entry.info), entry.makeView ? entry.makeView() : nullptr, false);
}

// The window registered last goes on top, as it would have had every frame been made at once.
void CMainFrame::settle()
{
    settleQueued_ = false;
    if (newestDue_ == nullptr || destroying_)
        return;
    const void* document = std::exchange(newestDue_, nullptr);
    CSplitFrame* frame = MadeDocumentWindowOf(document);
    for (std::size_t i = 0; frame == nullptr && i < pending_.size(); ++i)
        if (pending_[i].info.document == document)
            frame = makePending(i);
    if (frame != nullptr)
        mdi_->setActiveSubWindow(frame);
    updateMenuBar();
    RefreshCommands();
}

void CMainFrame::RemoveDocumentWindow(const void* document)
{
    if (newestDue_ == document)
        newestDue_ = nullptr;
    std::erase_if(pending_, [document](const PendingWindow& p) { return p.info.document == document; });
    for (CSplitFrame* frame : madeWindows())
        if (frame->info().document == document) {
            mdi_->removeSubWindow(frame);
            frame->CloseByProgram();
        }
    keepWindowsMaximised();
    updateMenuBar();
    RefreshCommands();
}

// The area restores its other children when a maximised one goes; document windows are
// always maximised, the active one on top (the area then maximises whichever comes next).
void CMainFrame::keepWindowsMaximised()
{
    if (destroying_)
        return;
    QMdiSubWindow* active = mdi_->activeSubWindow();
    for (CSplitFrame* f : madeWindows())
        if (!f->isMaximized())
            f->showMaximized();
    if (active != nullptr)
        mdi_->setActiveSubWindow(active);
}

std::vector<CSplitFrame*> CMainFrame::madeWindows() const
{
    std::vector<CSplitFrame*> out;
    for (QMdiSubWindow* w : mdi_->subWindowList(QMdiArea::CreationOrder))
        if (auto* f = dynamic_cast<CSplitFrame*>(w))
            out.push_back(f);
    return out;
}

std::vector<CSplitFrame*> CMainFrame::DocumentWindows()
{
    settle();
    return madeWindows();
}

std::size_t CMainFrame::DocumentWindowCount() const
{
    return static_cast<std::size_t>(mdi_->subWindowList().size()) + pending_.size();
}

CSplitFrame* CMainFrame::FindDocumentWindow(const std::string& title)
{
    settle();
    for (CSplitFrame* f : madeWindows())
        if (f->info().title == title)
            return f;
    // A pending window's title is the one its document has now (a rename changes it).
    for (std::size_t i = 0; i < pending_.size(); ++i)
        if (host_->RefreshWindowInfo(pending_[i].info) && pending_[i].info.title == title)
            return makePending(i);
    return nullptr;
}

CSplitFrame* CMainFrame::DocumentWindowOf(const void* document)
{
    settle();
    if (CSplitFrame* f = MadeDocumentWindowOf(document))
        return f;
    for (std::size_t i = 0; i < pending_.size(); ++i)
        if (pending_[i].info.document == document)
            return makePending(i);
    return nullptr;
}

CSplitFrame* CMainFrame::MadeDocumentWindowOf(const void* document) const
{
    for (CSplitFrame* f : madeWindows())
        if (f->info().document == document)
            return f;
    return nullptr;
}

CSplitFrame* CMainFrame::ActiveDocumentWindow()
{
    settle();
    return dynamic_cast<CSplitFrame*>(mdi_->activeSubWindow());
}

CSplitFrame* CMainFrame::ProjectDocumentWindow()
{
    settle();
    for (CSplitFrame* f : madeWindows())
        if (f->info().isProject)
            return f;
    for (std::size_t i = 0; i < pending_.size(); ++i)
        if (pending_[i].info.isProject)
            return makePending(i);
    return nullptr;
}

void CMainFrame::ActivateDocumentWindow(CSplitFrame* frame)
{
    if (frame == nullptr)
        return;
    frame->showMaximized();
    mdi_->setActiveSubWindow(frame);
}

// ---- full screen -----------------------------------------------------------------------

void CMainFrame::OnFullScreen()
{
    if (fullScreen_)
        LeaveFullScreen();
    else
        enterFullScreen(true);
}

void CMainFrame::OnFullScreenToggle()
{
    if (fullScreen_)
        LeaveFullScreen();
    else
        enterFullScreen(false);
}

void CMainFrame::enterFullScreen(bool touchPalette)
{
    CSplitFrame* active = ActiveDocumentWindow();
    if (active != nullptr)
        host_->FitViewsToDesktop(active->info().title);

    // Remember what was shown, so leaving brings back exactly that.
    for (std::size_t i = 0; i < savedBars_.size(); ++i) {
        QWidget* w = barWidget(static_cast<Bar>(i));
        savedBars_[i] = w != nullptr && !w->isHidden();
        if (w != nullptr)
            w->hide();
    }
    savedMenuBar_ = !menuBar()->isHidden();
    menuBar()->hide();
    if (touchPalette)
        palette_->setVisible(host_->ShowBars());

    if (active != nullptr) {
        active->SetCaptionVisible(false);
        active->showMaximized();
    }
    savedGeometry_ = saveGeometry();
    savedMaximized_ = isMaximized();
    fullScreen_ = true;
    // A full-screen window of the desktop's size; the display mode is never changed.
    showFullScreen();
    palette_->raise();
    RefreshCommands();
}

void CMainFrame::LeaveFullScreen()
{
    if (!fullScreen_)
        return;
    fullScreen_ = false;
    for (CSplitFrame* f : madeWindows())
        f->SetCaptionVisible(true);
    for (std::size_t i = 0; i < savedBars_.size(); ++i)
        if (QWidget* w = barWidget(static_cast<Bar>(i)))
            w->setVisible(savedBars_[i]);
    menuBar()->setVisible(savedMenuBar_);
    palette_->hide();
    if (savedMaximized_)
        showMaximized();
    else
        showNormal();
    restoreGeometry(savedGeometry_);
    if (CSplitFrame* active = ActiveDocumentWindow())
        host_->RestoreViewMargins(active->info().title);
    RefreshCommands();
}

void CMainFrame::applyFullScreen(CSplitFrame* previous, CSplitFrame* target)
{
    host_->FitViewsToDesktop(target->info().title);
    if (fullScreen_) {
        target->SetCaptionVisible(false);
        target->showMaximized();
    }
    if (previous != nullptr)
        host_->UpdateViewExtents(previous->info().title);
}

void CMainFrame::switchTo(CSplitFrame* previous, CSplitFrame* target)
{
    ActivateDocumentWindow(target);
    applyFullScreen(previous, target);
    RefreshCommands();
}

void CMainFrame::ShowDocumentWindow(CSplitFrame* target)
{
    if (target == nullptr)
        return;
    CSplitFrame* previous = ActiveDocumentWindow();
    switchTo(previous == target ? nullptr : previous, target);
}

void CMainFrame::OnNextFile()
{
    CSplitFrame* active = ActiveDocumentWindow();
    if (active == nullptr)
        return;
    host_->BeforeWindowSwitch();
    const auto title = nextFileTitle(active->info().isProject, active->info().title, host_->WindowLists());
    if (!title)
        return; // the simulator ends the walk
    CSplitFrame* target = FindDocumentWindow(*title);
    if (target == nullptr) {
        SetStatusMessage(QString::fromUtf8(u8"找不到窗口：") + toQString(*title));
        return;
    }
    switchTo(active, target);
}

void CMainFrame::OnPrevFile()
{
    CSplitFrame* active = ActiveDocumentWindow();
    if (active == nullptr)
        return;
    host_->BeforeWindowSwitch();
    if (active->info().isProject)
        return;
    const auto title = prevFileTitle(active->info().title, host_->WindowLists());
    CSplitFrame* target = title ? FindDocumentWindow(*title) : nullptr;
    if (target == nullptr)
        target = ProjectDocumentWindow();
    if (target != nullptr)
        switchTo(active, target);
}

} // namespace qv
