// Starts the real program binary under the offscreen platform in a temporary base folder.
#include "model/document/draw_doc.h"
#include "platform/files/atomic_file.h"
#include "tests/fixtures/child_process.h"
#include "tests/fixtures/temp_dir.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// The program's texts as it prints them (UTF-8 on stderr).
std::string utf8(const char8_t* s) { return reinterpret_cast<const char*>(s); }
const std::string kAlreadyRunning = utf8(u8"Quorvane.exe尚未关闭，不可重新启动!!!");
const std::string kNoImages = utf8(u8"找不到系统文件夹images");
const std::string kLoopStarted = "Quorvane: event loop started";
constexpr auto kStartTimeout = 60s;

class ProgramStart : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directory(base() / "images"); }

    const fs::path& base() const { return dir_.path(); }

    // A copy of the program in `workDir` (the base folder unless given).
    std::unique_ptr<qv::test::ChildProcess> start(bool exitAfterStart, const fs::path& workDir = {},
                                                  qv::test::ChildProcess::Env env = {})
    {
        env.emplace_back("QT_QPA_PLATFORM", "offscreen");
        env.emplace_back("QV_NONINTERACTIVE", "1");
        if (exitAfterStart)
            env.emplace_back("QV_EXIT_AFTER_START", "1");
        const fs::path log = logs_.path() / ("run" + std::to_string(runs_++) + ".log");
        return std::make_unique<qv::test::ChildProcess>(QV_QUORVANE_BINARY, workDir.empty() ? base() : workDir, env,
                                                        log);
    }

    // Starts a copy that quits right after its event loop started; returns its status.
    int startAndEnd(std::string* output = nullptr, const fs::path& workDir = {},
                    const qv::test::ChildProcess::Env& env = {})
    {
        auto run = start(true, workDir, env);
        const auto status = run->waitForExit(kStartTimeout);
        if (output)
            *output = run->output();
        EXPECT_TRUE(status.has_value()) << "the program did not end";
        return status.value_or(-1);
    }

private:
    qv::test::TempDir dir_;
    qv::test::TempDir logs_;
    int runs_ = 0;
};

TEST_F(ProgramStart, ReachesItsEventLoopAndEndsCleanly)
{
    std::string output;
    EXPECT_EQ(startAndEnd(&output), 0) << output;
    EXPECT_NE(output.find(kLoopStarted), std::string::npos) << output;
}

TEST_F(ProgramStart, SecondCopyIsRefusedWhileTheFirstRuns)
{
    auto first = start(false);
    ASSERT_TRUE(first->waitForOutput(kLoopStarted, kStartTimeout)) << first->output();

    std::string output;
    EXPECT_EQ(startAndEnd(&output), 255);
    EXPECT_NE(output.find(kAlreadyRunning), std::string::npos) << output;
    EXPECT_EQ(output.find(kLoopStarted), std::string::npos) << "the second copy must not start: " << output;

    first->kill(SIGTERM);
    EXPECT_TRUE(first->waitForExit(kStartTimeout).has_value());
}

TEST_F(ProgramStart, KilledCopyDoesNotBlockTheNextStart)
{
    auto first = start(false);
    ASSERT_TRUE(first->waitForOutput(kLoopStarted, kStartTimeout)) << first->output();
    first->kill(SIGKILL);
    ASSERT_EQ(first->waitForExit(kStartTimeout), 128 + SIGKILL);

    std::string output;
    EXPECT_EQ(startAndEnd(&output), 0) << output;
    EXPECT_NE(output.find(kLoopStarted), std::string::npos) << output;
}

// A lock file that cannot be made means no other copy runs: the program says so and starts.
TEST_F(ProgramStart, ALockFileThatCannotBeMadeIsNoReasonToRefuse)
{
    qv::test::TempDir blocked;
    ASSERT_TRUE(qv::writeFileAtomically(blocked / "file", "x"));
    const std::string below = (blocked / "file" / "sub").string();
    std::string output;
    EXPECT_EQ(startAndEnd(&output, {}, {{"XDG_RUNTIME_DIR", below}, {"XDG_CACHE_HOME", below}}), 0) << output;
    EXPECT_NE(output.find("cannot create the lock file"), std::string::npos) << output;
    EXPECT_EQ(output.find(kAlreadyRunning), std::string::npos) << output;
}

// The project named in "latest.txt" opens at start-up and joins the recent files; one that
// does not load is named in a message and the program still runs.
TEST_F(ProgramStart, OpensTheLatestProjectAndRemembersIt)
{
    struct Case {
        const char* what;
        bool valid;
    };
    const fs::path profile = fs::path(std::getenv("XDG_CONFIG_HOME")) / "Zenvaro" / "Quorvane.conf";
    for (const Case c : {Case{"a project", true}, Case{"a damaged file", false}}) {
        SCOPED_TRACE(c.what);
        fs::remove(profile);
        const fs::path file = base() / c.what / "p.hmi";
        fs::create_directories(file.parent_path() / "window");
        if (c.valid) {
            qv::CDrawDoc project;
            project.m_nWindowWidth = 800;
            project.m_nWindowHeight = 480;
            qv::DocumentError error;
            ASSERT_TRUE(project.OnSaveDocument(file, &error)) << error.messageGbk;
        } else {
            ASSERT_TRUE(qv::writeFileAtomically(file, std::string(40, '\x07')));
        }
        ASSERT_TRUE(qv::writeFileAtomically(base() / "latest.txt", file.string()));

        std::string output;
        EXPECT_EQ(startAndEnd(&output), 0) << output;
        EXPECT_NE(output.find(kLoopStarted), std::string::npos) << output;
        std::string settings;
        qv::readWholeFile(profile, settings);
        EXPECT_EQ(settings.find(file.string()) != std::string::npos, c.valid) << settings;
        EXPECT_EQ(output.find("p.hmi") != std::string::npos, !c.valid) << output;
    }
}

// What stands at "images" in the base folder decides whether the program starts.
TEST_F(ProgramStart, OnlyAFolderNamedImagesLetsTheProgramStart)
{
    struct Case {
        const char* what;
        void (*make)(const fs::path& base, const fs::path& elsewhere);
        bool starts;
    };
    const Case cases[] = {
        {"missing", [](const fs::path&, const fs::path&) {}, false},
        {"a file", [](const fs::path& b, const fs::path&) { std::ofstream(b / "images") << "x"; }, false},
        {"a dangling link",
         [](const fs::path& b, const fs::path& e) { fs::create_directory_symlink(e / "gone", b / "images"); }, false},
        {"a link to a folder",
         [](const fs::path& b, const fs::path& e) {
             fs::create_directory(e / "real");
             fs::create_directory_symlink(e / "real", b / "images");
         },
         true},
        {"a read-only folder",
         [](const fs::path& b, const fs::path&) {
             fs::create_directory(b / "images");
             fs::permissions(b / "images", fs::perms::owner_read | fs::perms::owner_exec);
         },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        qv::test::TempDir caseBase, elsewhere;
        c.make(caseBase.path(), elsewhere.path());
        std::string output;
        const int status = startAndEnd(&output, caseBase.path());
        if (c.starts) {
            EXPECT_EQ(status, 0) << output;
            EXPECT_NE(output.find(kLoopStarted), std::string::npos) << output;
        } else {
            EXPECT_EQ(status, 1) << output;
            EXPECT_NE(output.find(kNoImages), std::string::npos) << output;
            EXPECT_EQ(output.find(kLoopStarted), std::string::npos) << output;
        }
    }
}

} // namespace
