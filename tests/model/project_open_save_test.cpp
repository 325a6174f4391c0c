// Open, close, save and save-as of a project through the commands and their dialogs.
#include "tests/fixtures/dead_pid.h"
#include "tests/fixtures/sparse_file.h"
#include "tests/model/project_fixture.h"
#include "platform/files/atomic_file.h"

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace qv::test {
namespace {

using Project = ProjectTest;

TEST_F(Project, OpeningTheOpenProjectAgainDoesNothingAfterThePrompt)
{
    const fs::path folder = newProject("p");
    CDrawDoc* screen = app->FindWindowDocByFileName("win0.drw");
    screen->SetModifiedFlag();
    dialogs.saveChoices.push_back(ProjectDialogs::DontSave);
    dialogs.files.push_back(folder / "p.hmi");
    EXPECT_FALSE(app->OnProjectOpen());
    EXPECT_EQ(dialogs.saveQuestions, 1);
    EXPECT_EQ(app->FindWindowDocByFileName("win0.drw"), screen) << "nothing closed or reopened";
    EXPECT_TRUE(screen->IsModified());
}

TEST_F(Project, OpenAnotherProjectClosesTheFirstOnlyWhenTheNewOneLoads)
{
    const fs::path first = newProject("first");
    newProject("second");
    const fs::path second = app->m_strProjectPath;

    writeText(base() / "broken.hmi", "not a project");
    dialogs.files.push_back(base() / "broken.hmi");
    EXPECT_FALSE(app->OnProjectOpen());
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_NE(prompts.messages[0].find("broken.hmi"), std::string::npos);
    EXPECT_EQ(app->m_strProjectPath, second);
    EXPECT_EQ(app->GetDocManager().AllDocuments().size(), 3u);

    dialogs.files.push_back(first / "first.hmi");
    EXPECT_TRUE(app->OnProjectOpen());
    EXPECT_EQ(app->m_strProjectName, "first");
    EXPECT_EQ(readText(base() / "latest.txt"), (first / "first.hmi").string());
    EXPECT_EQ(app->GetDocManager().AllDocuments().size(), 3u);
    EXPECT_EQ(dialogs.saveQuestions, 0) << "nothing was modified, so nothing was asked";
}

TEST_F(Project, AResolutionOutsideTheProjectRangeIsRefusedWithAMessageNamingTheFile)
{
    const fs::path good = newProject("good");
    const struct {
        int width, height;
    } cases[] = {{60000, 60000}, {2147483647, 480}, {800, 0}, {-5, 480}, {8193, 8192}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        // A project file as a stranger could hand it over: saved with the resolution it claims.
        const fs::path hostile = base() / "hostile.hmi";
        {
            auto doc = load(good / "good.hmi");
            doc->m_nWindowWidth = c.width;
            doc->m_nWindowHeight = c.height;
            DocumentError error;
            ASSERT_TRUE(doc->OnSaveDocument(hostile, &error));
        }
        const std::string expected = "打开文件“" + hostile.string() + "”失败：工程分辨率" + std::to_string(c.width) +
                                     "X" + std::to_string(c.height) + "超出范围1..8192";

        prompts.messages.clear();
        dialogs.files.push_back(hostile);
        EXPECT_FALSE(app->OnProjectOpen()) << "the open project is kept";
        EXPECT_EQ(prompts.messages, std::vector<std::string>{expected});
        EXPECT_EQ(app->m_strProjectName, "good");
        EXPECT_EQ(app->m_nResWidth, 800);

        prompts.messages.clear();
        app->CloseAllDocuments();
        EXPECT_FALSE(app->OpenProjectFile(hostile)) << "the start-up road refuses it too";
        EXPECT_EQ(prompts.messages, std::vector<std::string>{expected});
        EXPECT_TRUE(app->GetDocManager().AllDocuments().empty());
        ASSERT_TRUE(app->OpenProjectFile(good / "good.hmi"));
    }
    const fs::path edge = base() / "edge.hmi";
    auto doc = load(good / "good.hmi");
    doc->m_nWindowWidth = 8192;
    doc->m_nWindowHeight = 1;
    DocumentError error;
    ASSERT_TRUE(doc->OnSaveDocument(edge, &error));
    app->CloseAllDocuments();
    EXPECT_TRUE(app->OpenProjectFile(edge)) << "both ends of the range open";
    EXPECT_EQ(app->m_nResWidth, 8192);
}

TEST_F(Project, ATerabyteFileIsRefusedWithAMessageAndTheProgramGoesOn)
{
    const fs::path folder = newProject("p");
    app->CloseAllDocuments();
    makeSparseFile(folder / "window" / "win0.drw");
    EXPECT_TRUE(app->OpenProjectFile(folder / "p.hmi"));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_NE(prompts.messages[0].find("win0.drw"), std::string::npos) << utf8(prompts.messages[0]);
    EXPECT_NE(prompts.messages[0].find("file too large"), std::string::npos) << utf8(prompts.messages[0]);

    prompts.messages.clear();
    app->CloseAllDocuments();
    makeSparseFile(folder / "p.hmi");
    EXPECT_FALSE(app->OpenProjectFile(folder / "p.hmi"));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_NE(prompts.messages[0].find("p.hmi"), std::string::npos) << utf8(prompts.messages[0]);
    EXPECT_TRUE(app->GetDocManager().AllDocuments().empty());
}

TEST_F(Project, OpeningRemovesOnlyTheTemporaryFilesOfSavesWhoseOwnerIsGone)
{
    const fs::path folder = newProject("p");
    app->CloseAllDocuments();
    const std::string dead = std::to_string(deadPid()), alive = std::to_string(::getpid());
    const fs::path stale[] = {folder / ("p.hmi.tmp" + dead + ".a1B2c3"),
                              folder / "window" / ("win0.drw.tmp" + dead + ".Zz9Yy8"),
                              folder / "NandFlash" / ("NandFlash.Zip.tmp" + dead + ".q0W1e2")};
    const fs::path kept[] = {folder / ("p.hmi.tmp" + alive + ".a1B2c3"), folder / "window" / "notes.tmp12",
                             folder / "window" / "deeper" / ("x.drw.tmp" + dead + ".a1B2c3")};
    for (const auto* list : {&stale, &kept})
        for (const fs::path& f : *list)
            writeText(f, "left over");
    ASSERT_TRUE(app->OpenProjectFile(folder / "p.hmi"));
    EXPECT_TRUE(prompts.messages.empty());
    for (const fs::path& f : stale)
        EXPECT_FALSE(fs::exists(f)) << f;
    for (const fs::path& f : kept)
        EXPECT_TRUE(fs::exists(f)) << f;
}

// A record file's creation killed half-way two folders down a drive: its temporary file is
// removed at the next open, in every folder of every drive and nowhere through a link.
TEST_F(Project, OpeningRemovesTheTemporaryFileOfACreationKilledDeepInADrive)
{
    const fs::path folder = newProject("p");
    app->CloseAllDocuments();
    const fs::path big = folder / "UsbDisk" / "LOG" / "BIG.DAT";
    fs::create_directories(big.parent_path());
    const pid_t child = ::fork();
    if (child == 0) {
        writeFileAtomicallyFrom(big, [](int fd) {
            const std::string piece(1 << 16, 'x');
            if (::write(fd, piece.data(), piece.size()) == static_cast<ssize_t>(piece.size()))
                ::raise(SIGKILL);
            return false;
        });
        ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    std::vector<fs::path> left;
    for (const auto& e : fs::directory_iterator(big.parent_path()))
        left.push_back(e.path());
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].filename().string().rfind("BIG.DAT.tmp" + std::to_string(child) + ".", 0), 0u) << left[0];

    const std::string dead = std::to_string(deadPid());
    const fs::path deeper = folder / "NandFlash" / "a" / "b" / "c" / ("R.DAT.tmp" + dead + ".a1B2c3");
    const fs::path outside = base() / "outside" / ("R.DAT.tmp" + dead + ".a1B2c3");
    for (const fs::path& f : {deeper, outside})
        writeText(f, "left over");
    fs::remove_all(folder / "SDCard");
    fs::create_directory_symlink(outside.parent_path(), folder / "SDCard");

    ASSERT_TRUE(app->OpenProjectFile(folder / "p.hmi"));
    EXPECT_TRUE(fs::is_empty(big.parent_path()));
    EXPECT_FALSE(fs::exists(deeper));
    EXPECT_TRUE(fs::exists(outside)) << "a drive folder that is a link is not swept";
}

TEST_F(Project, OpenWithNoProjectGoesStraightToTheFileDialog)
{
    const fs::path folder = newProject("p");
    app->CloseAllDocuments();
    dialogs.files.push_back(std::nullopt);
    EXPECT_FALSE(app->OnProjectOpen());
    dialogs.files.push_back(folder / "p.hmi");
    EXPECT_TRUE(app->OnProjectOpen());
    EXPECT_NE(app->FindWindowDocByFileName("win0.drw"), nullptr);
}

TEST_F(Project, CloseAsksOnlyWhenModifiedAndLeavesPathsAndLatest)
{
    const fs::path folder = newProject("p");
    const std::string latest = readText(base() / "latest.txt");
    CDrawDoc* screen = app->FindWindowDocByFileName("win0.drw");
    screen->AddObject(std::make_unique<CDrawRect>(Rect{50, 50, 90, 90}));
    screen->SetModifiedFlag();

    dialogs.saveChoices.push_back(ProjectDialogs::Cancel);
    EXPECT_FALSE(app->OnProjectClose());
    EXPECT_EQ(app->GetDocManager().AllDocuments().size(), 3u);

    dialogs.saveChoices.push_back(ProjectDialogs::Save);
    EXPECT_TRUE(app->OnProjectClose());
    EXPECT_TRUE(app->GetDocManager().AllDocuments().empty());
    EXPECT_EQ(app->m_nSaveChoice, 1);
    EXPECT_EQ(load(folder / "window" / "win0.drw")->m_objects.size(), 1u) << "saved before closing";
    EXPECT_EQ(app->m_strProjectDir, folder);
    EXPECT_EQ(readText(base() / "latest.txt"), latest);

    EXPECT_TRUE(app->OnProjectClose()) << "nothing modified: no question";
    EXPECT_EQ(dialogs.saveQuestions, 2);
}

TEST_F(Project, SaveAllRestartsTheUndoHistoryAndSkipsTheSimulator)
{
    const fs::path folder = newProject("p");
    CDrawDoc* screen = app->FindWindowDocByFileName("win0.drw");
    screen->AddObject(std::make_unique<CDrawRect>(Rect{1, 1, 9, 9}));
    screen->SnapshotAndSetModified();
    screen->SnapshotAndSetModified();
    EXPECT_TRUE(app->SaveAllDocumentsAndResetUndo());
    EXPECT_FALSE(screen->CanUndo());
    EXPECT_FALSE(screen->IsModified());
    EXPECT_EQ(load(folder / "window" / "win0.drw")->m_objects.size(), 1u);
    EXPECT_TRUE(app->FindDocByTitle("模拟LCD/VGA显示屏")->GetPathName().empty());
}

TEST_F(Project, SaveAsCopiesEverythingElsewhereAndKeepsTheOpenProject)
{
    const fs::path folder = newProject("p");
    const std::string latest = readText(base() / "latest.txt");
    CDrawDoc* screen = app->FindWindowDocByFileName("win0.drw");
    screen->AddObject(std::make_unique<CDrawRect>(Rect{5, 5, 25, 25}));
    screen->SetModifiedFlag();
    writeText(folder / "UserPicture" / "a.bmp", "picture");
    fs::create_directories(base() / "copies");

    dialogs.folders.push_back(base() / "copies");
    EXPECT_TRUE(app->OnProjectSaveAs());
    EXPECT_EQ(dialogs.folderTitles, std::vector<std::string>{"请选择目录："});
    const fs::path copy = base() / "copies" / "p";
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0], "成功另存为工程到目录\"" + copy.string() + "\"");
    EXPECT_EQ(load(copy / "window" / "win0.drw")->m_objects.size(), 1u) << "modified documents saved first";
    EXPECT_EQ(readText(copy / "UserPicture" / "a.bmp"), "picture");
    for (const char* sub : {"p.hmi", "MC8051", "UsbDisk", "SDCard", "FDisk", "NandFlash", "UserCode"})
        EXPECT_TRUE(fs::exists(copy / sub)) << sub;
    EXPECT_EQ(app->m_strProjectPath, folder / "p.hmi");
    EXPECT_EQ(readText(base() / "latest.txt"), latest);

    // The same again: a folder of the project's name is there now.
    prompts.messages.clear();
    writeText(copy / "mine.txt", "keep");
    dialogs.folders.push_back(base() / "copies");
    EXPECT_FALSE(app->OnProjectSaveAs());
    EXPECT_EQ(prompts.messages, std::vector<std::string>{"选定目录下存在同工程名\"p\"的文件夹!!!"});
    EXPECT_EQ(readText(copy / "mine.txt"), "keep");
}

TEST_F(Project, SaveAsIntoTheProjectsOwnFolderIsRefused)
{
    const fs::path folder = newProject("p");
    for (const fs::path& chosen : {folder, folder / "window", folder / "." / "UserCode"}) {
        SCOPED_TRACE(chosen.string());
        prompts.messages.clear();
        dialogs.folders.push_back(chosen);
        EXPECT_FALSE(app->OnProjectSaveAs());
        EXPECT_EQ(prompts.messages, std::vector<std::string>{"不能把工程另存到工程自己的文件夹里！！！"});
        EXPECT_FALSE(fs::exists(chosen / "p"));
    }
    dialogs.folders.push_back(std::nullopt);
    EXPECT_FALSE(app->OnProjectSaveAs()) << "cancel";
}

TEST_F(Project, StartUpFallsBackToTheSampleProject)
{
    // The sample is a project like any other; make one where the base folder expects it.
    const fs::path sample = base() / utf8("例子") / utf8("示例工程");
    dialogs.newProjects.push_back(NewProjectChoice{sample.parent_path(), "示例工程", 800, 480});
    ASSERT_TRUE(app->OnFileNewProject());
    const fs::path samplePath = app->m_strProjectPath;
    const fs::path mine = newProject("mine");
    app->CloseAllDocuments();

    struct Case {
        const char* what;
        std::optional<std::string> latest;
        fs::path expected;
    };
    const Case cases[] = {
        {"latest names a project", mine / "mine.hmi", mine / "mine.hmi"},
        {"no latest.txt", std::nullopt, samplePath},
        {"empty latest.txt", std::string(), samplePath},
        {"latest names a missing file", (base() / "gone.hmi").string(), samplePath},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(base() / "latest.txt");
        if (c.latest)
            writeText(base() / "latest.txt", *c.latest);
        EXPECT_TRUE(app->OpenLatestProject(3));
        EXPECT_EQ(app->m_strProjectPath, c.expected);
        app->CloseAllDocuments();
    }
    fs::remove_all(sample.parent_path());
    fs::remove(base() / "latest.txt");
    EXPECT_FALSE(app->OpenLatestProject(3));
    EXPECT_TRUE(app->GetDocManager().AllDocuments().empty());
}

} // namespace
} // namespace qv::test
