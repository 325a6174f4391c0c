// A new project made while the project tree is attached gets the special sub-windows after
// its first screen, as the import command gives them; without the shipped folder the project
// still stands and the output bar says which windows are missing.
#include "model/tree/system_windows.h"
#include "tests/model/tree_fixture.h"

using namespace qv;
using namespace qv::test;

namespace {

class NewProjectAnswer : public CancellingProjectDialogs {
public:
    explicit NewProjectAnswer(NewProjectChoice choice) : choice_(std::move(choice)) {}
    std::optional<NewProjectChoice> NewProject(const fs::path&) override { return choice_; }

private:
    NewProjectChoice choice_;
};

class NewProjectTree : public TreeFixture {
protected:
    // A new project "demo" in the base folder, made with the tree attached.
    bool makeNewProject()
    {
        app = std::make_unique<CEditorApp>(base());
        app->SetPrompt(&prompts);
        app->SetProjectDialogs(&answer);
        app->InitDocTemplates();
        model = std::make_unique<ProjectTreeModel>(app.get());
        commands = std::make_unique<ProjectTreeCommands>(*app, *model, dialogs, host);
        return app->OnFileNewProject();
    }

    NewProjectAnswer answer{{base(), "demo", 800, 480}};
};

TEST_F(NewProjectTree, ListsTheSpecialSubWindowsAfterItsFirstScreen)
{
    fs::copy(sourceDir() / "base" / "images" / "SpecialWindow", base() / "images" / "SpecialWindow",
             fs::copy_options::recursive);
    ASSERT_TRUE(makeNewProject());
    EXPECT_TRUE(prompts.messages.empty()) << (prompts.messages.empty() ? "" : gbkToUtf8Lossy(prompts.messages.front()));
    EXPECT_EQ(model->Windows(WindowKind::Screen), std::vector<std::string>{"win0.drw"});
    EXPECT_EQ(model->Windows(WindowKind::SubWindow),
              std::vector<std::string>(kUndeletableSubWindows.begin(), kUndeletableSubWindows.end()));
    expectInStep();
    // Their pictures came with them.
    EXPECT_FALSE(fs::is_empty(projectDir() / "UserPicture"));
}

TEST_F(NewProjectTree, WithoutTheShippedFolderTheProjectStandsAndTheOutputSaysWhy)
{
    ASSERT_TRUE(makeNewProject());
    EXPECT_EQ(model->Windows(WindowKind::Screen), std::vector<std::string>{"win0.drw"});
    EXPECT_TRUE(model->Windows(WindowKind::SubWindow).empty());
    expectInStep();
    EXPECT_TRUE(prompts.messages.empty()) << "no box for a project that stands";
    std::string output;
    app->m_reports.drain([&](Report& r) {
        if (const auto* line = std::get_if<ReportText>(&r))
            output += line->gbk;
    });
    for (std::string_view special : kUndeletableSubWindows)
        EXPECT_NE(output.find(std::string(special)), std::string::npos) << gbkToUtf8Lossy(special);
}

TEST_F(NewProjectTree, TheHookGoesWithTheTreesCommands)
{
    app = std::make_unique<CEditorApp>(base());
    model = std::make_unique<ProjectTreeModel>(app.get());
    commands = std::make_unique<ProjectTreeCommands>(*app, *model, dialogs, host);
    EXPECT_EQ(app->GetNewProjectSteps(), commands.get());
    commands.reset();
    EXPECT_EQ(app->GetNewProjectSteps(), nullptr);
}

} // namespace
