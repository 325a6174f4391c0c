// "下载图片到用户区" starts the picture tool in its folder of the base folder; a start that
// cannot happen says why and starts nothing.
#include "app/tool_commands/tool_start.h"
#include "tests/app/editor_window_fixture.h"

#include <cstdlib>
#include <fstream>
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

        ASSERT_TRUE(frame->commands().trigger({cmd::Owner::App, 32925}));
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

} // namespace
} // namespace qv::test
