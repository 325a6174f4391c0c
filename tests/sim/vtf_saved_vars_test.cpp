// The saved-variables file: creating and claiming slots, rewriting a claimed range, clearing,
// loading into both banks, and refusing bad slot numbers, short headers and damaged slots
// without changing the file or the memory.
#include "model/vars/var_bank.h"
#include "platform/files/atomic_file.h"
#include "sim/vtf/saved_vars.h"
#include "sim/vtf/vtf_layout.h"
#include "tests/fixtures/sparse_file.h"
#include "tests/fixtures/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <thread>
#include <vector>

namespace qv::test {
namespace {

namespace fs = std::filesystem;

struct SlotBytes {
    std::uint8_t marker;
    std::uint16_t address;
    std::uint16_t length;
    std::uint32_t dataOffset;
};

class SavedVarsTest : public ::testing::Test {
protected:
    TempDir dir;
    std::unique_ptr<VarBank> live = std::make_unique<VarBank>();
    std::unique_ptr<VarBank> shown = std::make_unique<VarBank>();

    fs::path file() const { return dir.path() / "NandFlash" / "VarToFlash.vtf"; }

    std::string contents() const
    {
        std::string bytes;
        if (!readWholeFile(file(), bytes))
            return "<absent>";
        return bytes;
    }

    void writeContents(const std::string& bytes)
    {
        fs::create_directories(file().parent_path());
        ASSERT_TRUE(writeFileAtomically(file(), bytes));
    }

    SlotBytes slotAt(int slot) const
    {
        const std::string bytes = contents();
        const auto* p = reinterpret_cast<const std::uint8_t*>(bytes.data()) + slot * 16;
        return {p[1], std::uint16_t(p[4] | p[5] << 8), std::uint16_t(p[6] | p[7] << 8),
                std::uint32_t(p[8] | p[9] << 8 | p[10] << 16 | std::uint32_t(p[11]) << 24)};
    }

    void fillLive(std::int64_t address, int count, std::uint8_t first)
    {
        for (int i = 0; i < count; ++i)
            live->writeByte(address + i, std::uint8_t(first + i));
    }

    bool save(int slot, std::int64_t address, std::int64_t length)
    {
        return SaveVarToFlash(dir.path(), slot, address, length, *live);
    }
};

TEST_F(SavedVarsTest, FirstSaveCreatesTheFileAndClaimsTheSlot)
{
    fillLive(0x100, 16, 0xA0);
    ASSERT_TRUE(save(3, 0x100, 16));

    const std::string bytes = contents();
    ASSERT_EQ(bytes.size(), 512u + 16u);
    const SlotBytes s = slotAt(3);
    EXPECT_EQ(s.marker, 0x13);
    EXPECT_EQ(s.address, 0x100);
    EXPECT_EQ(s.length, 16);
    EXPECT_EQ(s.dataOffset, 512u);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(std::uint8_t(bytes[512 + i]), 0xA0 + i) << i;
    // Only the slot's marker and fields are set; every other header byte stays zero.
    for (std::size_t i = 0; i < 512; ++i)
        if (i < 48 || i >= 64)
            ASSERT_EQ(bytes[i], '\0') << i;
    EXPECT_EQ(bytes[48], '\0');
    EXPECT_EQ(bytes[50], '\0');
}

TEST_F(SavedVarsTest, ClaimedSlotKeepsItsRangeUntilCleared)
{
    fillLive(0x100, 20, 1);
    ASSERT_TRUE(save(3, 0x100, 16));
    const std::string first = contents();

    EXPECT_FALSE(save(3, 0x100, 20)) << "another length";
    EXPECT_FALSE(save(3, 0x101, 16)) << "another address";
    EXPECT_EQ(contents(), first);

    // The same range again rewrites the bytes in place.
    live->writeByte(0x105, 0xEE);
    ASSERT_TRUE(save(3, 0x100, 16));
    const std::string second = contents();
    ASSERT_EQ(second.size(), first.size());
    EXPECT_EQ(std::uint8_t(second[512 + 5]), 0xEE);

    // Cleared, the slot is claimed again with a new area at the end; the old bytes stay.
    ASSERT_TRUE(ClearVarToFlashSlot(dir.path(), 3));
    EXPECT_EQ(slotAt(3).marker, 0);
    EXPECT_EQ(contents().size(), 528u);
    ASSERT_TRUE(save(3, 0x100, 20));
    const std::string third = contents();
    EXPECT_EQ(third.size(), 548u);
    EXPECT_EQ(slotAt(3).dataOffset, 528u);
    EXPECT_EQ(third.substr(512, 16), second.substr(512, 16));
}

TEST_F(SavedVarsTest, BadArgumentsAreRefusedAndCreateNothing)
{
    struct Case {
        const char* what;
        int slot;
        std::int64_t address, length;
    };
    const Case cases[] = {
        {"slot 31 is never touched", 31, 0, 4},
        {"negative slot", -1, 0, 4},
        {"range ends at 0x10000", 0, 0xFFF0, 0x10},
        {"negative address", 1, -2, 4},
        {"negative length", 1, 0, -1},
        {"length past the memory", 1, 0, 0x10000},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(save(c.slot, c.address, c.length)) << c.what;
        EXPECT_FALSE(fs::exists(file())) << c.what;
    }
    EXPECT_FALSE(ClearVarToFlashSlot(dir.path(), 31));
    EXPECT_FALSE(LoadVarToFlash(dir.path(), 31, *shown, *live));
    // The largest allowed range ends at 0xFFFF.
    EXPECT_TRUE(save(1, 0xFFEF, 0x10));
}

TEST_F(SavedVarsTest, LoadCopiesIntoBothBanksAndAFreeSlotChangesNothing)
{
    fillLive(0x2000, 8, 0x30);
    ASSERT_TRUE(save(0, 0x2000, 8));
    live->clear();

    EXPECT_FALSE(LoadVarToFlash(dir.path(), 5, *shown, *live));
    EXPECT_EQ(shown->snapshot(), std::vector<std::uint8_t>(kVarMemSize, 0));
    EXPECT_EQ(live->snapshot(), std::vector<std::uint8_t>(kVarMemSize, 0));

    ASSERT_TRUE(LoadVarToFlash(dir.path(), 0, *shown, *live));
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(shown->readByte(0x2000 + i), 0x30 + i);
        EXPECT_EQ(live->readByte(0x2000 + i), 0x30 + i);
    }
    EXPECT_EQ(live->readByte(0x2008), 0);
}

TEST_F(SavedVarsTest, AbsentFileClearsButDoesNotLoad)
{
    EXPECT_TRUE(ClearVarToFlashSlot(dir.path(), 0));
    EXPECT_FALSE(LoadVarToFlash(dir.path(), 0, *shown, *live));
    EXPECT_FALSE(fs::exists(file()));
    // Without a project folder nothing is written beside the program.
    EXPECT_FALSE(SaveVarToFlash({}, 0, 0, 4, *live));
    EXPECT_FALSE(SaveVarToFlash(dir.path() / "gone", 0, 0, 4, *live));
    EXPECT_FALSE(fs::exists(dir.path() / "gone"));
}

TEST_F(SavedVarsTest, ShortHeaderIsRefusedAndKept)
{
    const std::string shortHeader(511, '\0');
    writeContents(shortHeader);
    EXPECT_FALSE(save(0, 0, 4));
    EXPECT_FALSE(ClearVarToFlashSlot(dir.path(), 0));
    EXPECT_FALSE(LoadVarToFlash(dir.path(), 0, *shown, *live));
    EXPECT_EQ(contents(), shortHeader);
}

TEST_F(SavedVarsTest, ATerabyteFileIsRefusedAndKept)
{
    makeSparseFile(file());
    EXPECT_FALSE(save(0, 0, 4));
    EXPECT_FALSE(ClearVarToFlashSlot(dir.path(), 0));
    EXPECT_FALSE(LoadVarToFlash(dir.path(), 0, *shown, *live));
    EXPECT_EQ(fs::file_size(file()), kOneTebibyte);
}

TEST_F(SavedVarsTest, DamagedSlotIsNeitherLoadedNorWritten)
{
    // Slot 2 is sound (area 512..520); slot 1 is damaged in each case.
    struct Case {
        const char* what;
        std::uint16_t address, length;
        std::uint32_t offset;
    };
    const Case cases[] = {
        {"area inside the slot table", 0x10, 8, 0},
        {"area past the end of the file", 0x10, 8, 4096},
        {"area running past the end", 0x10, 8, 516},
        {"range past the memory", 0xFFFC, 8, 512},
        {"area over another slot's bytes", 0x10, 8, 514},
    };
    for (const Case& c : cases) {
        std::string bytes(520, '\0');
        auto put = [&](int slot, std::uint16_t address, std::uint16_t length, std::uint32_t offset) {
            auto* p = reinterpret_cast<std::uint8_t*>(bytes.data()) + slot * 16;
            p[1] = 0x13;
            p[4] = std::uint8_t(address), p[5] = std::uint8_t(address >> 8);
            p[6] = std::uint8_t(length), p[7] = std::uint8_t(length >> 8);
            for (int i = 0; i < 4; ++i)
                p[8 + i] = std::uint8_t(offset >> (8 * i));
        };
        put(2, 0x40, 8, 512);
        put(1, c.address, c.length, c.offset);
        bytes.replace(512, 8, "ABCDEFGH");
        writeContents(bytes);
        shown->clear();
        live->clear();
        fillLive(c.address, 8, 1);
        const auto before = live->snapshot();

        EXPECT_FALSE(LoadVarToFlash(dir.path(), 1, *shown, *live)) << c.what;
        EXPECT_EQ(shown->snapshot(), std::vector<std::uint8_t>(kVarMemSize, 0)) << c.what;
        EXPECT_EQ(live->snapshot(), before) << c.what;
        EXPECT_FALSE(save(1, c.address, c.length)) << c.what;
        EXPECT_EQ(contents(), bytes) << c.what;
        // The sound slot still works beside the damaged one.
        EXPECT_TRUE(LoadVarToFlash(dir.path(), 2, *shown, *live)) << c.what;
        EXPECT_EQ(shown->readByte(0x40), 'A') << c.what;
    }
}

TEST_F(SavedVarsTest, ReservedSlot31AndExistingLetterCaseArePreserved)
{
    std::string bytes(512, '\0');
    bytes.replace(31 * 16, 4, "keep");
    fs::create_directories(dir.path() / "nandflash");
    ASSERT_TRUE(writeFileAtomically(dir.path() / "nandflash" / "vartoflash.VTF", bytes));

    ASSERT_TRUE(save(4, 0, 2));
    ASSERT_TRUE(ClearVarToFlashSlot(dir.path(), 4));
    EXPECT_FALSE(fs::exists(file()));
    std::string after;
    ASSERT_TRUE(readWholeFile(dir.path() / "nandflash" / "vartoflash.VTF", after));
    EXPECT_EQ(after.substr(31 * 16, 4), "keep");
    EXPECT_EQ(after.size(), 514u);
}

TEST_F(SavedVarsTest, ConcurrentSavesKeepEveryClaim)
{
    fillLive(0, 30 * 4, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t)
        threads.emplace_back([this, t] {
            for (int round = 0; round < 3; ++round)
                for (int slot = 1 + t; slot <= vtf::kLastSlot; slot += 3)
                    EXPECT_TRUE(save(slot, (slot - 1) * 4, 4));
        });
    for (auto& th : threads)
        th.join();

    EXPECT_EQ(contents().size(), 512u + 30 * 4);
    std::vector<std::uint32_t> offsets;
    for (int slot = 1; slot <= vtf::kLastSlot; ++slot) {
        const SlotBytes s = slotAt(slot);
        EXPECT_EQ(s.marker, 0x13) << slot;
        offsets.push_back(s.dataOffset);
    }
    std::sort(offsets.begin(), offsets.end());
    EXPECT_EQ(std::adjacent_find(offsets.begin(), offsets.end()), offsets.end());
    ASSERT_TRUE(LoadVarToFlash(dir.path(), 7, *shown, *live));
    EXPECT_EQ(shown->readByte(24), 24);
}

} // namespace
} // namespace qv::test
