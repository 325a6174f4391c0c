// The simulated drives: drive names to folders (and the names that are refused), record files
// (ring and list rules, damaged files, sizes, handles) and the plain-file delete.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <set>

#include "model/vars/var_bank.h"
#include "platform/files/atomic_file.h"
#include "platform/text/gbk.h"
#include "sim/disk/drive_path.h"
#include "sim/disk/record_file.h"
#include "tests/fixtures/temp_dir.h"
#include "tests/sim/record_fixture.h"

namespace qv::sim::test {
namespace {

namespace fs = std::filesystem;

std::set<std::string> listing(const fs::path& dir)
{
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        names.insert(entry.path().lexically_relative(dir).string());
    return names;
}

TEST(SimDrives, NamesMapIntoTheirDriveFolderOnly)
{
    qv::test::TempDir project;
    std::ofstream(project / "A.HMI") << "project";
    struct Case {
        std::string name;
        std::optional<std::string> want; // relative to the project (GBK), or nullopt: refused
        std::string folded;
    };
    const Case cases[] = {
        {"u:\\log.dat", "UsbDisk/LOG.DAT", "U:\\LOG.DAT"},
        {"A:\\data\\x.bin", "SDCard/DATA/X.BIN", "A:\\DATA\\X.BIN"},
        {"F:\\k.txt", "NandFlash/K.TXT", "F:\\K.TXT"},
        // A two-byte name whose trail byte looks like 'a' keeps it.
        {"U:\\\xB0\x61.txt", "UsbDisk/\xB0\x61.TXT", "U:\\\xB0\x61.TXT"},
        {"U:\\abcdefghijk", "UsbDisk/ABCDEFGHIJK", "U:\\ABCDEFGHIJK"}, // 15 characters
        {"U:\\..\\A.HMI", std::nullopt, "U:\\..\\A.HMI"},
        {"U:\\abcdefghijklm", std::nullopt, "U:\\ABCDEFGHIJKLM"}, // 16 characters
        {"U:\\", std::nullopt, "U:\\"},
        {"C:\\abc.txt", std::nullopt, "C:\\ABC.TXT"},
        {"U:/abc.txt", std::nullopt, "U:/ABC.TXT"},
        {"U:\\\\", std::nullopt, "U:\\\\"},
    };
    for (Case c : cases) {
        SCOPED_TRACE(c.folded);
        std::string name = c.name;
        const auto path = MapDrivePath(name, project.path());
        EXPECT_EQ(name, c.folded) << "folded in place";
        if (!c.want) {
            EXPECT_FALSE(path);
            continue;
        }
        ASSERT_TRUE(path);
        EXPECT_EQ(*path, project.path() / *gbkToUtf8(*c.want));
    }
    const auto before = listing(project.path());
    std::string escape = "U:\\..\\A.HMI";
    EXPECT_FALSE(DeletePlainFile(escape, project.path()));
    EXPECT_EQ(listing(project.path()), before) << "the project folder is untouched";
    EXPECT_TRUE(fs::exists(project / "A.HMI"));
}

TEST(SimDrives, DeletePlainFileSaysWhetherTheFileIsGone)
{
    qv::test::TempDir project;
    fs::create_directories(project / "UsbDisk" / "sub");
    std::ofstream(project / "UsbDisk" / "x.bin") << "x";
    std::string present = "U:\\x.bin", absent = "U:\\y.bin", folder = "U:\\sub";
    EXPECT_TRUE(DeletePlainFile(present, project.path()));
    EXPECT_FALSE(fs::exists(project / "UsbDisk" / "x.bin"));
    EXPECT_TRUE(DeletePlainFile(absent, project.path())) << "absent counts as gone";
    EXPECT_FALSE(DeletePlainFile(folder, project.path())) << "a folder is still there";
}

TEST(RecordFiles, RingKeepsTheNewestAndADeleteTurnsItIntoAList)
{
    RecordFixture f;
    const int h = f.open("ring.dat", 1, 3);
    ASSERT_EQ(h, 1);
    for (char c : {'A', 'B', 'C'})
        ASSERT_TRUE(f.append(h, c, false));
    EXPECT_FALSE(f.append(h, 'D', false)) << "full without overwrite";
    ASSERT_TRUE(f.append(h, 'D', true));
    EXPECT_EQ(f.files.count(h), 3u);
    EXPECT_EQ(f.record(h, 0), 'D');
    EXPECT_EQ(f.record(h, 1), 'C');
    EXPECT_EQ(f.record(h, 2), 'B');
    EXPECT_EQ(f.record(h, 3), '?');

    ASSERT_TRUE(f.files.remove(h, 0));
    EXPECT_EQ(f.files.count(h), 2u);
    EXPECT_EQ(f.record(h, 0), 'C');
    EXPECT_EQ(f.record(h, 1), 'B');
    ASSERT_TRUE(f.append(h, 'E', false));
    EXPECT_EQ(f.record(h, 0), 'E');
    EXPECT_EQ(f.record(h, 1), 'C');
    // The freed place (where D was, place 0) took E.
    std::string bytes;
    ASSERT_TRUE(readWholeFile(f.path("ring.dat"), bytes));
    EXPECT_EQ(bytes[512 + 512 + 0], 'E');
    EXPECT_FALSE(f.append(h, 'F', false)) << "a full list without overwrite";
    ASSERT_TRUE(f.append(h, 'F', true));
    EXPECT_EQ(f.record(h, 0), 'F');
    EXPECT_EQ(f.record(h, 1), 'E');
    EXPECT_EQ(f.record(h, 2), 'C');

    // Deleting in the middle links around the record.
    ASSERT_TRUE(f.files.remove(h, 1));
    EXPECT_EQ(f.record(h, 0), 'F');
    EXPECT_EQ(f.record(h, 1), 'C');
    EXPECT_TRUE(f.files.rewrite(h, *f.memory, 0x100, 1));
    EXPECT_EQ(f.record(h, 1), 'F');
}

TEST(RecordFiles, HandlesBelongToTheRunAndAreLimitedToFour)
{
    RecordFixture f;
    EXPECT_EQ(f.open("a.dat", 4, 10), 1);
    EXPECT_EQ(f.open("b.dat", 4, 10), 2);
    EXPECT_EQ(f.open("a.dat", 4, 10), 1) << "an open path gives its handle";
    EXPECT_EQ(f.open("c.dat", 4, 10), 3);
    EXPECT_EQ(f.open("d.dat", 4, 10), 4);
    EXPECT_EQ(f.open("e.dat", 4, 10), 0) << "a fifth file";
    EXPECT_EQ(f.files.close(2), 2);
    EXPECT_EQ(f.files.close(5), 0);
    EXPECT_EQ(f.open("e.dat", 4, 10), 2);
    EXPECT_EQ(f.open("f.dat", 5, 10), 0) << "a size the file does not have";
    EXPECT_EQ(f.open("g.dat", 0, 10), 0);
    EXPECT_EQ(f.open("g.dat", 0x4001, 10), 0);
    EXPECT_EQ(f.open("g.dat", 4, 0), 0);

    // A new run: its open reads the file as it is now, not the old run's copy of the head.
    ASSERT_TRUE(f.append(1, 'x', false));
    RecordFiles other;
    const int h = other.open(f.project.path(), f.path("a.dat"), 4, 10);
    ASSERT_GE(h, 1);
    ASSERT_TRUE(other.append(h, *f.memory, 0x100, false));
    ASSERT_TRUE(other.append(h, *f.memory, 0x100, false));
    f.files.closeAll();
    EXPECT_EQ(f.files.count(1), 0u);
    EXPECT_EQ(f.open("a.dat", 4, 10), 1);
    EXPECT_EQ(f.files.count(1), 3u);
}

TEST(RecordFiles, SizesPastOneGibibyteAreRefusedBeforeAnythingIsWritten)
{
    RecordFixture f;
    EXPECT_EQ(f.open("huge.dat", 1, 0xFFFFFFFF), 0);
    EXPECT_EQ(f.open("big.dat", 0x4000, 0x10000), 0);
    EXPECT_FALSE(fs::exists(f.project / "UsbDisk")) << "nothing made";
}

// A file whose numbers lie: each is refused with 0, never followed.
TEST(RecordFiles, DamagedFilesFail)
{
    struct Damage {
        const char* name;
        std::size_t offset;
        std::vector<std::uint8_t> bytes; // written over the file; empty: cut the file instead
        bool openFails;
    };
    const Damage cases[] = {
        {"HeadPastCapacity", 8, {11, 0, 0, 0}, true},
        {"HeadAtCapacity", 8, {10, 0, 0, 0}, false},
        {"OtherRecordSize", 2, {8, 0}, true},
        {"NotARecordFile", 0, {'x'}, true},
        {"LinkPastCapacity", 512 + 4 * 3, {50, 0, 0, 0}, false}, // the newest record's link
        {"ShortFile", 0, {}, true},
    };
    for (const Damage& d : cases) {
        SCOPED_TRACE(d.name);
        RecordFixture f;
        const int h = f.open("log.dat", 4, 10);
        ASSERT_EQ(h, 1);
        for (char c : {'a', 'b', 'c', 'd'})
            ASSERT_TRUE(f.append(h, c, false));
        ASSERT_TRUE(f.files.remove(h, 3)); // a list now: the links count
        f.files.closeAll();
        std::string bytes;
        ASSERT_TRUE(readWholeFile(f.path("log.dat"), bytes));
        if (d.bytes.empty())
            bytes.resize(bytes.size() - 1);
        else
            std::copy(d.bytes.begin(), d.bytes.end(), bytes.begin() + static_cast<std::ptrdiff_t>(d.offset));
        ASSERT_TRUE(writeFileAtomically(f.path("log.dat"), bytes));
        const int again = f.open("log.dat", 4, 10);
        if (d.openFails) {
            EXPECT_EQ(again, 0);
            continue;
        }
        ASSERT_EQ(again, 1);
        EXPECT_EQ(f.record(again, 1), '?');
        EXPECT_FALSE(f.files.rewrite(again, *f.memory, 0x100, 1));
        EXPECT_FALSE(f.files.remove(again, 1));
    }
}

} // namespace
} // namespace qv::sim::test
