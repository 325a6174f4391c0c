// New project: the folder tree, the project file with the system variables, the first
// screen, "latest.txt", and the refusals that must leave everything as it was.
#include "model/vars/system_vars.h"
#include "tests/model/project_fixture.h"

#include <functional>
#include <unistd.h>

namespace qv::test {
namespace {

using Project = ProjectTest;

TEST_F(Project, NewProjectMakesTheFolderTreeTheProjectFileAndTheFirstScreen)
{
    const std::string name = "新工程";
    const fs::path folder = newProject(name, 640, 480);
    EXPECT_EQ(dialogs.presetLocations, std::vector<fs::path>{base()}) << "the location starts at the base folder";
    EXPECT_TRUE(prompts.messages.empty());

    for (const char* sub : {"window", "UserPicture", "NandFlash", "UserCode"})
        EXPECT_TRUE(fs::is_directory(folder / sub)) << sub;
    for (const char* sub : {"MC8051", "UsbDisk", "SDCard", "FDisk"})
        EXPECT_EQ(readText(folder / sub / "marker.txt"), sub);

    const fs::path hmi = folder / utf8(name + ".hmi");
    EXPECT_EQ(app->m_strProjectPath, hmi);
    EXPECT_EQ(app->m_strProjectDir, folder);
    EXPECT_EQ(app->m_strProjectName, name);
    EXPECT_EQ(app->m_nResWidth, 640);
    EXPECT_EQ(readText(base() / "latest.txt"), hmi.string()) << "the path, without a line end";

    const auto stored = load(hmi);
    ASSERT_EQ(stored->m_varTable.size(), systemVarRows().size());
    for (std::size_t i = 0; i < systemVarRows().size(); ++i)
        EXPECT_EQ(stored->m_varTable.name[i], systemVarRows()[i].name);
    EXPECT_EQ(stored->m_nWindowWidth, 640);
    EXPECT_EQ(stored->m_nWindowHeight, 480);
    ASSERT_EQ(stored->m_screenNames.size(), 1u);
    EXPECT_EQ(stored->m_screenNames[0]->m_strName, "win0.drw");
    EXPECT_TRUE(stored->m_subWindowNames.empty());

    const auto screen = load(folder / "window" / "win0.drw");
    EXPECT_EQ(screen->m_nWindowWidth, 640);
    EXPECT_EQ(screen->m_ptWindowOrigin, (Point{0, 0}));

    EXPECT_EQ(documentTitles(*app->m_pProjectTemplate), std::vector<std::string>{name + ".hmi"});
    EXPECT_EQ(documentTitles(*app->m_pWindowTemplate), (std::vector<std::string>{"模拟LCD/VGA显示屏", "win0.drw"}));
    EXPECT_EQ(app->ProjectDoc()->m_bIsProjectDoc, 1);
    EXPECT_FALSE(app->GetDocManager().AnyDocumentModified());
}

TEST_F(Project, NewProjectNeverWritesOverWhatIsThere)
{
    struct Case {
        const char* what;
        std::function<void(const fs::path&)> make;
    };
    const Case cases[] = {
        {"a folder", [](const fs::path& p) { writeText(p / "keep.txt", "mine"); }},
        {"a read-only folder",
         [](const fs::path& p) {
             writeText(p / "keep.txt", "mine");
             fs::permissions(p, fs::perms::owner_read | fs::perms::owner_exec);
         }},
        {"a file", [](const fs::path& p) { writeText(p, "mine"); }},
        {"a dangling link", [](const fs::path& p) { fs::create_symlink(p.parent_path() / "nowhere", p); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path target = base() / "taken";
        c.make(target);
        const auto before = fs::symlink_status(target).type();
        prompts.messages.clear();
        dialogs.newProjects.push_back(NewProjectChoice{base(), "taken", 800, 480});
        EXPECT_FALSE(app->OnFileNewProject());
        EXPECT_EQ(prompts.messages, std::vector<std::string>{"选定目录下工程已经存在！！！"});
        EXPECT_EQ(fs::symlink_status(target).type(), before);
        if (fs::is_directory(target)) {
            EXPECT_EQ(readText(target / "keep.txt"), "mine");
            EXPECT_FALSE(fs::exists(target / "window"));
            fs::permissions(target, fs::perms::owner_all);
        }
        EXPECT_TRUE(app->GetDocManager().AllDocuments().empty());
        EXPECT_FALSE(fs::exists(base() / "latest.txt"));
        fs::remove_all(target);
    }
}

TEST_F(Project, NewProjectRefusesNamesThatAreNoPlainFolderName)
{
    for (const std::string name : {"", "a\\b", "a/b", "..", "x:y"}) {
        SCOPED_TRACE(name);
        prompts.messages.clear();
        dialogs.newProjects.push_back(NewProjectChoice{base(), name, 800, 480});
        EXPECT_FALSE(app->OnFileNewProject());
        EXPECT_EQ(prompts.messages.size(), 1u);
        EXPECT_TRUE(app->GetDocManager().AllDocuments().empty());
    }
    dialogs.newProjects.push_back(std::nullopt); // cancel
    EXPECT_FALSE(app->OnFileNewProject());
    EXPECT_EQ(std::distance(fs::directory_iterator(base()), fs::directory_iterator()), 1) << "only images";
}

TEST_F(Project, AFolderThatCannotBeMadeIsReportedAndNothingOpens)
{
    fs::create_directory(base() / "locked");
    fs::permissions(base() / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    if (::access((base() / "locked").c_str(), W_OK) == 0)
        GTEST_SKIP() << "running as a user no permission stops";
    dialogs.newProjects.push_back(NewProjectChoice{base() / "locked", "p", 800, 480});
    EXPECT_FALSE(app->OnFileNewProject());
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_NE(prompts.messages[0].find("无法创建文件夹"), std::string::npos);
    EXPECT_TRUE(app->GetDocManager().AllDocuments().empty());
    EXPECT_FALSE(fs::exists(base() / "latest.txt"));
    fs::permissions(base() / "locked", fs::perms::owner_all);
}

TEST_F(Project, AFailedNewProjectTakesBackOnlyTheFoldersItMade)
{
    // A name the folder can take but the project file (name + ".hmi") cannot: its save fails.
    const std::string longName(252, 'n');
    writeText(base() / "mine" / "keep.txt", "mine");
    for (const fs::path location : {base() / "mine", base() / "fresh" / "deeper"}) {
        SCOPED_TRACE(location.string());
        prompts.messages.clear();
        dialogs.newProjects.push_back(NewProjectChoice{location, longName, 800, 480});
        EXPECT_FALSE(app->OnFileNewProject());
        EXPECT_EQ(prompts.messages.size(), 1u);
        EXPECT_FALSE(fs::exists(location / longName));
        EXPECT_TRUE(app->GetDocManager().AllDocuments().empty());
    }
    EXPECT_EQ(readText(base() / "mine" / "keep.txt"), "mine") << "a folder that was there stays";
    EXPECT_FALSE(fs::exists(base() / "fresh")) << "parents made for it go too";

    // A retry with a name that fits is not refused as an existing project.
    prompts.messages.clear();
    dialogs.newProjects.push_back(NewProjectChoice{base() / "mine", std::string(200, 'n'), 800, 480});
    EXPECT_TRUE(app->OnFileNewProject());
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(Project, NewProjectOverAnOpenOneAsksFirstAndCancelKeepsIt)
{
    newProject("first");
    app->ProjectDoc()->SetModifiedFlag();
    const std::string latest = readText(base() / "latest.txt");

    dialogs.saveChoices.push_back(ProjectDialogs::Cancel);
    EXPECT_FALSE(app->OnProjectNew());
    EXPECT_TRUE(dialogs.newProjects.empty() && dialogs.presetLocations.size() == 1u) << "no dialog after cancel";
    EXPECT_EQ(app->m_strProjectName, "first");
    EXPECT_EQ(app->GetDocManager().AllDocuments().size(), 3u);

    dialogs.saveChoices.push_back(ProjectDialogs::Save);
    dialogs.newProjects.push_back(NewProjectChoice{base(), "second", 480, 272});
    EXPECT_TRUE(app->OnProjectNew());
    EXPECT_EQ(app->m_strProjectName, "second");
    EXPECT_EQ(app->GetDocManager().AllDocuments().size(), 3u) << "the first project's documents closed";
    EXPECT_NE(readText(base() / "latest.txt"), latest);
    EXPECT_EQ(app->m_nResHeight, 272);
}

} // namespace
} // namespace qv::test
