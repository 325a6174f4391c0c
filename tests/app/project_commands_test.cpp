// The project menu's commands on the real main window reach the project operations, whose
// dialogs the test answers.
#include "app/mainframe/main_frame.h"
#include "app/shell/main_frame_setup.h"
#include "tests/app/qt_app.h"
#include "tests/model/project_fixture.h"

#include <QAction>
#include <QCoreApplication>

namespace qv::test {
namespace {

TEST(ProjectCommands, MenuCommandsRunNewSaveAndClose)
{
    qtApp();
    TempDir base;
    for (const char* sub : {"MC8051", "UsbDisk", "SDCard", "FDisk"})
        writeText(base / "images" / sub / "marker.txt", sub);
    ScriptedPrompts prompts;
    ScriptedProjectDialogs dialogs;
    CEditorApp app(base.path());
    app.SetPrompt(&prompts);
    app.InitDocTemplates();
    auto frame = createMainFrame(app);
    app.SetProjectDialogs(&dialogs); // in place of the Qt dialogs the frame installed

    const auto trigger = [&](cmd::CommandKey key) {
        QAction* action = frame->commands().action(key);
        ASSERT_NE(action, nullptr) << key.id;
        ASSERT_TRUE(action->isEnabled()) << key.id;
        action->trigger();
    };
    dialogs.newProjects.push_back(NewProjectChoice{base.path(), "p", 480, 272});
    trigger(cmd::FileNewProject); // 文件 > 新建工程
    EXPECT_EQ(app.m_strProjectName, "p");
    EXPECT_NE(app.FindWindowDocByFileName("win0.drw"), nullptr);

    CDrawDoc* screen = app.FindWindowDocByFileName("win0.drw");
    screen->AddObject(std::make_unique<CDrawRect>(Rect{40, 40, 80, 80}));
    screen->SetModifiedFlag();
    frame->RefreshCommands();
    trigger(cmd::ProjectSave); // 工程 > 保存工程
    EXPECT_FALSE(screen->IsModified());

    trigger(cmd::ProjectClose); // 工程 > 关闭工程
    EXPECT_TRUE(app.GetDocManager().AllDocuments().empty());
    EXPECT_TRUE(prompts.messages.empty());
    frame.reset();
    // The closed project's frames go by deferred deletion: they must go while `app` lives.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    app.SetPrompt(nullptr);
}

} // namespace
} // namespace qv::test
