// The sound service over the real mixer, heard through SDL's disk audio driver.
#include "platform/sound/mixer_player.h"
#include "sim/sound/sound_service.h"
#include "tests/fixtures/disk_audio.h"
#include "tests/sim/sound_fixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace qv::test {
namespace {

class SoundOnDevice : public ::testing::Test {
protected:
    SoundOnDevice()
    {
        std::filesystem::create_directories(project.path() / "UsbDisk");
        WriteBytes(project.path() / "UsbDisk" / "TONE.WAV", MakeToneWave(0.3));
        service.SetProjectFolder(project.path());
    }

    int Sound(int subCode, const std::string& name = "")
    {
        for (std::size_t i = 0; i <= name.size(); ++i)
            memory.writeByte(0x80 + static_cast<std::int64_t>(i), i < name.size() ? static_cast<std::uint8_t>(name[i]) : 0);
        sim::PanelServiceCall call{memory};
        call.regs = {sim::kSoundService, static_cast<std::uint8_t>(subCode), 0x80, 0x00};
        service.Serve(call);
        return call.regs[1];
    }

    DiskAudio audio; // before the player: the driver is chosen when it opens
    TempDir project;
    VarBank memory;
    std::unique_ptr<MixerSoundPlayer> player = std::make_unique<MixerSoundPlayer>();
    sim::SoundService service{*player};
};

TEST_F(SoundOnDevice, AWaveFilePlaysAndItsProgressRisesToAHundred)
{
    EXPECT_EQ(Sound(1, "U:\\tone.wav"), 1);
    int last = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (last < 100 && std::chrono::steady_clock::now() < deadline) {
        const int progress = Sound(3);
        EXPECT_GE(progress, last);
        last = progress;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(last, 100);
    EXPECT_EQ(Sound(2), 1);
    EXPECT_FALSE(player->IsOpen());
    EXPECT_EQ(Sound(3), 100);
    EXPECT_EQ(Sound(1, "U:\\TONE.TXT"), 0);
    player.reset(); // closes the device and its file
    EXPECT_GT(LoudestSample(audio.raw()), 1000);
}

TEST_F(SoundOnDevice, SpokenTextsAreHeard)
{
    WriteLibrary(project.path() / "UsbDisk" / "SOUND.YYK", [](int n) { return MakeToneWave(0.05, 22050, 300 + n % 7 * 50); });
    EXPECT_FALSE(service.Speak("1")); // no library selected yet
    ASSERT_EQ(Sound(7, "U:\\SOUND.YYK"), 1);
    ASSERT_TRUE(service.Speak("12"));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (service.PlaylistActive() && std::chrono::steady_clock::now() < deadline)
        service.OnEmulatorPass();
    EXPECT_FALSE(service.PlaylistActive());
    player.reset();
    EXPECT_GT(LoudestSample(audio.raw()), 1000);
}

// The GUI thread closes the sound while the emulator thread plays and polls.
TEST_F(SoundOnDevice, CloseSoundFromAnotherThreadWhilePlaying)
{
    std::atomic<bool> done{false};
    std::atomic<int> plays{0};
    std::thread emulator([&] {
        VarBank own;
        for (std::size_t i = 0; i < 12; ++i)
            own.writeByte(0x80 + static_cast<std::int64_t>(i), static_cast<std::uint8_t>("U:\\TONE.WAV"[i]));
        while (!done.load()) {
            sim::PanelServiceCall call{own};
            call.regs = {sim::kSoundService, 1, 0x80, 0x00};
            service.Serve(call);
            plays += call.regs[1];
            call.regs[1] = 3;
            service.Serve(call);
            service.OnEmulatorPass();
        }
    });
    while (plays.load() < 20) {
        service.CloseSound();
        std::this_thread::yield();
    }
    done.store(true);
    emulator.join();
    service.CloseSound();
    EXPECT_FALSE(player->IsOpen());
}

} // namespace
} // namespace qv::test
