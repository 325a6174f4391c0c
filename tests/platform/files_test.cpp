#include "platform/files/atomic_file.h"
#include "platform/files/stored_path.h"
#include "platform/process/instance_lock.h"
#include "tests/fixtures/sparse_file.h"
#include "tests/fixtures/temp_dir.h"

#include <fstream>
#include <gtest/gtest.h>

namespace qv {
namespace {

void touch(const std::filesystem::path& p)
{
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p) << "x";
}

TEST(StoredPath, ResolvesPartsCaseInsensitively)
{
    test::TempDir base;
    touch(base / "UserPicture/a.bmp");
    touch(base / std::string(reinterpret_cast<const char*>(u8"window/系统键盘.dlg")));

    struct Case { std::string stored; std::string expected; };
    const Case cases[] = {
        {"\\UserPicture\\a.bmp", "UserPicture/a.bmp"},
        {"\\userpicture\\A.BMP", "UserPicture/a.bmp"},
        {"window\\系统键盘.dlg", reinterpret_cast<const char*>(u8"window/系统键盘.dlg")},
        {"\\UserPicture\\new.bmp", "UserPicture/new.bmp"},
    };
    for (const Case& c : cases) {
        auto p = resolveStoredPath(base.path(), c.stored);
        ASSERT_TRUE(p) << c.stored;
        EXPECT_EQ(*p, base.path() / c.expected) << c.stored;
    }
}

TEST(StoredPath, NeverLeavesTheBase)
{
    test::TempDir base;
    for (const char* bad : {"..\\x", "\\a\\..\\..\\x", "C:\\x", "\\\x81"})
        EXPECT_FALSE(resolveStoredPath(base.path(), bad)) << bad;
}

TEST(AtomicFile, ReplacesOrLeavesTheOldFile)
{
    test::TempDir dir;
    auto p = dir / "f.bin";
    ASSERT_TRUE(writeFileAtomically(p, "old"));
    ASSERT_TRUE(writeFileAtomically(p, std::string("n\0w", 3)));
    std::string bytes;
    ASSERT_TRUE(readWholeFile(p, bytes));
    EXPECT_EQ(bytes, std::string("n\0w", 3));

    std::string error;
    EXPECT_FALSE(readWholeFile(dir.path(), bytes, &error)); // a folder is refused, not thrown
    EXPECT_FALSE(readWholeFile(dir / "absent", bytes, &error));
    EXPECT_EQ(bytes, std::string("n\0w", 3));

    EXPECT_FALSE(writeFileAtomically(dir / "missing/f.bin", "x", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

// A sparse file of 1 TiB costs no disk, and a reader that reserves its size first ends the
// program: every read is capped before anything is allocated.
TEST(AtomicFile, ReadsAreCappedByWhatTheFormatHolds)
{
    test::TempDir dir;
    const auto huge = dir / "huge.drw";
    test::makeSparseFile(huge);
    const auto small = dir / "small.bin";
    ASSERT_TRUE(writeFileAtomically(small, std::string(1000, 'x')));

    const struct {
        const char* name;
        std::filesystem::path file;
        std::uint64_t cap;
        bool read;
    } cases[] = {
        {"1 TiB under the default cap", huge, kDefaultReadCap, false},
        {"exactly at the cap", small, 1000, true},
        {"one byte over the cap", small, 999, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string bytes = "kept", error;
        EXPECT_EQ(readWholeFile(c.file, bytes, &error, c.cap), c.read);
        if (!c.read) {
            EXPECT_EQ(bytes, "kept");
            EXPECT_NE(error.find("file too large"), std::string::npos) << error;
            EXPECT_NE(error.find(c.file.filename().string()), std::string::npos) << error;
        }
    }
}

TEST(InstanceLock, SecondHolderIsRefusedUntilTheFirstEnds)
{
    auto first = std::make_unique<InstanceLock>("QvLockTest");
    ASSERT_TRUE(first->acquired());
    EXPECT_FALSE(InstanceLock("QvLockTest").acquired());
    first.reset();
    EXPECT_TRUE(InstanceLock("QvLockTest").acquired());
}

} // namespace
} // namespace qv
