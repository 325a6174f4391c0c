#include "sim/voice/yyk_library.h"
#include "tests/sim/sound_fixture.h"

#include <gtest/gtest.h>

#include <fstream>

namespace qv::sim {
namespace {

TEST(YykIndex, EntriesAndTheirCharacters)
{
    struct Case { int entry; std::string text; };
    for (const Case& c : {Case{0, "\xA1\xA1"}, Case{93, "\xA1\xFE"}, Case{94, "\xA2\xA1"}, Case{6767, "\xE8\xFE"}, Case{6768, " 0"},
                          Case{6845, " }"}}) {
        EXPECT_EQ(YykEntryText(c.entry), c.text) << c.entry;
        EXPECT_EQ(YykEntryOfChar(c.text.size() == 2 && c.text[0] == ' ' ? c.text.substr(1) : c.text), c.entry) << c.entry;
    }
    EXPECT_EQ(YykEntryText(-1), "");
    EXPECT_EQ(YykEntryText(kYykEntries), "");
    // Only 0xA1..0xFE pairs below row 0xE9 and '0'..'}' have an entry.
    for (const std::string& none : {std::string("~"), std::string("\x7F"), std::string("/"), std::string("\x85"), std::string("\x85" "a"),
                                    std::string("\x81\x40"), std::string("\xA1\xA0"), std::string("\xE9\xA1"), std::string("\xFE\xFE"),
                                    std::string("\xFF\xA1"), std::string(""), std::string("abc")})
        EXPECT_FALSE(YykEntryOfChar(none)) << testing::PrintToString(none);
}

class YykFiles : public ::testing::Test {
protected:
    std::filesystem::path library() const { return dir / "SOUND.YYK"; }
    std::size_t FilesInFolder() const
    {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()));
    }
    test::TempDir dir;
};

TEST_F(YykFiles, IdenticalWavesShareOneBlock)
{
    // Waves repeat with period 3: three distinct ones.
    auto waveOf = [](int n) { return test::EntryWave(n % 3 + 1000 * (n % 3)); };
    test::WriteLibrary(library(), waveOf);
    const auto size = std::filesystem::file_size(library());
    EXPECT_EQ(size, kYykDataOffset + waveOf(0).size() + waveOf(1).size() + waveOf(2).size());

    std::ifstream in(library(), std::ios::binary);
    std::array<char, 8> magic{};
    in.read(magic.data(), 8);
    EXPECT_TRUE(std::equal(magic.begin(), magic.end(), kYykMagic.begin(), [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; }));

    const auto reader = YykReader::Open(ConfinedFolder(dir.path()), library());
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->Entry(0).offset, kYykDataOffset);
    EXPECT_EQ(reader->Entry(3).offset, reader->Entry(0).offset);
    EXPECT_EQ(reader->Entry(4).offset, reader->Entry(1).offset);
    EXPECT_EQ(reader->Entry(1).offset, kYykDataOffset + waveOf(0).size());
    for (int n : {0, 1, 2, 3, 6844, kYykEntries - 1})
        EXPECT_EQ(reader->Wave(n), waveOf(n)) << n;
    EXPECT_EQ(FilesInFolder(), 1u);
}

TEST_F(YykFiles, AWriterThatDoesNotCommitLeavesTheOldLibrary)
{
    test::WriteLibrary(library());
    const auto before = test::ReadBytes(library());
    {
        YykWriter writer(library());
        ASSERT_TRUE(writer.Start());
        ASSERT_TRUE(writer.Add(0, {1, 2, 3}));
        EXPECT_TRUE(std::filesystem::exists(writer.TemporaryPath()));
    }
    EXPECT_EQ(test::ReadBytes(library()), before);
    EXPECT_EQ(FilesInFolder(), 1u);
    YykWriter refused(dir / "no-such-folder" / "SOUND.YYK");
    EXPECT_FALSE(refused.Start());
}

TEST_F(YykFiles, EntriesOutsideTheFileHaveNoWave)
{
    test::WriteLibrary(library());
    auto bytes = test::ReadBytes(library());
    const auto size = static_cast<std::uint32_t>(bytes.size());
    auto setEntry = [&](int n, std::uint32_t offset, std::uint32_t length) {
        for (int i = 0; i < 4; ++i) {
            bytes[kYykIndexOffset + n * 8 + i] = static_cast<std::uint8_t>(offset >> (8 * i));
            bytes[kYykIndexOffset + n * 8 + 4 + i] = static_cast<std::uint8_t>(length >> (8 * i));
        }
    };
    setEntry(1, size - 4, 5);               // one byte past the end
    setEntry(2, 0xFFFFFFF0u, 0x20);         // offset + length wraps in 32 bits
    setEntry(3, kYykDataOffset, 0);         // empty
    setEntry(4, kYykDataOffset, kYykMaxWave); // too long
    setEntry(5, size - 4, 4);               // the last four bytes: a wave
    test::WriteBytes(library(), bytes);
    const auto reader = YykReader::Open(ConfinedFolder(dir.path()), library());
    ASSERT_TRUE(reader);
    for (int n : {1, 2, 3, 4, -1, kYykEntries})
        EXPECT_FALSE(reader->Wave(n)) << n;
    EXPECT_EQ(reader->Wave(5)->size(), 4u);

    bytes.resize(kYykIndexOffset + 100); // cut inside the index
    test::WriteBytes(library(), bytes);
    EXPECT_FALSE(YykReader::Open(ConfinedFolder(dir.path()), library()));
    EXPECT_FALSE(YykReader::Open(ConfinedFolder(dir.path()), dir / "missing.YYK"));
}

} // namespace
} // namespace qv::sim
