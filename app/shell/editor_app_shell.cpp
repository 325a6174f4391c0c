#include "app/shell/editor_app_shell.h"

#include "app/view/run_mode_driver.h"
#include "sim/sound/sound_service.h"

#include "app/edit/edit_commands.h"
#include "app/layout/layout_commands.h"
#include "app/bindings/simulator/sim_commands.h"
#include "app/mainframe/main_frame.h"
#include "app/mainframe/prog_status_bar.h"
#include "app/drawing_tools/tool_commands.h"
#include "app/view/draw_view.h"
#include "app/view/view_geometry.h"
#include "app/view/view_state.h"
#include "model/app/editor_app.h"
#include "model/app/emulator_flags.h"

#include <QAction>
#include <QTimer>

namespace qv {
namespace {

CDrawView* viewOf(const CSplitFrame* frame)
{
    return frame != nullptr ? dynamic_cast<CDrawView*>(frame->widget()) : nullptr;
}

std::vector<std::string> namesOf(const ObjectList& entries)
{
    std::vector<std::string> names;
    names.reserve(entries.size());
    for (const auto& entry : entries)
        names.push_back(entry->m_strName);
    return names;
}

// The view of a document window, made when the window is first wanted.
CDrawView* makeDocumentView(CEditorApp& app, CMainFrame& frame, CDrawDoc& doc, bool runMode)
{
    auto* view = new CDrawView(app, &doc, runMode);
    CDrawView::Hooks hooks;
    hooks.cursorPosition = [&frame](Point p) {
        frame.progStatusBar()->SetPaneText(CProgStatusBar::CursorPosition,
                                           QString::fromUtf8(u8"X:%1，Y%2 ").arg(p.x).arg(p.y));
    };
    hooks.commandEnabled = [&frame](int id) {
        const QAction* action = frame.commands().action({cmd::Owner::View, id});
        return action != nullptr && action->isEnabled();
    };
    hooks.runCommand = [&frame](int id) { frame.commands().trigger({cmd::Owner::View, id}); };
    hooks.escapePressed = [&frame] { frame.commands().trigger(cmd::LeaveFullScreen); };
    // An editing view keeps the 400 ms work only: the caret blink and the PLC poll.
    hooks.caretTick = [&app] {
        app.BlinkInputCaret();
        app.PollPlcPorts();
    };
    view->SetHooks(std::move(hooks));
    if (runMode)
        new RunModeDriver(app, *view); // a child of the view
    return view;
}

} // namespace

CEditorAppShell::CEditorAppShell(CEditorApp& app) : app_(app) {}

CEditorAppShell::~CEditorAppShell() { Detach(); }

void CEditorAppShell::Attach(CMainFrame& frame)
{
    Detach();
    frame_ = &frame;
    // The compiler's header buffer comes with the main window.
    if (app_.m_pHeaderBuffer.size() != static_cast<std::size_t>(app_.m_nHeaderBufferSize))
        app_.m_pHeaderBuffer.assign(static_cast<std::size_t>(app_.m_nHeaderBufferSize), 0);
    ToolCommandServices tools;
    tools.activeIsRunMode = [&frame] { return frame.CurrentState().activeIsRunMode; };
    tools.dialogParent = &frame;
    BindToolCommands(frame.commands(), app_, std::move(tools));
    const auto activeView = [&frame] { return viewOf(frame.ActiveDocumentWindow()); };
    edit::BindEditCommands(frame.commands(), activeView);
    layout::LayoutServices layoutServices;
    layoutServices.dialogParent = &frame;
    layoutServices.voiceAssistant = [this, &frame] { OpenVoiceAssistant(app_, &frame); };
    layout::BindLayoutCommands(frame.commands(), activeView, std::move(layoutServices));
    app_.GetDocManager().AddObserver(this);
    for (const auto& tmpl : app_.GetDocManager().Templates())
        for (const auto& doc : tmpl->Documents())
            DocumentOpened(*tmpl, *doc);
    // Through the application's queue, which outlives the window: any thread may report,
    // and nothing reaches a window that is gone.
    app_.onProgress = [&reports = app_.m_reports](int percent) { reports.setProgress(percent); };
    // Edits in a row (placing controls, sheets) rebuild the simulation once, on the loop's next turn.
    app_.SetRebuildDeferral([&frame](std::function<void()> run) { QTimer::singleShot(0, &frame, std::move(run)); });
}

void CEditorAppShell::Detach()
{
    if (frame_ == nullptr)
        return;
    app_.GetDocManager().RemoveObserver(this);
    app_.SetRebuildDeferral(nullptr);
    openDocs_.clear();
    frame_ = nullptr;
}

void CEditorAppShell::FillAppState(cmd::ShellState& state) const
{
    state.compiling = app_.m_bCompiling.load() != 0;
    state.downloading = app_.m_bDownloading.load() != 0;
    state.showCtrlNumbers = app_.m_bShowCtrlNumbers.load() != 0;
    state.anyDocumentModified = app_.GetDocManager().AnyDocumentModified();
    FillViewState(frame_ != nullptr ? viewOf(frame_->ActiveDocumentWindow()) : nullptr, state);
}

ProjectWindowLists CEditorAppShell::WindowLists() const
{
    const CDrawDoc* project = app_.ProjectDoc();
    if (project == nullptr)
        return {};
    return {namesOf(project->m_screenNames), namesOf(project->m_subWindowNames)};
}

void CEditorAppShell::BeforeWindowSwitch()
{
    // The emulator and its sound stop before another window takes the screen.
    MC8051StopRequest = 1;
    sim::CloseSound();
}

bool CEditorAppShell::ShowBars() const { return app_.m_bShowBars.load() != 0; }

void CEditorAppShell::FitViewsToDesktop(const std::string& title)
{
    if (CDrawDoc* doc = app_.FindDocByTitle(title))
        doc->FitViewsToDesktop();
}

void CEditorAppShell::RestoreViewMargins(const std::string& title)
{
    if (CDrawDoc* doc = app_.FindDocByTitle(title))
        doc->RestoreViewMargins();
}

void CEditorAppShell::UpdateViewExtents(const std::string& title)
{
    if (CDrawDoc* doc = app_.FindDocByTitle(title))
        doc->UpdateViewExtents();
}

bool CEditorAppShell::RefreshWindowInfo(DocumentWindowInfo& info) const
{
    // Every window is refreshed after each command: a set, not a search of the documents.
    if (!openDocs_.contains(info.document))
        return false;
    const auto* doc = static_cast<const CDrawDoc*>(info.document);
    info.title = doc->GetTitle();
    info.isProject = info.isProject || doc->m_bIsProjectDoc != 0;
    return true;
}

bool CEditorAppShell::QueryClose()
{
    return app_.SaveBeforeClosing();
}

void CEditorAppShell::DocumentOpened(DocTemplate& tmpl, CDrawDoc& doc)
{
    openDocs_.insert(&doc);
    if (frame_ == nullptr)
        return;
    // What a view does to its document when made (the first undo snapshot, the objects on
    // the page's margins) happens now, so saving, compiling and undo find every document
    // the same whether its window was ever shown or not.
    if (doc.m_nUndoDepth < 0)
        doc.TakeUndoSnapshot();
    RebaseObjects(doc, {app_.m_nMarginX.load(), app_.m_nMarginY.load()});
    DocumentWindowInfo info;
    info.title = doc.GetTitle();
    info.isProject = &tmpl == app_.m_pProjectTemplate || doc.m_bIsProjectDoc != 0;
    info.runMode = &tmpl == app_.m_pWindowTemplate && doc.GetTitle() == CEditorApp::kSimulatorTitle;
    info.document = &doc;
    const bool runMode = info.runMode;
    frame_->AddDocumentWindowLater(std::move(info), [&app = app_, &frame = *frame_, &doc, runMode] {
        return makeDocumentView(app, frame, doc, runMode);
    });
}

void CEditorAppShell::DocumentClosing(DocTemplate&, CDrawDoc& doc)
{
    if (frame_ != nullptr) {
        // The frame goes later than the document: its view lets go of the document now.
        if (CDrawView* view = viewOf(frame_->MadeDocumentWindowOf(&doc)))
            view->DetachDocument();
        frame_->RemoveDocumentWindow(&doc);
    }
    // Until here the closing document is still one of the list, as the manager holds it.
    openDocs_.erase(&doc);
}

} // namespace qv
