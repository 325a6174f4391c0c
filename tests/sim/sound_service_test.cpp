#include "sim/sound/sound_service.h"
#include "tests/sim/sound_fixture.h"

#include <gtest/gtest.h>

namespace qv::test {
namespace {

using sim::kYykHanziEntries;

int AsciiEntry(char c) { return kYykHanziEntries + (c - '0'); }

TEST_F(SoundServiceFixture, SpeaksTheCachedWaveOfEachCharacterInTurn)
{
    WriteLibrary(LibraryOn("UsbDisk"));
    EXPECT_EQ(SelectLibrary("u:\\sound.yyk"), 1);
    EXPECT_EQ(TextAt(0x100), "U:\\SOUND.YYK"); // folded in the program's memory
    PutText(0x200, "12");
    EXPECT_EQ(Sound(5, 0x200), 1);
    EXPECT_TRUE(service.PlaylistActive());
    EXPECT_EQ(Sound(3), 0);
    service.AdvancePlaylist();
    EXPECT_EQ(Sound(3), 33); // piece 1 of 2
    EXPECT_EQ(SpokenPieces(), (std::vector<std::string>{"1", "2"}));
    ASSERT_EQ(player.played.size(), 2u);
    for (int i : {0, 1}) {
        const auto wave = EntryWave(AsciiEntry(static_cast<char>('1' + i)));
        EXPECT_EQ(player.played[static_cast<std::size_t>(i)].bytes, std::string(wave.begin(), wave.end()));
    }
    EXPECT_EQ(player.played[0].file.parent_path(), project.path() / "temp" / "UsbDiskTemp");
    EXPECT_FALSE(service.PlaylistActive());
}

TEST_F(SoundServiceFixture, CharactersWithoutAnEntrySpeakNothing)
{
    WriteLibrary(LibraryOn("UsbDisk"));
    ASSERT_EQ(SelectLibrary("U:\\SOUND.YYK"), 1);
    // '~', 0x7F, 0x85 'a' (one two-byte character), 0x81 0x40, then 3 and 一.
    PutText(0x200, std::string("~\x7F\x85" "a\x81\x40" "3") + "一");
    EXPECT_EQ(Sound(5, 0x200), 1);
    EXPECT_EQ(SpokenPieces(), (std::vector<std::string>{"3", Utf8(u8"一")}));
}

TEST_F(SoundServiceFixture, AWaveOutsideTheLibraryIsNotCached)
{
    WriteLibrary(LibraryOn("SDCard"));
    auto bytes = ReadBytes(LibraryOn("SDCard"));
    const auto entry = static_cast<std::size_t>(AsciiEntry('5'));
    const auto size = static_cast<std::uint32_t>(bytes.size());
    for (int i = 0; i < 4; ++i) // '5' claims 16 bytes from 8 before the end
        bytes[sim::kYykIndexOffset + entry * 8 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((size - 8) >> (8 * i));
    bytes[sim::kYykIndexOffset + entry * 8 + 4] = 16;
    WriteBytes(LibraryOn("SDCard"), bytes);
    ASSERT_EQ(SelectLibrary("A:\\SOUND.YYK"), 1);
    EXPECT_EQ(service.LibraryName()[0], 'S');
    PutText(0x200, "454");
    EXPECT_EQ(Sound(5, 0x200), 1);
    EXPECT_EQ(SpokenPieces(), (std::vector<std::string>{"4", "4"}));
    EXPECT_FALSE(std::filesystem::exists(project.path() / "temp" / "SDCardTemp" / "5"));
}

TEST_F(SoundServiceFixture, AtMostThreeThousandCharactersAreSpoken)
{
    WriteLibrary(LibraryOn("FDisk"));
    ASSERT_EQ(SelectLibrary("F:\\SOUND.YYK"), 1);
    std::string text;
    for (int i = 0; i < 1750; ++i)
        text += "7一";
    PutText(0x1000, text);
    EXPECT_EQ(Sound(5, 0x1000), 1);
    EXPECT_EQ(SpokenPieces().size(), sim::kMaxSpokenCharacters);
}

TEST_F(SoundServiceFixture, NumbersAreSpokenInWords)
{
    WriteLibrary(LibraryOn("UsbDisk"));
    ASSERT_EQ(SelectLibrary("U:\\SOUND.YYK"), 1);
    memory.write(0x300, 4, static_cast<std::uint32_t>(-5));
    sim::PanelServiceCall call{memory};
    call.regs = {sim::kSoundService, 6, 1, 0, 0x00, 0x03};
    service.Serve(call);
    EXPECT_EQ(call.regs[1], 1);
    EXPECT_EQ(SpokenPieces(), (std::vector<std::string>{Utf8(u8"负"), Utf8(u8"零"), Utf8(u8"点"), Utf8(u8"五")}));
}

TEST_F(SoundServiceFixture, SelectingALibraryEmptiesOnlyItsDrivesCache)
{
    WriteLibrary(LibraryOn("SDCard"));
    for (const char* cache : {"UsbDiskTemp", "SDCardTemp", "FDiskTemp"}) {
        std::filesystem::create_directories(project.path() / "temp" / cache);
        WriteBytes(project.path() / "temp" / cache / "1", {1});
    }
    EXPECT_EQ(SelectLibrary("U:\\SOUND.YYK"), 0); // no library on the USB disk
    EXPECT_EQ(SelectLibrary("S:\\SOUND.YYK"), 1);
    EXPECT_TRUE(std::filesystem::exists(project.path() / "temp" / "UsbDiskTemp" / "1"));
    EXPECT_FALSE(std::filesystem::exists(project.path() / "temp" / "SDCardTemp" / "1"));
    EXPECT_TRUE(std::filesystem::exists(project.path() / "temp" / "FDiskTemp" / "1"));

    // Without a selected library nothing is spoken.
    sim::SoundService fresh(player);
    fresh.SetProjectFolder(project.path());
    EXPECT_FALSE(fresh.Speak("1"));
    EXPECT_FALSE(fresh.PlaylistActive());
}

TEST_F(SoundServiceFixture, PlaysFilesByTheirDriveAndKind)
{
    for (const char* folder : {"UsbDisk", "SDCard", "FDisk"})
        std::filesystem::create_directories(project.path() / folder);
    WriteBytes(project.path() / "UsbDisk" / "a.wav", {1});
    WriteBytes(project.path() / "SDCard" / "B.MP3", {2});
    WriteBytes(project.path() / "FDisk" / "C.TXT", {3});
    WriteBytes(project.path() / "X.WAV", {4});
    struct Case { std::string name; int result; const char* played; SoundType type; };
    const Case cases[] = {
        {"u:\\a.wav", 1, "UsbDisk/a.wav", SoundType::Wave},
        {"S:\\b.mp3", 1, "SDCard/B.MP3", SoundType::Mpeg},
        {"A:\\B.MP3", 1, "SDCard/B.MP3", SoundType::Mpeg},
        {"F:\\C.TXT", 0, nullptr, SoundType::Wave},
        {"C:\\A.WAV", 0, nullptr, SoundType::Wave},
        {"U:\\..\\X.WAV", 0, nullptr, SoundType::Wave},
        {"U:\\", 0, nullptr, SoundType::Wave},
        {"U:\\ABCDEFGH.WAV", 0, nullptr, SoundType::Wave}, // 16 characters
        {"U:\\MISSING.WAV", 0, nullptr, SoundType::Wave},
    };
    for (const Case& c : cases) {
        player.played.clear();
        PutText(0x40, c.name);
        EXPECT_EQ(Sound(1, 0x40), c.result) << c.name;
        if (c.played) {
            ASSERT_EQ(player.played.size(), 1u) << c.name;
            EXPECT_EQ(player.played[0].file, project.path() / c.played);
            EXPECT_EQ(player.played[0].type, c.type);
        }
        EXPECT_EQ(player.IsOpen(), c.result == 1) << c.name;
    }
    // A name running to the bank's end without a NUL is refused.
    memory.writeByte(0xFFFE, 'U');
    memory.writeByte(0xFFFF, ':');
    EXPECT_EQ(Sound(1, 0xFFFE), 0);
}

TEST_F(SoundServiceFixture, StopVolumeAndProgressWithoutSound)
{
    EXPECT_EQ(Sound(3), 100);
    EXPECT_EQ(Sound(2), 1);
    sim::PanelServiceCall call{memory};
    call.regs = {sim::kSoundService, 4, 40};
    service.Serve(call);
    EXPECT_EQ(player.volume, 40);
    EXPECT_EQ(call.regs[1], 4); // no result
}

TEST_F(SoundServiceFixture, ClosingEndsThePlaylist)
{
    WriteLibrary(LibraryOn("UsbDisk"));
    ASSERT_EQ(SelectLibrary("U:\\SOUND.YYK"), 1);
    sim::InstallSimulatorSound(&service);
    PutText(0x200, "123");
    ASSERT_EQ(Sound(5, 0x200), 1);
    service.AdvancePlaylist();
    sim::CloseSound();
    sim::InstallSimulatorSound(nullptr);
    EXPECT_FALSE(service.PlaylistActive());
    EXPECT_FALSE(player.IsOpen());
    EXPECT_EQ(SpokenPieces(), (std::vector<std::string>{"1"}));
}

} // namespace
} // namespace qv::test
