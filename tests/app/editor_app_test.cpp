// The application object: which project opens at start-up, what the open sequence leaves
// behind, and the document look-ups.
#include "model/app/editor_app.h"
#include "model/app/emulator_flags.h"
#include "model/app/folder_copy.h"
#include "platform/files/atomic_file.h"
#include "platform/text/gbk.h"
#include "tests/app/scripted_prompts.h"
#include "tests/fixtures/temp_dir.h"
#include "tests/model/project_fixture.h"

#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace qv;

namespace {

// u8 literal as a host path part.
fs::path host(const char8_t* utf8) { return fs::path(utf8); }

using test::readText;
using test::writeText;

// A base folder with "images" (and its support folders) and room for projects.
class AppFixture : public ::testing::Test {
protected:
    AppFixture()
    {
        for (const char* sub : {"MC8051", "UsbDisk", "SDCard", "FDisk"})
            writeText(base() / "images" / sub / "marker.txt", sub);
    }

    const fs::path& base() const { return dir_.path(); }

    // Saves a project document of `width` x `height` naming the given windows, and one
    // window file per name under "window" unless it is listed in `missing`.
    fs::path makeProject(const fs::path& folder, const std::string& nameUtf8, int width, int height,
                         const std::vector<std::string>& screensGbk, const std::vector<std::string>& subsGbk,
                         const std::vector<std::string>& missing = {})
    {
        fs::create_directories(folder / "window");
        CDrawDoc project;
        project.m_nWindowWidth = width;
        project.m_nWindowHeight = height;
        for (const auto& s : screensGbk)
            project.AddScreenName(s);
        for (const auto& s : subsGbk)
            project.AddSubWindowName(s);
        const fs::path file = folder / (nameUtf8 + ".hmi");
        DocumentError error;
        EXPECT_TRUE(project.OnSaveDocument(file, &error)) << error.messageGbk;
        std::vector<std::string> all = screensGbk;
        all.insert(all.end(), subsGbk.begin(), subsGbk.end());
        for (const auto& w : all) {
            if (std::find(missing.begin(), missing.end(), w) != missing.end())
                continue;
            CDrawDoc window;
            EXPECT_TRUE(window.OnSaveDocument(folder / "window" / *gbkToUtf8(w), &error)) << error.messageGbk;
        }
        return file;
    }

    fs::path samplePath() const { return base() / host(u8"例子") / host(u8"示例工程") / host(u8"示例工程.hmi"); }

    std::unique_ptr<CEditorApp> makeApp()
    {
        auto app = std::make_unique<CEditorApp>(base());
        app->SetPrompt(&prompts);
        app->InitDocTemplates();
        return app;
    }

    test::ScriptedPrompts prompts;

private:
    test::TempDir dir_;
};

TEST_F(AppFixture, StartUpChoosesTheLatestProjectElseTheSample)
{
    enum class Expect { Mine, Sample, Example, Nothing };
    struct Case {
        const char* what;
        int mode;
        bool withSample;
        bool withExample;
        // What "latest.txt" holds; nullptr: no file. "$MINE" stands for the project's path.
        const char* latest;
        Expect expect;
    };
    const Case cases[] = {
        {"latest names an existing project", 3, true, false, "$MINE", Expect::Mine},
        {"a line end after the path", 3, true, false, "$MINE\r\n", Expect::Mine},
        {"no latest.txt", 3, true, false, nullptr, Expect::Sample},
        {"empty latest.txt", 3, true, false, "", Expect::Sample},
        {"latest names a missing file", 3, true, false, "/nowhere/gone.hmi", Expect::Sample},
        {"latest names a folder", 3, true, false, "$DIR", Expect::Sample},
        {"neither latest nor sample", 3, false, false, "/nowhere/gone.hmi", Expect::Nothing},
        {"mode 4 opens the example", 4, true, true, "$MINE", Expect::Example},
        {"mode 4 without the example", 4, true, false, nullptr, Expect::Sample},
        {"another mode does nothing", 5, true, true, "$MINE", Expect::Nothing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir projects;
        const fs::path mine = makeProject(projects / "mine", "mine", 320, 240, {}, {});
        fs::remove_all(base() / host(u8"例子"));
        fs::remove_all(base() / "Examples");
        fs::remove(base() / CEditorApp::kLatestFileName);
        if (c.withSample)
            makeProject(samplePath().parent_path(), *gbkToUtf8("示例工程"), 800, 480, {}, {});
        const fs::path example =
            base() / "Examples" / host(u8"银行ATM取款机") / host(u8"银行ATM取款机.hmi");
        if (c.withExample)
            makeProject(example.parent_path(), *gbkToUtf8("银行ATM取款机"), 640, 480, {}, {});
        if (c.latest) {
            std::string text = c.latest;
            if (auto at = text.find("$MINE"); at != std::string::npos)
                text.replace(at, 5, mine.string());
            if (auto at = text.find("$DIR"); at != std::string::npos)
                text.replace(at, 4, projects.path().string());
            writeText(base() / CEditorApp::kLatestFileName, text);
        }

        auto app = makeApp();
        const bool opened = app->OpenLatestProject(c.mode);
        const fs::path expected = c.expect == Expect::Mine      ? mine
                                  : c.expect == Expect::Sample  ? samplePath()
                                  : c.expect == Expect::Example ? example
                                                                : fs::path();
        EXPECT_EQ(opened, c.expect != Expect::Nothing);
        EXPECT_EQ(app->m_strProjectPath, expected);
        if (c.expect == Expect::Nothing) {
            EXPECT_TRUE(app->GetDocManager().AllDocuments().empty());
            EXPECT_EQ(app->m_nResWidth, 1);
        }
    }
}

TEST_F(AppFixture, OpeningAProjectLoadsItsWindowsAndAddsTheSimulatorLast)
{
    const fs::path file = makeProject(base() / "proj", *gbkToUtf8("工程一"), 800, 600, {"win0.drw", "淺.drw"},
                                      {"数字键盘.dlg"});
    // An existing support folder is not replaced.
    writeText(base() / "proj" / "UsbDisk" / "mine.txt", "keep");

    auto app = makeApp();
    ASSERT_TRUE(app->OpenProjectFile(file));
    EXPECT_TRUE(prompts.messages.empty());

    EXPECT_EQ(app->m_strProjectDir, base() / "proj");
    EXPECT_EQ(app->m_strProjectName, "工程一");
    EXPECT_EQ(app->m_strProjectPath, file);
    EXPECT_EQ(app->m_nResWidth, 800);
    EXPECT_EQ(app->m_nResHeight, 600);
    // Opening asks for a simulation start, which the rebuild serves.
    EXPECT_EQ(app->m_bLoadSavedVars.load(), 0);
    EXPECT_EQ(app->m_nTimer0Period.load(), 50);

    ASSERT_NE(app->ProjectDoc(), nullptr);
    EXPECT_EQ(app->ProjectDoc()->m_bIsProjectDoc, 1);
    EXPECT_EQ(test::documentTitles(*app->m_pWindowTemplate),
              (std::vector<std::string>{"win0.drw", "淺.drw", "数字键盘.dlg", "模拟LCD/VGA显示屏"}));

    // "latest.txt" holds the path without a line end, and reads back unchanged.
    EXPECT_EQ(readText(base() / CEditorApp::kLatestFileName), file.string());
    auto again = std::make_unique<CEditorApp>(base());
    app.reset();
    again->SetPrompt(&prompts);
    again->InitDocTemplates();
    ASSERT_TRUE(again->OpenLatestProject(3));
    EXPECT_EQ(again->m_strProjectPath, file);

    for (const char* sub : {"MC8051", "SDCard", "FDisk"})
        EXPECT_EQ(readText(base() / "proj" / sub / "marker.txt"), sub);
    EXPECT_EQ(readText(base() / "proj" / "UsbDisk" / "mine.txt"), "keep");
    EXPECT_FALSE(fs::exists(base() / "proj" / "UsbDisk" / "marker.txt"));
}

TEST_F(AppFixture, OpeningAProjectFillsTheVariableMemoryFromItsTable)
{
    fs::create_directories(base() / "vars" / "window");
    CDrawDoc project;
    project.m_nWindowWidth = 800;
    project.m_nWindowHeight = 480;
    project.m_varTable.AppendRow("100", "unsigned short", "speed", "1234", "");
    project.m_varTable.AppendRow("102", "signed char", "delta", "-2", "");
    DocumentError error;
    ASSERT_TRUE(project.OnSaveDocument(base() / "vars" / "vars.hmi", &error)) << error.messageGbk;
    auto app = makeApp();
    app->m_VarMem.write(500, 1, 0x5A); // left from before: a rebuild starts from zero
    ASSERT_TRUE(app->OpenProjectFile(base() / "vars" / "vars.hmi"));
    for (VarBank* bank : {&app->m_VarMem, &app->m_VarMemRun}) {
        EXPECT_EQ(bank->readTyped(100, 3), 1234);
        EXPECT_EQ(bank->readTyped(102, 0), -2);
        EXPECT_EQ(bank->readTyped(500, 1), 0);
    }
}

TEST_F(AppFixture, MissingWindowFilesAreNamedInOneMessageAndTheRestOpens)
{
    const fs::path file =
        makeProject(base() / "proj", "p", 480, 272, {"a.drw", "b.drw", "c.drw"}, {}, {"a.drw", "c.drw"});
    auto app = makeApp();
    ASSERT_TRUE(app->OpenProjectFile(file));
    EXPECT_EQ(test::documentTitles(*app->m_pWindowTemplate), (std::vector<std::string>{"b.drw", "模拟LCD/VGA显示屏"}));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_NE(prompts.messages[0].find("a.drw"), std::string::npos) << prompts.messages[0];
    EXPECT_NE(prompts.messages[0].find("c.drw"), std::string::npos) << prompts.messages[0];
}

TEST_F(AppFixture, AProjectThatDoesNotLoadChangesNothing)
{
    const fs::path good = makeProject(base() / "good", "good", 800, 480, {"w.drw"}, {});
    auto app = makeApp();
    ASSERT_TRUE(app->OpenProjectFile(good));
    const std::string latest = readText(base() / CEditorApp::kLatestFileName);
    app->CloseAllDocuments();

    const std::vector<std::pair<const char*, std::string>> bad = {
        {"empty", ""}, {"short", std::string("\x01\x00", 2)}, {"garbage", std::string(3000, '\xff')}};
    for (const auto& [what, bytes] : bad) {
        SCOPED_TRACE(what);
        prompts.messages.clear();
        writeText(base() / "bad" / "bad.hmi", bytes);
        EXPECT_FALSE(app->OpenProjectFile(base() / "bad" / "bad.hmi"));
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_NE(prompts.messages[0].find("bad.hmi"), std::string::npos) << prompts.messages[0];
        EXPECT_TRUE(app->GetDocManager().AllDocuments().empty());
        EXPECT_EQ(app->m_strProjectDir, base() / "good");
        EXPECT_EQ(app->m_strProjectName, "good");
        EXPECT_EQ(readText(base() / CEditorApp::kLatestFileName), latest);
        EXPECT_FALSE(fs::exists(base() / "bad" / "MC8051"));
    }
}

TEST_F(AppFixture, LookUpsCompareTitlesAndFileNamesExactly)
{
    const fs::path file = makeProject(base() / "proj", "p", 800, 480, {"Main.drw"}, {"sub.dlg"});
    auto app = makeApp();
    ASSERT_TRUE(app->OpenProjectFile(file));

    EXPECT_EQ(app->FindDocByTitle("p.hmi"), app->ProjectDoc());
    ASSERT_NE(app->FindDocByTitle("Main.drw"), nullptr);
    EXPECT_EQ(app->FindDocByTitle("main.drw"), nullptr);
    EXPECT_EQ(FindDocumentByTitle("sub.dlg"), app->FindWindowDocByFileName("sub.dlg"));
    EXPECT_EQ(app->FindWindowDocByFileName("p.hmi"), nullptr) << "the project is not a window document";
    EXPECT_EQ(app->FindWindowDocByFileName("none.drw"), nullptr);

    app->m_strSimScreen = "Main.drw";
    app->m_strSimSubWindow = "sub.dlg";
    app->m_strSimSysWindow = "none.dlg";
    EXPECT_EQ(app->FindCurrentScreenDoc(), app->FindDocByTitle("Main.drw"));
    EXPECT_EQ(app->FindCurrentSubWindowDoc(), app->FindDocByTitle("sub.dlg"));
    EXPECT_EQ(app->FindSystemSubWindowDoc(), nullptr);
    EXPECT_NE(app->FindDocByTitle(CEditorApp::kSimulatorTitle), nullptr);
}

TEST(EditorApp, IsTheCurrentApplicationAndClearsTheEmulatorFlags)
{
    test::TempDir base;
    MC8051StopRequest = 1;
    MC8051Running = 1;
    {
        CEditorApp app(base.path());
        EXPECT_EQ(GetEditorApp(), &app);
        EXPECT_EQ(MC8051StopRequest.load(), 0);
        EXPECT_EQ(MC8051Running.load(), 0);
        EXPECT_EQ(app.m_nMarginX.load(), 38);
        EXPECT_EQ(app.m_nMarginY.load(), 38);
        EXPECT_EQ(app.m_nand.blockMask, 0xFFFFC000u);
        EXPECT_EQ(app.m_nand.pageMask, 511u);
        EXPECT_EQ(app.m_nFlashAddress, 0x200000u);
        EXPECT_EQ(app.m_nStartBlock, 3);
        EXPECT_EQ(ApplicationByteSink() != nullptr, true) << "the application receives serial bytes";
    }
    EXPECT_EQ(GetEditorApp(), nullptr);
    EXPECT_EQ(ApplicationByteSink(), nullptr);
}

TEST(EditorApp, FileNameOfPathSplitsOnlyOnRealBackslashes)
{
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\proj\\window\\a.drw", "a.drw"},
        {"目录\\淺.drw", "淺.drw"}, // 淺 ends in the byte 0x5C
        {"淺", "淺"},
        {"no-separator", "no-separator"},
        {"ends\\", ""},
    };
    for (const auto& [path, name] : cases)
        EXPECT_EQ(FileNameOfPath(path), name) << gbkToUtf8Lossy(path);
}

TEST(FolderCopy, CopiesWholeTreesAndNeverIntoAnExistingFolder)
{
    test::TempDir dir;
    writeText(dir / "src" / "a" / "b.txt", "b");
    writeText(dir / "src" / "c.txt", "c");
    fs::create_directory(dir / "existing");

    EXPECT_EQ(CopyFolderTree(dir / "src", dir / "dst"), 0);
    EXPECT_EQ(readText(dir / "dst" / "a" / "b.txt"), "b");
    EXPECT_EQ(readText(dir / "dst" / "c.txt"), "c");

    EXPECT_NE(CopyFolderTree(dir / "src", dir / "existing"), 0);
    EXPECT_TRUE(fs::is_empty(dir / "existing"));
    EXPECT_NE(CopyFolderTree(dir / "missing", dir / "dst2"), 0);
    EXPECT_FALSE(fs::exists(dir / "dst2"));
    for (const auto& e : fs::directory_iterator(dir.path()))
        EXPECT_EQ(e.path().filename().string().find(".copying"), std::string::npos) << e.path();
}

} // namespace
