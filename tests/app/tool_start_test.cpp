// "下载图片到用户区" starts the picture tool in its folder of the base folder; a start that
// cannot happen says why and starts nothing.
#include "app/bindings/picture_tool/tool_start.h"
#include "platform/process/instance_lock.h"
#include "tests/app/editor_window_fixture.h"

#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <sys/stat.h>

namespace qv::test {
namespace {

class ToolStartOnTheWindow : public EditorWindowFixture<> {
protected:
    ~ToolStartOnTheWindow() override { ::unsetenv(kTessolinProgramEnv); }

    // A stand-in for the tool that writes the folder it was started in.
    std::filesystem::path fakeTool()
    {
        const auto script = dir.path() / "fake-tool.sh";
        std::ofstream(script) << "#!/bin/sh\npwd > '" << startedIn().string() << ".tmp' && mv '"
                              << startedIn().string() << ".tmp' '" << startedIn().string() << "'\n";
        ::chmod(script.c_str(), 0755);
        return script;
    }
    std::filesystem::path startedIn() const { return dir.path() / "started-in.txt"; }
    bool saidStartingWith(std::string_view prefix)
    {
        for (const std::string& m : prompts.messages)
            if (m.rfind(prefix, 0) == 0)
                return true;
        return false;
    }
};

TEST_F(ToolStartOnTheWindow, StartsTheToolInItsFolderOrSaysWhyNot)
{
    struct Case {
        const char* name;
        bool folderThere;
        bool programThere;
        const char* saysGbk; // nullptr: the tool starts
    };
    const Case cases[] = {
        {"tool and folder there", true, true, nullptr},
        {"folder missing", false, true, "Tessolin的文件夹不存在"},
        {"program cannot start", true, false, "无法启动Tessolin"},
    };
    showMainWindow(640, 480);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompts.messages.clear();
        std::filesystem::remove(startedIn());
        const auto folder = TessolinFolder(app->BaseDir());
        if (c.folderThere)
            std::filesystem::create_directories(folder);
        else
            std::filesystem::remove_all(folder);
        const auto program = c.programThere ? fakeTool() : dir.path() / "no-such-tool";
        ::setenv(kTessolinProgramEnv, program.c_str(), 1);

        ASSERT_TRUE(frame->commands().trigger(cmd::DownloadPictures));
        if (c.saysGbk == nullptr) {
            ASSERT_TRUE(waitFor([&] { return std::filesystem::exists(startedIn()); }, 30000));
            std::stringstream in;
            in << std::ifstream(startedIn()).rdbuf();
            EXPECT_EQ(std::filesystem::path(in.str().substr(0, in.str().find('\n'))),
                      std::filesystem::canonical(folder));
            EXPECT_TRUE(prompts.messages.empty());
        } else {
            EXPECT_TRUE(saidStartingWith(c.saysGbk));
            EXPECT_FALSE(std::filesystem::exists(startedIn()));
        }
    }
}

// Without QV_TESSOLIN the program is looked for beside the editor, then in the build tree's
// picture_tool folder beside the editor's own; only an executable file counts.
TEST(FindTessolinProgram, LooksBesideTheEditorThenInTheBuildTree)
{
    ::unsetenv(kTessolinProgramEnv);
    // The real build tree: from the editor's folder the lookup reaches the tool's target.
    EXPECT_EQ(FindTessolinProgram(std::filesystem::path(QV_QUORVANE_BINARY).parent_path()),
              std::optional(std::filesystem::path(QV_TESSOLIN_BINARY)));

    struct Case {
        const char* name;
        const char* placed;  // where "tessolin" is put, under the root; nullptr: nowhere
        bool executable;
        const char* found;   // what the lookup answers, under the root; nullptr: nothing
    };
    const Case cases[] = {
        {"beside the editor", "app/tessolin", true, "app/tessolin"},
        {"in the build tree", "picture_tool/tessolin", true, "picture_tool/tessolin"},
        {"not executable", "picture_tool/tessolin", false, nullptr},
        {"in another folder", "tool/tessolin", true, nullptr},
        {"nowhere", nullptr, true, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir root;
        std::filesystem::create_directories(root.path() / "app");
        if (c.placed != nullptr) {
            const auto program = root.path() / c.placed;
            std::filesystem::create_directories(program.parent_path());
            std::ofstream(program) << "#!/bin/sh\n";
            ::chmod(program.c_str(), c.executable ? 0755 : 0644);
        }
        const auto found = FindTessolinProgram(root.path() / "app");
        if (c.found == nullptr)
            EXPECT_EQ(found, std::nullopt);
        else
            EXPECT_EQ(found, std::optional(root.path() / c.found));
    }

    // QV_TESSOLIN names the program outright.
    ::setenv(kTessolinProgramEnv, "/somewhere/else/tessolin", 1);
    EXPECT_EQ(FindTessolinProgram(std::filesystem::path(QV_QUORVANE_BINARY).parent_path()),
              std::optional(std::filesystem::path("/somewhere/else/tessolin")));
    ::unsetenv(kTessolinProgramEnv);
}

// As a new user tries it: the command starts the real tool in the shipped folder, which lists
// the sample picture and downloads it to a simulated panel on USB (the test's stand-in for
// the user clicks there), writes "pic.h" and ends.
TEST_F(ToolStartOnTheWindow, TheRealToolDownloadsTheSamplePictureToASimulatedPanel)
{
    showMainWindow(640, 480);
    const auto folder = TessolinFolder(app->BaseDir());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder.parent_path());
    const char* source = std::getenv("QV_SOURCE_DIR"); // set by the test launcher
    ASSERT_NE(source, nullptr);
    std::filesystem::copy(std::filesystem::path(source) / std::filesystem::path(u8"base/images/其它工具软件/Tessolin软件"),
                          folder, std::filesystem::copy_options::recursive);
    const std::vector<std::pair<const char*, const char*>> env{{kTessolinProgramEnv, QV_TESSOLIN_BINARY},
                                                               {"QV_NONINTERACTIVE", "1"},
                                                               {"QV_SIM_PANELS", "ezusb"},
                                                               {"QV_EZUSB_IDS", "04b4:8613"},
                                                               {"QV_TESSOLIN_DOWNLOAD_ALL", "1"}};
    for (const auto& [name, value] : env)
        ::setenv(name, value, 1); // the tool inherits them
    ASSERT_TRUE(frame->commands().trigger(cmd::DownloadPictures));
    const auto picH = folder / "pic.h";
    const bool written = waitFor([&] { return std::filesystem::exists(picH); }, 60000);
    // The tool holds its one-copy lock until it ends: taking it here waits for that end.
    std::unique_ptr<InstanceLock> ended;
    waitFor([&] {
        ended.reset(); // a lock of ours would stand in the way of the next try
        ended = std::make_unique<InstanceLock>("Tessolin");
        return ended->acquired();
    }, 60000);
    for (const auto& [name, value] : env)
        ::unsetenv(name);
    ASSERT_TRUE(written);
    EXPECT_TRUE(ended->acquired());
    EXPECT_TRUE(prompts.messages.empty());
    std::stringstream text;
    text << std::ifstream(picH, std::ios::binary).rdbuf();
    EXPECT_NE(text.str().find("#define        " + std::string("示例图片") + std::string(14, ' ') + "0\r\n"), std::string::npos)
        << text.str();
}

} // namespace
} // namespace qv::test
