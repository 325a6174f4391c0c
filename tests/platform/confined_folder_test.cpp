// The one way into a project folder: nothing below it that is a link is followed, nothing
// that is not a regular file is opened or blocks, and every refusal names the file.
#include "platform/files/atomic_file.h"
#include "platform/files/confined_folder.h"
#include "platform/files/temp_file.h"
#include "tests/fixtures/planted_files.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace qv::test {
namespace {

namespace fs = std::filesystem;

// Run with openat2 and with the part-by-part walk.
class ConfinedFolderTest : public ::testing::TestWithParam<bool> {
protected:
    ConfinedFolderTest()
    {
        setBeneathResolution(GetParam());
        writeText(root / "Drive" / "OWN.TXT", "own");
        plantLink(p.outside.path(), root / "Drive" / "out");              // a folder that leads out
        plantLink(p.outside / "SECRET.TXT", root / "Drive" / "LINK.TXT");  // a file that leads out
        plantLink(p.outside / "NEW.TXT", root / "Drive" / "DANGLING.TXT"); // leads to nothing yet
        plantLink(p.outside.path(), root / "Linked");                      // a whole drive folder
        plantLink("OWN.TXT", root / "Drive" / "INSIDE.TXT");               // even one that stays inside
        plantPipe(root / "Drive" / "PIPE");
        before = snapshotOf(p.outside.path());
    }

    ~ConfinedFolderTest() override { setBeneathResolution(true); }

    void expectOutsideUntouched() { EXPECT_EQ(snapshotOf(p.outside.path()), before); }

    PlantedProject p;
    const fs::path& root = p.project.path();
    ConfinedFolder folder{root};
    std::map<std::string, std::string> before;
};

struct OpenCase {
    const char* file;
    FileFault fault;
    const char* named; // the refusal line names this; null: no line
};

TEST_P(ConfinedFolderTest, OpensOnlyRegularFilesReachedThroughNoLink)
{
    const OpenCase cases[] = {
        {"Drive/OWN.TXT", FileFault::none, nullptr},
        {"Drive/MISSING.TXT", FileFault::missing, nullptr},
        {"Drive/LINK.TXT", FileFault::link, "Drive/LINK.TXT"},
        {"Drive/INSIDE.TXT", FileFault::link, "Drive/INSIDE.TXT"},
        {"Drive/out/SECRET.TXT", FileFault::link, "Drive/out"},
        {"Linked/SECRET.TXT", FileFault::link, "Linked"},
        {"Drive/PIPE", FileFault::pipe, "Drive/PIPE"},
        {"Drive", FileFault::folder, nullptr},
        {"../SECRET.TXT", FileFault::outside, nullptr},
    };
    for (const OpenCase& c : cases) {
        for (int access : {O_RDONLY, O_RDWR}) {
            FileFault fault = FileFault::failed;
            const std::size_t linesBefore = p.refusals().size();
            expectNoBlock([&] { EXPECT_EQ(static_cast<bool>(folder.openFile(root / c.file, access, &fault)), !c.named && c.fault == FileFault::none); },
                          {root / "Drive" / "PIPE"});
            EXPECT_EQ(fault, c.fault) << c.file;
            // A refusal is named once: the second open is refused as well, silently.
            const bool named = c.named && access == O_RDONLY;
            EXPECT_EQ(p.refusals().size(), linesBefore + (named ? 1 : 0)) << c.file;
            if (named)
                EXPECT_NE(p.refusals().back().find(c.named), std::string::npos) << p.refusals().back();
        }
        const std::size_t linesBefore = p.refusals().size();
        EXPECT_EQ(folder.kindOf(root / c.file), c.fault) << c.file;
        EXPECT_EQ(p.refusals().size(), linesBefore) << "a look reports nothing";
    }
    expectOutsideUntouched();
}

TEST_P(ConfinedFolderTest, TheDevicesAndSocketsOfTheFolderAreRefusedUnopened)
{
    plantLink("/dev/zero", root / "Drive" / "ZERO"); // a device behind a link: refused as a link
    const fs::path socketPath = root / "Drive" / "SOCK";
    const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string name = socketPath.string();
    ASSERT_LT(name.size(), sizeof address.sun_path);
    std::copy(name.begin(), name.end(), address.sun_path);
    ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    FileFault fault = FileFault::none;
    EXPECT_FALSE(folder.openFile(socketPath, O_RDONLY, &fault));
    EXPECT_EQ(fault, FileFault::socket);
    EXPECT_TRUE(p.refused("Drive/SOCK"));
    EXPECT_FALSE(folder.openFile(root / "Drive" / "ZERO", O_RDONLY, &fault));
    EXPECT_EQ(fault, FileFault::link);
    ::close(s);
}

TEST_P(ConfinedFolderTest, CreatesNewFilesOnlyAndNeverThroughALink)
{
    FileFault fault = FileFault::none;
    EXPECT_FALSE(folder.createFile(root / "Drive" / "DANGLING.TXT", 0666, &fault));
    EXPECT_EQ(fault, FileFault::link);
    EXPECT_FALSE(folder.createFile(root / "Drive" / "out" / "NEW.TXT", 0666, &fault));
    EXPECT_EQ(fault, FileFault::link);
    EXPECT_FALSE(folder.createFile(root / "Drive" / "OWN.TXT", 0666, &fault)) << "an existing file is not created over";
    EXPECT_EQ(fileContents(root / "Drive" / "OWN.TXT"), "own");
    EXPECT_FALSE(folder.openFolder(root / "Linked" / "deeper", true, &fault)) << "no folder made through a link";
    expectOutsideUntouched();

    const UniqueFd fd = folder.createFile(root / "Drive" / "a" / "b" / "NEW.TXT", 0666, &fault);
    ASSERT_TRUE(fd);
    EXPECT_EQ(::write(fd.get(), "new", 3), 3);
    EXPECT_EQ(fileContents(root / "Drive" / "a" / "b" / "NEW.TXT"), "new");
}

TEST_P(ConfinedFolderTest, ReplacesAndReadsPlainFilesAndLeavesAnythingElseAsItIs)
{
    std::string bytes;
    EXPECT_EQ(folder.readWhole(root / "Drive" / "OWN.TXT", bytes, 100), FileFault::none);
    EXPECT_EQ(bytes, "own");
    EXPECT_EQ(folder.readWhole(root / "Drive" / "OWN.TXT", bytes, 2), FileFault::failed) << "over the cap";
    EXPECT_EQ(folder.readWhole(root / "Drive" / "NONE", bytes, 100), FileFault::missing);
    expectNoBlock([&] { EXPECT_EQ(folder.readWhole(root / "Drive" / "PIPE", bytes, 100), FileFault::pipe); }, {root / "Drive" / "PIPE"});

    for (const char* name : {"Drive/LINK.TXT", "Drive/DANGLING.TXT", "Drive/out/SECRET.TXT", "Linked/SECRET.TXT", "Drive/PIPE"})
        expectNoBlock([&] { EXPECT_FALSE(folder.replaceWhole(root / name, "overwritten")) << name; }, {root / "Drive" / "PIPE"});
    EXPECT_TRUE(fs::is_symlink(root / "Drive" / "LINK.TXT"));
    EXPECT_TRUE(fs::is_fifo(root / "Drive" / "PIPE"));
    expectOutsideUntouched();

    ::chmod((root / "Drive" / "OWN.TXT").c_str(), 0640);
    EXPECT_TRUE(folder.replaceWhole(root / "Drive" / "OWN.TXT", "replaced"));
    EXPECT_EQ(fileContents(root / "Drive" / "OWN.TXT"), "replaced");
    EXPECT_EQ(fs::status(root / "Drive" / "OWN.TXT").permissions() & fs::perms::all, fs::perms(0640)) << "mode kept";
    EXPECT_TRUE(folder.replaceWhole(root / "NandFlash" / "NEW.BIN", "made", false));
    EXPECT_EQ(fileContents(root / "NandFlash" / "NEW.BIN"), "made");
}

// A replacement cut short (its process killed before the commit) leaves a temporary file
// that the sweep at project open knows and removes; one whose owner still runs stays.
TEST_P(ConfinedFolderTest, AReplacementLeftByADeadProcessIsSwept)
{
    const fs::path file = root / "Drive" / "OWN.TXT";
    auto live = folder.beginReplace(file);
    ASSERT_TRUE(live);
    EXPECT_EQ(live->tempPath().parent_path(), file.parent_path());
    EXPECT_TRUE(isTemporaryFileName(live->tempPath().filename().string())) << live->tempPath();

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        auto cut = folder.beginReplace(file);
        ::_exit(cut && ::write(cut->fd(), "half", 4) == 4 ? 0 : 1); // no commit, no clean-up
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const auto removed = removeStaleTemporaries(root / "Drive");
    ASSERT_EQ(removed.size(), 1u);
    EXPECT_NE(removed.front().filename().string().find("OWN.TXT.tmp" + std::to_string(child) + "."), std::string::npos)
        << removed.front();
    EXPECT_TRUE(fs::exists(live->tempPath()));
    EXPECT_EQ(fileContents(file), "own");
}

TEST_P(ConfinedFolderTest, DeletesAndEmptiesNeverThroughALink)
{
    EXPECT_FALSE(folder.removeFile(root / "Linked" / "SECRET.TXT"));
    EXPECT_FALSE(folder.removeFile(root / "Drive" / "out" / "SECRET.TXT"));
    EXPECT_FALSE(folder.emptyFolder(root / "Linked"));
    EXPECT_FALSE(folder.emptyFolder(root / "Drive" / "out"));
    EXPECT_TRUE(p.refused("Linked"));
    expectOutsideUntouched();

    EXPECT_TRUE(folder.removeFile(root / "Drive" / "LINK.TXT")) << "the link itself goes";
    EXPECT_FALSE(fs::exists(fs::symlink_status(root / "Drive" / "LINK.TXT")));
    EXPECT_FALSE(folder.removeFile(root / "Drive")) << "never a folder";
    EXPECT_TRUE(folder.removeFile(root / "Drive" / "NONE"));
    expectOutsideUntouched();

    writeText(root / "Drive" / "MORE.TXT", "more");
    EXPECT_TRUE(folder.emptyFolder(root / "Drive"));
    EXPECT_FALSE(fs::exists(root / "Drive" / "OWN.TXT"));
    EXPECT_FALSE(fs::exists(root / "Drive" / "MORE.TXT"));
    EXPECT_TRUE(fs::is_symlink(root / "Drive" / "out")) << "only regular files are emptied";
    EXPECT_TRUE(fs::is_fifo(root / "Drive" / "PIPE"));
    EXPECT_TRUE(folder.emptyFolder(root / "NoSuchFolder"));
    expectOutsideUntouched();
}

TEST_P(ConfinedFolderTest, TheProjectFolderItselfMayBeALink)
{
    TempDir holder;
    plantLink(root, holder / "project");
    const ConfinedFolder viaLink(holder / "project");
    EXPECT_TRUE(viaLink.openFile(holder / "project" / "Drive" / "OWN.TXT", O_RDONLY));
    EXPECT_FALSE(viaLink.openFile(holder / "project" / "Linked" / "SECRET.TXT", O_RDONLY));
}

INSTANTIATE_TEST_SUITE_P(BothWays, ConfinedFolderTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Openat2" : "PartByPart"; });

TEST(ReadWholeFile, APipeIsRefusedWithoutBlocking)
{
    TempDir dir;
    plantPipe(dir / "PIPE");
    std::string bytes, error;
    expectNoBlock([&] { EXPECT_FALSE(readWholeFile(dir / "PIPE", bytes, &error)); }, {dir / "PIPE"});
    EXPECT_FALSE(error.empty());
}

// Code looping on planted links: each file named once per run, and never more than
// kMaxRefusalLines lines however many files it tries.
TEST(RefusalReports, EachFileOncePerRunAndBoundedInAll)
{
    PlantedProject p;
    const ConfinedFolder folder(p.project.path());
    const std::size_t links = kMaxRefusalLines + 10;
    for (std::size_t i = 0; i < links; ++i)
        plantLink(p.outside / "SECRET.TXT", p.project / ("L" + std::to_string(i)));
    plantPipe(p.project / "PIPE");
    for (int round = 0; round < 50; ++round) {
        EXPECT_FALSE(folder.openFile(p.project / "L0", O_RDONLY));
        EXPECT_FALSE(folder.openFile(p.project / "PIPE", O_RDONLY));
    }
    EXPECT_EQ(p.refusals().size(), 2u);
    for (std::size_t i = 0; i < links; ++i)
        EXPECT_FALSE(folder.openFile(p.project / ("L" + std::to_string(i)), O_RDONLY));
    EXPECT_EQ(p.refusals().size(), kMaxRefusalLines);
    EXPECT_FALSE(p.refused("L" + std::to_string(links - 1)));

    // A new run names them again.
    p.clearRefusals();
    forgetReportedRefusals();
    EXPECT_FALSE(folder.openFile(p.project / "L0", O_RDONLY));
    EXPECT_FALSE(folder.openFile(p.project / ("L" + std::to_string(links - 1)), O_RDONLY));
    EXPECT_EQ(p.refusals().size(), 2u);
}

// Two owners of the one reporter: the first one leaving does not silence the second.
TEST(RefusalReports, OnlyItsOwnReporterIsCleared)
{
    TempDir project, outside;
    plantLink(outside.path(), project / "LINK");
    std::vector<std::string> first, second;
    const auto firstToken = setRefusalReporter([&](const std::string& line) { first.push_back(line); });
    const auto secondToken = setRefusalReporter([&](const std::string& line) { second.push_back(line); });
    clearRefusalReporter(firstToken);
    EXPECT_FALSE(ConfinedFolder(project.path()).openFile(project / "LINK", O_RDONLY));
    EXPECT_TRUE(first.empty());
    EXPECT_EQ(second.size(), 1u);
    clearRefusalReporter(secondToken);
    forgetReportedRefusals();
    EXPECT_FALSE(ConfinedFolder(project.path()).openFile(project / "LINK", O_RDONLY));
    EXPECT_EQ(second.size(), 1u);
}

TEST(RefusalLine, NamesTheFileAndWhatItIs)
{
    const auto line = gbkToUtf8(refusalLine("UsbDisk/PIPE", FileFault::pipe));
    ASSERT_TRUE(line);
    EXPECT_NE(line->find("UsbDisk/PIPE"), std::string::npos);
    EXPECT_NE(line->find(reinterpret_cast<const char*>(u8"管道")), std::string::npos);
    EXPECT_NE(*line, gbkToUtf8(refusalLine("UsbDisk/PIPE", FileFault::link)));
}

} // namespace
} // namespace qv::test
