// The main window on a real application object and a small project: one frame per document,
// menus 128/129, the walk over the project's windows, the worker's progress through the
// application's queue, and a screenshot for a person to look at.
#include "app/mainframe/docking_bars.h"
#include "app/mainframe/prog_status_bar.h"
#include "app/shell/main_frame_setup.h"
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
    ASSERT_EQ(frameTitles().size(), 5u);
    EXPECT_EQ(frameTitles().back(), kSimulatorTitle);
    EXPECT_TRUE(frame->ProjectDocumentWindow() != nullptr);
    // The simulator, opened last, is on top.
    EXPECT_EQ(frame->ActiveDocumentWindow()->info().title, kSimulatorTitle);
    EXPECT_TRUE(frame->ActiveDocumentWindow()->info().runMode);

    // From the project document the walk visits the screens, the sub-window, the simulator.
    frame->ActivateDocumentWindow(frame->ProjectDocumentWindow());
    std::vector<std::string> walked;
    for (int i = 0; i < 4; ++i) {
        frame->OnNextFile();
        walked.push_back(frame->ActiveDocumentWindow()->info().title);
    }
    EXPECT_EQ(walked, (std::vector<std::string>{"win0.drw", "win1.drw", "sub0.dlg", kSimulatorTitle}));

    app->CloseAllDocuments();
    EXPECT_TRUE(waitFor([&] { return frame->mdiArea()->subWindowList().isEmpty(); }));
    EXPECT_EQ(frame->menuBarId(), 128);
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
