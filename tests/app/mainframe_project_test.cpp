// The main window on a real application object and a small project: one frame per document,
// made the first time its window is wanted, menus 128/129, the walk over the project's windows, the worker's progress through the
// application's queue, and a screenshot for a person to look at.
#include "app/mainframe/docking_bars.h"
#include "app/mainframe/prog_status_bar.h"
#include "app/projecttree/tree_host.h"
#include "app/shell/main_frame_setup.h"
#include "app/view/draw_view.h"
#include "model/app/editor_app.h"
#include "tests/app/editor_window_fixture.h"
#include "tests/app/small_project.h"
#include "tests/model/project_fixture.h"
#include "tests/fixtures/temp_dir.h"

#include <QFileInfo>
#include <QMdiArea>
#include <QProgressBar>
#include <filesystem>
#include <thread>

namespace qv::test {
namespace {

namespace fs = std::filesystem;

class MainFrameProject : public EditorWindowFixture<> {
protected:
    MainFrameProject() { showMainWindow(1024, 700); }

    // A project of 320 x 240 with two screens and one sub-window.
    fs::path makeProject() { return writeSmallProject(dir.path()); }

    std::vector<std::string> frameTitles() const
    {
        std::vector<std::string> titles;
        for (CSplitFrame* f : frame->DocumentWindows())
            titles.push_back(f->info().title);
        return titles;
    }
};

TEST_F(MainFrameProject, OpensAFramePerDocumentAndSwapsTheMenus)
{
    EXPECT_EQ(frame->menuBarId(), 128);
    ASSERT_TRUE(app->OpenProjectFile(makeProject())) << (prompts.messages.empty() ? "" : prompts.messages[0]);
    EXPECT_EQ(frame->menuBarId(), 129);
    EXPECT_EQ(frame->DocumentWindowCount(), 5u);
    // The simulator, opened last, is on top; the other frames wait until they are wanted.
    EXPECT_EQ(frameTitles(), std::vector<std::string>{kSimulatorTitle});
    EXPECT_EQ(frame->ActiveDocumentWindow()->info().title, kSimulatorTitle);
    EXPECT_TRUE(frame->ActiveDocumentWindow()->info().runMode);
    EXPECT_TRUE(frame->ProjectDocumentWindow() != nullptr);

    // From the project document the walk visits the screens, the sub-window, the simulator.
    frame->ActivateDocumentWindow(frame->ProjectDocumentWindow());
    std::vector<std::string> walked;
    for (int i = 0; i < 4; ++i) {
        frame->OnNextFile();
        CSplitFrame* active = frame->ActiveDocumentWindow();
        walked.push_back(active->info().title);
        const auto* view = dynamic_cast<CDrawView*>(active->widget());
        ASSERT_NE(view, nullptr) << walked.back();
        EXPECT_EQ(view->GetDocument(), app->FindDocByTitle(walked.back()));
    }
    EXPECT_EQ(walked, (std::vector<std::string>{"win0.drw", "win1.drw", "sub0.dlg", kSimulatorTitle}));
    EXPECT_EQ(frameTitles().size(), 5u);

    app->CloseAllDocuments();
    EXPECT_TRUE(waitFor([&] { return frame->mdiArea()->subWindowList().isEmpty(); }));
    EXPECT_EQ(frame->DocumentWindowCount(), 0u);
    EXPECT_EQ(frame->menuBarId(), 128);
}

struct WantedWindow {
    const char* how;
    bool activates;
    std::size_t framesMade; // the windows the way asks for
    // Asks for the frame of "win1.drw" (`doc`) and returns it.
    CSplitFrame* (*want)(CMainFrame& frame, CDrawDoc& doc);
};

TEST_F(MainFrameProject, AWindowNeverShownGetsItsFrameWhereverItIsWanted)
{
    const fs::path project = makeProject();
    const WantedWindow ways[] = {
        {"found by its title", false, 1, [](CMainFrame& f, CDrawDoc&) { return f.FindDocumentWindow("win1.drw"); }},
        {"found by its document", false, 1, [](CMainFrame& f, CDrawDoc& d) { return f.DocumentWindowOf(&d); }},
        {"found by the title it was renamed to", false, 1,
         [](CMainFrame& f, CDrawDoc& d) {
             d.SetTitle("renamed.drw");
             return f.FindDocumentWindow("renamed.drw");
         }},
        {"activated from the tree", true, 1,
         [](CMainFrame& f, CDrawDoc& d) {
             MainFrameTreeHost(f).ActivateDocument(d);
             return f.ActiveDocumentWindow();
         }},
        {"walked to", true, 2,
         [](CMainFrame& f, CDrawDoc&) {
             f.ActivateDocumentWindow(f.FindDocumentWindow("win0.drw"));
             f.OnNextFile();
             return f.ActiveDocumentWindow();
         }},
    };
    for (const WantedWindow& way : ways) {
        SCOPED_TRACE(way.how);
        ASSERT_TRUE(app->OpenProjectFile(project));
        CDrawDoc* doc = app->FindWindowDocByFileName("win1.drw");
        ASSERT_NE(doc, nullptr);
        ASSERT_EQ(frame->MadeDocumentWindowOf(doc), nullptr);
        ASSERT_NE(frame->ActiveDocumentWindow(), nullptr);
        const std::size_t made = frameTitles().size();

        CSplitFrame* wanted = way.want(*frame, *doc);
        ASSERT_NE(wanted, nullptr);
        EXPECT_EQ(wanted->info().document, doc);
        EXPECT_EQ(wanted->info().title, doc->GetTitle());
        EXPECT_EQ(frame->MadeDocumentWindowOf(doc), wanted);
        const auto* view = dynamic_cast<CDrawView*>(wanted->widget());
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->GetDocument(), doc);
        EXPECT_FALSE(view->IsRunMode());
        EXPECT_EQ(frame->ActiveDocumentWindow() == wanted, way.activates);
        EXPECT_EQ(frameTitles().size(), made + way.framesMade) << "only the windows asked for are made";
        EXPECT_EQ(frame->DocumentWindowOf(doc), wanted) << "made once";
        app->CloseAllDocuments();
        EXPECT_EQ(frame->DocumentWindowCount(), 0u);
    }
}

// A window made late finds its document as one made at the open would have: its objects on
// the page's margins, and the open's state the first undo goes back to.
TEST_F(MainFrameProject, AWindowMadeLateUndoesToTheOpenedDocument)
{
    const fs::path project = makeProject();
    {
        CDrawDoc window; // stored without margins: the open moves it onto the page's
        window.m_nMarginX = window.m_nMarginY = 0;
        window.AddObject(std::make_unique<CDrawRect>(Rect{10, 20, 30, 40}));
        DocumentError error;
        ASSERT_TRUE(window.OnSaveDocument(project.parent_path() / "window" / "win1.drw", &error));
    }
    ASSERT_TRUE(app->OpenProjectFile(project));
    CDrawDoc* doc = app->FindWindowDocByFileName("win1.drw");
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(frame->MadeDocumentWindowOf(doc), nullptr);
    const int mx = app->m_nMarginX.load(), my = app->m_nMarginY.load();
    EXPECT_EQ(doc->m_nMarginX, mx);
    EXPECT_EQ(doc->m_nMarginY, my);
    ASSERT_EQ(doc->m_objects.size(), 1u);
    EXPECT_EQ(doc->m_objects[0]->m_rcPosition, (Rect{10 + mx, 20 + my, 30 + mx, 40 + my}));

    doc->AddObject(std::make_unique<CDrawRect>(Rect{50, 50, 60, 60}));
    doc->SnapshotAndSetModified();
    ASSERT_NE(frame->FindDocumentWindow("win1.drw"), nullptr);
    ASSERT_TRUE(doc->Undo());
    ASSERT_EQ(doc->m_objects.size(), 1u);
    EXPECT_EQ(doc->m_objects[0]->m_rcPosition, (Rect{10 + mx, 20 + my, 30 + mx, 40 + my}));
    EXPECT_FALSE(doc->CanUndo());
}

TEST_F(MainFrameProject, WorkerProgressAndCompilingFlagReachTheWindow)
{
    QProgressBar* progress = frame->progStatusBar()->progress();
    std::thread([&] {
        app->m_bCompiling = 1;
        app->m_reports.setProgress(37);
        app->m_reports.appendText("启动编译器编译工程\r\n");
    }).join();
    ASSERT_TRUE(waitFor([&] { return progress->isVisible(); }));
    EXPECT_EQ(progress->value(), 37);
    EXPECT_TRUE(frame->outputBar()->text().endsWith(QString::fromUtf8(u8"启动编译器编译工程\n")));
    frame->RefreshCommands();
    EXPECT_FALSE(frame->commands().action(cmd::Exit)->isEnabled());
    EXPECT_FALSE(frame->close());
    app->m_bCompiling = 0;
    app->m_reports.setProgress(0);
    ASSERT_TRUE(waitFor([&] { return !progress->isVisible(); }));
}

struct CloseAnswer {
    const char* name;
    ProjectDialogs::SaveChoice answer;
    bool saveFails;
    bool closes;
    bool fileWritten;
};

TEST_F(MainFrameProject, ClosingWithUnsavedEditsAsksFirstAndKeepsThemUnlessToldOtherwise)
{
    ScriptedProjectDialogs dialogs;
    app->SetProjectDialogs(&dialogs);
    ASSERT_TRUE(app->OpenProjectFile(makeProject()));
    CDrawDoc* screen = app->FindWindowDocByFileName("win0.drw");
    ASSERT_NE(screen, nullptr);
    ASSERT_EQ(frame->MadeDocumentWindowOf(screen), nullptr) << "the edited window was never shown";
    const fs::path file = screen->GetPathName();
    std::string stored;
    ASSERT_TRUE(readWholeFile(file, stored));
    screen->AddObject(std::make_unique<CDrawRect>(Rect{40, 40, 80, 80}));
    screen->SetModifiedFlag();
    // A window file whose folder is a plain file cannot be written, whoever runs the test.
    const fs::path blocked = dir.path() / "plain-file" / "win0.drw";
    ASSERT_TRUE(writeFileAtomically(dir.path() / "plain-file", "x"));

    const CloseAnswer cases[] = {
        {"cancel keeps the window", ProjectDialogs::Cancel, false, false, false},
        {"a failed save keeps the window", ProjectDialogs::Save, true, false, false},
        {"do not save closes and leaves the file", ProjectDialogs::DontSave, false, true, false},
        {"save writes the edits, then closes", ProjectDialogs::Save, false, true, true},
    };
    for (const CloseAnswer& c : cases) {
        SCOPED_TRACE(c.name);
        frame->show();
        ASSERT_TRUE(waitFor([&] { return frame->isVisible(); }));
        dialogs.saveChoices.push_back(c.answer);
        const int asked = dialogs.saveQuestions;
        screen->SetPathName(c.saveFails ? blocked : file);
        frame->commands().action(cmd::Exit)->trigger(); // 文件 > 退出
        EXPECT_EQ(dialogs.saveQuestions, asked + 1);
        EXPECT_EQ(frame->isVisible(), !c.closes);
        EXPECT_EQ(screen->IsModified(), !c.fileWritten);
        std::string now;
        ASSERT_TRUE(readWholeFile(file, now));
        EXPECT_EQ(now != stored, c.fileWritten);
        if (c.saveFails)
            EXPECT_FALSE(prompts.messages.empty()) << "the failed save says why";
    }

    // Nothing left to save: the window closes without a question.
    frame->show();
    const int asked = dialogs.saveQuestions;
    EXPECT_TRUE(frame->close());
    EXPECT_EQ(dialogs.saveQuestions, asked);
    app->SetProjectDialogs(nullptr);
}

// Saved beside the test program for a person to look at.
TEST_F(MainFrameProject, ScreenshotOfTheMainWindow)
{
    ASSERT_TRUE(app->OpenProjectFile(makeProject()));
    frame->SetProgress(37);
    frame->AppendText("启动编译器编译工程\r\n");
    ASSERT_TRUE(waitFor([&] { return frame->isVisible(); }));
    const QImage shot = frame->grab().toImage();
    ASSERT_FALSE(shot.isNull());
    const fs::path exe = fs::read_symlink("/proc/self/exe");
    const QString file = QString::fromStdString((exe.parent_path() / "mainframe_screenshot.png").string());
    ASSERT_TRUE(shot.save(file));
    EXPECT_GT(QFileInfo(file).size(), 1000);
}

} // namespace
} // namespace qv::test
