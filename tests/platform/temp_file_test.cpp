// Saves through temporary files: never through a link planted at a temporary name, modes
// kept, links to the saved file written through, and the leftovers of killed saves removed
// only when their owner is gone.
#include "platform/files/atomic_file.h"
#include "platform/files/temp_file.h"
#include "tests/fixtures/dead_pid.h"
#include "tests/fixtures/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <set>

namespace qv {
namespace {

namespace fs = std::filesystem;

mode_t modeOf(const fs::path& p)
{
    struct stat st {};
    EXPECT_EQ(::lstat(p.c_str(), &st), 0) << p;
    return st.st_mode;
}

std::set<std::string> namesIn(const fs::path& dir)
{
    std::set<std::string> out;
    for (const auto& e : fs::directory_iterator(dir))
        out.insert(e.path().filename().string());
    return out;
}

TEST(SaveTemporaries, ALinkWaitingAtATemporaryNameIsNeverFollowed)
{
    test::TempDir dir;
    const fs::path file = dir / "p.hmi", outside = dir / "outside.txt";
    ASSERT_TRUE(writeFileAtomically(file, "old"));
    ASSERT_TRUE(writeFileAtomically(outside, "not yours"));
    // Links at the names a save used to take, and at names of the new form.
    const std::string pid = std::to_string(::getpid());
    for (const std::string& name : {"p.hmi.tmp" + pid, "p.hmi.tmp" + pid + ".AAAAAA", "p.hmi.tmp" + pid + ".zzzzzz"})
        fs::create_symlink(outside, dir / name);

    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(writeFileAtomically(file, "new" + std::to_string(i)));
    EXPECT_EQ(test::fileContents(file), "new19");
    EXPECT_TRUE(S_ISREG(modeOf(file))) << "the saved file stays a file, not a link";
    EXPECT_EQ(test::fileContents(outside), "not yours");
    EXPECT_EQ(namesIn(dir.path()).size(), 5u) << "no temporary file left";
}

TEST(SaveTemporaries, ModesAreKeptAndNewFilesFollowTheUmask)
{
    test::TempDir dir;
    for (mode_t mode : {0600, 0640, 0644, 0755}) {
        const fs::path file = dir / ("m" + std::to_string(mode));
        ASSERT_TRUE(writeFileAtomically(file, "first"));
        ASSERT_EQ(::chmod(file.c_str(), mode), 0);
        ASSERT_TRUE(writeFileAtomically(file, "second"));
        EXPECT_EQ(modeOf(file) & 07777, mode);
        EXPECT_EQ(test::fileContents(file), "second");
    }
    const mode_t old = ::umask(027);
    ASSERT_TRUE(writeFileAtomically(dir / "fresh", "x"));
    ::umask(old);
    EXPECT_EQ(modeOf(dir / "fresh") & 07777, 0640u);
}

TEST(SaveTemporaries, ASavedLinkIsWrittenThroughToItsTarget)
{
    test::TempDir dir;
    fs::create_directories(dir / "real");
    const fs::path target = dir / "real" / "p.hmi", link = dir / "p.hmi", second = dir / "again.hmi";
    ASSERT_TRUE(writeFileAtomically(target, "old"));
    ASSERT_EQ(::chmod(target.c_str(), 0600), 0);
    fs::create_symlink("real/p.hmi", link);
    fs::create_symlink(link, second); // a chain of two links

    ASSERT_TRUE(writeFileAtomically(second, "new"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_TRUE(fs::is_symlink(second));
    EXPECT_EQ(test::fileContents(target), "new");
    EXPECT_EQ(modeOf(target) & 07777, 0600u);
    EXPECT_EQ(namesIn(dir / "real"), std::set<std::string>{"p.hmi"});
}

TEST(SaveTemporaries, OnlyOurLeftoversWithoutALiveOwnerAreRemoved)
{
    test::TempDir dir;
    const std::string dead = std::to_string(test::deadPid()), alive = std::to_string(::getpid());
    const std::string names[] = {
        "p.hmi.tmp" + dead + ".Ab12Cd",  // a killed save: removed
        "win0.drw.tmp" + dead + ".zZ9yY8", // removed
        "p.hmi.tmp" + alive + ".Ab12Cd", // a save running now: kept
        "p.hmi.tmp" + dead,              // not our form: kept
        "p.hmi.tmp" + dead + ".Ab12C",   // not our form: kept
        "p.hmi.tmp" + dead + ".Ab-2Cd",  // not our form: kept
        "notes.tmpx.Ab12Cd",             // kept
        "p.hmi",                         // kept
    };
    for (const std::string& n : names)
        ASSERT_TRUE(writeFileAtomically(dir / n, "x"));
    fs::create_directories(dir / ("folder.tmp" + dead + ".Ab12Cd"));

    const auto removed = removeStaleTemporaries(dir.path());
    EXPECT_EQ(removed.size(), 2u);
    std::set<std::string> expected(std::begin(names) + 2, std::end(names));
    expected.insert("folder.tmp" + dead + ".Ab12Cd");
    EXPECT_EQ(namesIn(dir.path()), expected);
}

// A sweep with depth goes down every folder to that depth, no further, and never through a
// link: neither a folder below that is a link nor a named folder that is one is entered.
TEST(SaveTemporaries, ASweepGoesDownItsFoldersButNeverThroughALink)
{
    test::TempDir project, outside;
    const std::string stale = "BIG.DAT.tmp" + std::to_string(test::deadPid()) + ".Ab12Cd";
    const fs::path removed[] = {project / "UsbDisk" / stale, project / "UsbDisk" / "LOG" / stale,
                                project / "UsbDisk" / "a" / "b" / "c" / stale};
    const fs::path kept[] = {project / "UsbDisk" / "a" / "b" / "c" / "d" / stale, // one level too deep
                             outside / stale, outside / "sub" / stale};
    for (const auto* list : {&removed, &kept})
        for (const fs::path& f : *list) {
            fs::create_directories(f.parent_path());
            std::ofstream(f) << "left over";
        }
    fs::create_directory_symlink(outside.path(), project / "UsbDisk" / "link");
    fs::create_directory_symlink(outside.path(), project / "SDCard");
    // A link at a temporary name is removed itself; where it leads is left.
    fs::create_symlink(outside / stale, project / "UsbDisk" / "LOG" / ("X.tmp" + std::to_string(test::deadPid()) + ".q1W2e3"));

    EXPECT_TRUE(removeStaleTemporaries(project.path(), "SDCard", 4).empty());
    const auto gone = removeStaleTemporaries(project.path(), "UsbDisk", 3);
    EXPECT_EQ(gone.size(), 4u);
    for (const fs::path& f : removed)
        EXPECT_FALSE(fs::exists(fs::symlink_status(f))) << f;
    for (const fs::path& f : kept)
        EXPECT_TRUE(fs::exists(f)) << f;
    EXPECT_EQ(namesIn(project / "UsbDisk" / "LOG"), std::set<std::string>{});
}

} // namespace
} // namespace qv
