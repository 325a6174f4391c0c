// The full download against the simulated panel: the flash read back from the start map
// holds every piece of the image, on every kind of panel, with and without bad blocks.
#include "tests/device/download_rig.h"

#include "device/download/area_walk.h"
#include "device/download/download_texts.h"

namespace qv::device::test {
namespace {

class ProjectDownloadKinds : public ::testing::TestWithParam<usb::UsbKind> {};

TEST_P(ProjectDownloadKinds, EveryPieceLandsWhereTheStartMapSays)
{
    DownloadRig rig(GetParam());
    rig.install(SyntheticImage::typical());
    rig.code(pattern(5000, 0x90));
    rig.file("a.bin", pattern(700, 1));
    rig.file("longer-name-than-twelve.txt", pattern(20000, 2));
    ASSERT_TRUE(rig.runProject());
    const std::string log = rig.log();
    EXPECT_TRUE(contains(log, text::kProjectDone)) << log;
    EXPECT_TRUE(contains(log, "MC8051代码=5004字节")) << log;
    const FlashWalk w = walkFlash(*rig.panel, rig.expected);
    EXPECT_EQ(w.startMapBlock, 0u);
    EXPECT_EQ(getU32(w.startMap, 0x10C), rig.startSecond);
    EXPECT_EQ(rig.downloading.load(), 0); // the worker's guard owns the flags, not this function
}

INSTANTIATE_TEST_SUITE_P(Kinds, ProjectDownloadKinds, ::testing::ValuesIn(kAllKinds),
                         [](const auto& i) { return std::string(kindName(i.param)); });

// The checks worked out from an image's bytes (as for a compiled project) are the ones the
// synthetic image was built with.
TEST(ProjectDownload, TheImageAloneGivesTheWalkersChecks)
{
    ExpectedFlash built;
    const Bytes file = SyntheticImage::typical().build(&built.checks);
    const ExpectedFlash derived = expectedOfImage(file);
    EXPECT_EQ(derived.checks, built.checks);
}

TEST(ProjectDownload, RecordChecksumsWrapAtSixteenBits)
{
    // A record of only zero bytes sums to 0; 70,000 bytes of 1 to 70,000 mod 65,536.
    const struct {
        std::size_t length;
        std::uint8_t fill;
        std::uint16_t sum;
    } cases[] = {{4096, 0x00, 0}, {70000, 0x01, 4464}};
    for (const auto& c : cases) {
        Bytes record(c.length + 2, c.fill);
        record[0] = record[1] = 0xEE;
        EXPECT_EQ(recordChecksum(record), c.sum) << c.length;
    }
}

// Bad blocks under each stage's pieces: every piece moves by whole blocks and the flash
// still reads back whole; bad blocks met in stage 6 are marked in the table.
TEST(ProjectDownload, BadBlocksMovePiecesByWholeBlocks)
{
    struct Case {
        const char* name;
        std::set<std::uint32_t> bad;
        std::vector<std::uint32_t> markedInTable;
        std::uint32_t startMapBlock;
    };
    const std::uint32_t first = 0x200000 / kBlock; // the cursor block's block
    const Case cases[] = {
        {"stage 1", {first}, {}, 0},
        {"stage 2", {first + 1}, {}, 0},
        {"stage 5", {first + 3}, {}, 0},
        {"reserved 0 and 1", {0, 1}, {}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DownloadRig rig(usb::UsbKind::Hid, c.bad);
        rig.install(SyntheticImage::typical());
        rig.code(pattern(20000, 0x90));
        rig.file("f.dat", pattern(3000, 3));
        rig.expected.badBlocks = c.bad;
        ASSERT_TRUE(rig.runProject()) << rig.log();
        const FlashWalk w = walkFlash(*rig.panel, rig.expected);
        EXPECT_EQ(w.startMapBlock, c.startMapBlock);
    }
}

// A clean run shows where stage 6 puts the chain, the directory and the table; the same
// project again with a bad block under each of them.
TEST(ProjectDownload, BadBlocksInStageSixAreMarkedInTheTable)
{
    DownloadRig clean(usb::UsbKind::EzUsb);
    clean.install(SyntheticImage::typical());
    clean.code(pattern(20000, 0x90));
    ASSERT_TRUE(clean.runProject());
    const FlashWalk w = walkFlash(*clean.panel, clean.expected);
    ASSERT_EQ(w.chain.size(), 2u);
    const std::uint32_t tableBlock = getU32(w.startMap, sm::BlockTableAddr) / kBlock;
    const struct {
        const char* name;
        std::uint32_t bad;
    } cases[] = {{"chain", w.chain[1] / kBlock}, {"directory", w.table[2] / kBlock}, {"table", tableBlock}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DownloadRig rig(usb::UsbKind::EzUsb, {c.bad});
        rig.install(SyntheticImage::typical());
        rig.code(pattern(20000, 0x90));
        rig.expected.badBlocks = {c.bad};
        ASSERT_TRUE(rig.runProject()) << rig.log();
        const FlashWalk again = walkFlash(*rig.panel, rig.expected);
        EXPECT_EQ(again.table.at(c.bad), 0xFFFFFFF7u);
    }
}

TEST(ProjectDownload, AllReservedBlocksBadEndsWithoutAStartMap)
{
    DownloadRig rig(usb::UsbKind::Disk, {0, 1, 2});
    rig.install(SyntheticImage::typical());
    EXPECT_FALSE(rig.runProject());
    const std::string log = rig.log();
    EXPECT_TRUE(contains(log, text::kNoBaseBlock)) << log;
    EXPECT_FALSE(contains(log, text::kProjectDone));
}

TEST(ProjectDownload, WithoutUserCodeNoChainIsWritten)
{
    DownloadRig rig(usb::UsbKind::Hid);
    rig.install(SyntheticImage::typical());
    ASSERT_TRUE(rig.runProject()) << rig.log();
    const FlashWalk w = walkFlash(*rig.panel, rig.expected);
    EXPECT_TRUE(w.chain.empty());
}

TEST(ProjectDownload, FilesPastOneHundredTwentyEightAreLeftOutByName)
{
    DownloadRig rig(usb::UsbKind::Disk);
    rig.install(SyntheticImage::typical());
    for (int i = 129; i >= 0; --i) {
        char name[16];
        std::snprintf(name, sizeof name, "f%03d", i);
        const auto p = rig.project.fdisk(name, pattern(16, static_cast<std::uint8_t>(i)));
        if (i < 128)
            rig.expected.files.insert(rig.expected.files.begin(), {name, pattern(16, static_cast<std::uint8_t>(i))});
        rig.fdisk.insert(rig.fdisk.begin(), p);
    }
    ASSERT_TRUE(rig.runProject());
    const std::string log = rig.log();
    EXPECT_TRUE(contains(log, std::string(text::kFileLeftOut))) << log;
    EXPECT_TRUE(contains(log, "f129")) << log;
    walkFlash(*rig.panel, rig.expected);
}

TEST(ProjectDownload, CodeLargerThanTheSramLeftIsRefused)
{
    // The need within 256 bytes of the SRAM: the limit is negative and takes no code.
    SyntheticImage s = SyntheticImage::typical();
    DownloadRig rig(usb::UsbKind::EzUsb);
    s.sramNeed = 0x10000 - 100;
    rig.install(s);
    rig.code(pattern(8, 0x90));
    EXPECT_FALSE(rig.runProject());
    const std::string log = rig.log();
    EXPECT_TRUE(contains(log, "MC8051单片机代码不得大于-156字节")) << log;
}

// The PLC block (48 bytes and 16 per record, the count low byte first) goes in whole after
// the variables when the SRAM left holds it; one byte short it stays out and the log says
// how much was needed. A block shorter than its records claim is not sent.
TEST(ProjectDownload, PlcBlockLandsWholeWhenTheSramHoldsIt)
{
    const struct {
        const char* what;
        int records;
        std::size_t size;
        std::int64_t spare; // SRAM beyond the image's need and the block's 48 + 16 x 3 bytes
        bool sent, counted;
    } cases[] = {
        {"exactly enough", 3, 96, 0, true, true},
        {"one byte short", 3, 96, -1, true, false},
        {"shorter than its records", 3, 95, 0x1000, false, false},
        {"a count above 255", 0x101, 48 + 16 * 0x101, 0x10000, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DownloadRig rig(usb::UsbKind::EzUsb);
        const SyntheticImage s = SyntheticImage::typical();
        rig.install(s);
        const std::uint32_t length = 48 + 16 * static_cast<std::uint32_t>(c.records);
        rig.info.sramBytes = static_cast<std::uint32_t>(std::int64_t{s.sramNeed} + length + c.spare);
        rig.panel->setDeviceInfo(rig.info);
        Bytes plc = pattern(c.size, 7);
        plc[0] = static_cast<std::uint8_t>(c.records);
        plc[1] = static_cast<std::uint8_t>(c.records >> 8);
        DownloadJob job = rig.job();
        job.plcBlock = plc;
        ASSERT_TRUE(DownloadProjectThread(std::move(job), rig.flags)) << rig.log();
        const FlashWalk w = walkFlash(*rig.panel, rig.expected);
        const std::uint32_t at = getU32(w.startMap, sm::PlcBlockAddr);
        EXPECT_EQ(getU32(w.startMap, sm::SramNeed), s.sramNeed + (c.counted ? length : 0));
        EXPECT_EQ(at != 0, c.sent && c.counted);
        if (at != 0) {
            EXPECT_EQ(rig.panel->readNand(at, length), plc);
        }
        EXPECT_EQ(contains(rig.log(), "小于实际需要的SRAM数量(" + std::to_string(s.sramNeed + length) + "字节)"),
                  c.sent && !c.counted)
            << rig.log();
    }
}

TEST(ProjectDownload, UnreadableUserCodeFailsTheDownload)
{
    DownloadRig rig(usb::UsbKind::EzUsb);
    rig.install(SyntheticImage::typical());
    std::filesystem::create_directories(rig.project.dir.path() / "MC8051");
    std::ofstream(rig.project.dir.path() / "MC8051" / "MC8051.hex") << ":10000000ZZ\n";
    EXPECT_FALSE(rig.runProject());
    const std::string log = rig.log();
    EXPECT_TRUE(contains(log, text::kBadCodeFile)) << log;
    EXPECT_FALSE(contains(log, text::kProjectDone));
}

TEST(ProjectDownload, FileLargerThanTheFlashIsRefusedBeforeItIsSent)
{
    DownloadRig rig(usb::UsbKind::Disk);
    rig.install(SyntheticImage::typical());
    const auto big = rig.project.fdisk("big.bin", {});
    std::filesystem::resize_file(big, 0x4000000); // sparse: as large as the whole flash
    rig.fdisk.push_back(big);
    EXPECT_FALSE(rig.runProject());
    const std::string log = rig.log();
    EXPECT_TRUE(contains(log, text::kNoCapacity)) << log;
    EXPECT_TRUE(rig.panel->readNand(0, 2) == Bytes(2, 0xFF)); // no start map
}

} // namespace
} // namespace qv::device::test

namespace qv::device::test {
namespace {

TEST(ProjectDownload, AbortFlagEndsTheDownloadAsTheUsersAbort)
{
    for (usb::UsbKind kind : kAllKinds) {
        SCOPED_TRACE(kindName(kind));
        DownloadRig rig(kind);
        rig.install(SyntheticImage::typical());
        rig.abort = 1; // the abort command (32912) came before the first piece
        EXPECT_FALSE(rig.runProject());
        const Reports r = rig.drain();
        const std::string log = std::accumulate(r.lines.begin(), r.lines.end(), std::string{});
        EXPECT_TRUE(contains(log, text::kUserAbort)) << log;
        EXPECT_EQ(r.messages, std::vector<std::string>{text::kDownloadFailed});
        EXPECT_EQ(rig.panel->readNand(0, 2), Bytes(2, 0xFF));
    }
}

} // namespace
} // namespace qv::device::test
