#pragma once
// A real application object over a temporary folder and its main window, shown offscreen:
// the base of the tests that drive the editor as a user would, through its own window.
#include "app/shell/main_frame_setup.h"
#include "model/app/editor_app.h"
#include "model/document/draw_doc.h"
#include "platform/text/gbk.h"
#include "tests/app/mainframe_fixture.h"
#include "tests/app/scripted_prompts.h"
#include "tests/fixtures/temp_dir.h"

#include <QCoreApplication>
#include <QEvent>
#include <filesystem>
#include <initializer_list>
#include <memory>

namespace qv::test {

template <class Prompts = ScriptedPrompts>
class EditorWindowFixture : public ::testing::Test {
protected:
    ~EditorWindowFixture() override { closeMainWindow(); }

    // Creates the application (its "images" folder present) and shows its main window.
    void showMainWindow(int width, int height)
    {
        guiApp();
        std::filesystem::create_directories(dir.path() / "images");
        app = std::make_unique<CEditorApp>(dir.path());
        app->SetPrompt(&prompts);
        app->InitDocTemplates();
        frame = createMainFrame(*app);
        frame->resize(width, height);
        frame->show();
    }

    // Closes every document and the window; safe to call twice.
    void closeMainWindow()
    {
        if (!frame)
            return;
        app->CloseAllDocuments();
        frame.reset();
        // Frames of closed documents go by deferred deletion; they must go while the
        // application object they refer to still lives.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        app->SetPrompt(nullptr);
    }

    // Writes a 320 x 240 project "<folder>/<folder's name>.hmi" (folder "demo" below the
    // temporary folder unless given) whose screens are `windowsGbk`, each window file
    // `windowWidth` x `windowHeight`, and opens it. Call under ASSERT_NO_FATAL_FAILURE.
    void openProjectOf(std::initializer_list<const char*> windowsGbk, int windowWidth, int windowHeight,
                       const std::filesystem::path& projectFolder = {})
    {
        const std::filesystem::path folder = projectFolder.empty() ? dir.path() / "demo" : projectFolder;
        std::filesystem::create_directories(folder / "window");
        DocumentError error;
        CDrawDoc project;
        project.m_nWindowWidth = 320;
        project.m_nWindowHeight = 240;
        for (const char* w : windowsGbk)
            project.m_screenNames.push_back(std::make_unique<CDrawObj>(std::string(w)));
        const std::filesystem::path hmiFile = folder / (folder.filename().string() + ".hmi");
        ASSERT_TRUE(project.OnSaveDocument(hmiFile, &error)) << error.messageGbk;
        for (const char* w : windowsGbk) {
            CDrawDoc window;
            window.m_nWindowWidth = windowWidth;
            window.m_nWindowHeight = windowHeight;
            const std::filesystem::path file = folder / "window" / gbkToUtf8Lossy(w);
            ASSERT_TRUE(window.OnSaveDocument(file, &error)) << error.messageGbk;
        }
        ASSERT_TRUE(app->OpenProjectFile(hmiFile));
    }

    TempDir dir;
    Prompts prompts;
    std::unique_ptr<CEditorApp> app;
    std::unique_ptr<CMainFrame> frame;
};

} // namespace qv::test
