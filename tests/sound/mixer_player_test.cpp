#include "platform/sound/mixer_player.h"
#include "tests/fixtures/disk_audio.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace qv {
namespace {

using test::DiskAudio;

// Polls the player until its sound has played to the end (the disk driver runs in real
// time); false when that does not happen within a generous bound.
bool WaitUntilFinished(const SoundPlayer& player)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
        const auto status = player.Status();
        if (!status)
            return false;
        if (status->position >= status->length)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

struct PlayCase {
    const char* name;
    bool mp3;
    int volume;
    bool audible;
};

class MixerPlays : public ::testing::TestWithParam<PlayCase> {};

TEST_P(MixerPlays, WritesTheSoundThroughTheDevice)
{
    const PlayCase& c = GetParam();
    DiskAudio audio;
    auto file = audio / "tone.wav";
    test::WriteBytes(file, test::MakeToneWave(0.25));
    if (c.mp3) {
        const auto mp3 = audio / "tone.mp3";
        const std::string command = "lame --quiet '" + file.string() + "' '" + mp3.string() + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        file = mp3;
    }
    {
        MixerSoundPlayer player;
        player.SetVolume(c.volume);
        ASSERT_TRUE(player.Play(file, c.mp3 ? SoundType::Mpeg : SoundType::Wave)) << player.LastError();
        EXPECT_TRUE(player.IsOpen());
        const auto status = player.Status();
        ASSERT_TRUE(status);
        EXPECT_GT(status->length, 0.2);
        EXPECT_LT(status->length, 0.4);
        ASSERT_TRUE(WaitUntilFinished(player));
        EXPECT_EQ(SoundProgressPercent(*player.Status()), 100);
        player.Close();
        EXPECT_FALSE(player.IsOpen());
        EXPECT_FALSE(player.Status());
    } // closing the device flushes the driver's file
    if (c.audible)
        EXPECT_GT(test::LoudestSample(audio.raw()), 1000);
    else
        EXPECT_EQ(test::LoudestSample(audio.raw()), 0);
}

INSTANTIATE_TEST_SUITE_P(Sounds, MixerPlays,
                         ::testing::Values(PlayCase{"wave", false, 100, true}, PlayCase{"mp3", true, 100, true},
                                           PlayCase{"silent", false, 0, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MixerPlayer, RefusesWhatItCannotPlay)
{
    DiskAudio audio;
    test::WriteBytes(audio / "noise.wav", {'n', 'o', 't', ' ', 'a', ' ', 'w', 'a', 'v', 'e'});
    test::WriteBytes(audio / "tone.wav", test::MakeToneWave(0.1));
    MixerSoundPlayer player;
    EXPECT_FALSE(player.Play(audio / "missing.wav", SoundType::Wave));
    EXPECT_FALSE(player.Play(audio / "noise.wav", SoundType::Wave));
    EXPECT_FALSE(player.PlayWaveBytes({}));
    EXPECT_FALSE(player.IsOpen());
    EXPECT_FALSE(player.LastError().empty());

    // A failed open closes what played before: one device at a time.
    ASSERT_TRUE(player.Play(audio / "tone.wav", SoundType::Wave));
    EXPECT_FALSE(player.Play(audio / "missing.wav", SoundType::Wave));
    EXPECT_FALSE(player.IsOpen());

    // The mixer is the process's: a second player opens nothing while the first lives.
    MixerSoundPlayer second;
    EXPECT_FALSE(second.Play(audio / "tone.wav", SoundType::Wave));
}

TEST(MixerPlayer, WithoutAnAudioDeviceNothingOpens)
{
    test::TempDir dir;
    test::WriteBytes(dir / "tone.wav", test::MakeToneWave(0.1));
    ::setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    {
        MixerSoundPlayer player;
        EXPECT_FALSE(player.Play(dir / "tone.wav", SoundType::Wave));
        player.PlayClick(dir / "tone.wav");
        player.SetVolume(150);
        EXPECT_EQ(player.Volume(), 100);
        EXPECT_FALSE(player.Status());
    }
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
}

TEST(MixerPlayer, PlaysAWaveFromMemoryAndClicksBesideIt)
{
    DiskAudio audio;
    test::WriteBytes(audio / "click.wav", test::MakeToneWave(0.05, 22050, 1000));
    {
        MixerSoundPlayer player;
        ASSERT_TRUE(player.PlayWaveBytes(test::MakeToneWave(0.2)));
        player.PlayClick(audio / "click.wav");
        player.PlayClick(audio / "click.wav"); // restarts the click, the sound goes on
        EXPECT_TRUE(player.IsOpen());
        EXPECT_TRUE(WaitUntilFinished(player));
    }
    EXPECT_GT(test::LoudestSample(audio.raw()), 1000);
}

// The emulator thread plays and polls while the GUI thread closes the sound.
TEST(MixerPlayer, CloseFromAnotherThreadWhilePlaying)
{
    DiskAudio audio;
    test::WriteBytes(audio / "tone.wav", test::MakeToneWave(0.5));
    MixerSoundPlayer player;
    ASSERT_TRUE(player.Play(audio / "tone.wav", SoundType::Wave));
    std::atomic<bool> done{false};
    std::atomic<int> plays{0};
    std::thread emulator([&] {
        while (!done.load()) {
            if (!player.IsOpen() && player.Play(audio / "tone.wav", SoundType::Wave))
                ++plays;
            (void)player.Status();
        }
    });
    for (int i = 0; i < 50; ++i) {
        while (!player.IsOpen())
            std::this_thread::yield();
        player.Close();
    }
    done.store(true);
    emulator.join();
    player.Close();
    EXPECT_FALSE(player.IsOpen());
    EXPECT_GE(plays.load(), 49);
}

TEST(SoundProgress, PercentOfLength)
{
    struct Case { double length, position; int percent; };
    for (const Case& c : {Case{0, 0, 100}, Case{2, 1, 50}, Case{2, 2, 100}, Case{3, 0.999, 33}, Case{1, 5, 100}, Case{-1, 0, 100}})
        EXPECT_EQ(SoundProgressPercent({c.length, c.position}), c.percent) << c.length << " " << c.position;
}

} // namespace
} // namespace qv
