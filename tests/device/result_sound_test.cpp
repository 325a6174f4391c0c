// The result sounds reach the platform's sound device as waves.
#include "device/sound/result_sound.h"
#include "platform/sound/sound_player.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace qv::device::test {
namespace {

struct FakeSoundPlayer final : SoundPlayer {
    bool Play(const std::filesystem::path& file, SoundType type) override
    {
        played.emplace_back(file, type);
        return std::filesystem::exists(file);
    }
    bool PlayWaveBytes(std::vector<std::uint8_t>) override { return false; }
    void Close() override {}
    bool IsOpen() const override { return false; }
    std::optional<SoundStatus> Status() const override { return std::nullopt; }
    void SetVolume(int) override {}
    int Volume() const override { return 100; }
    void PlayClick(const std::filesystem::path&) override {}
    std::vector<std::pair<std::filesystem::path, SoundType>> played;
};

TEST(SoundDeviceResultSound, PlaysTheResultsWaveOnTheSoundDevice)
{
    FakeSoundPlayer device;
    SoundDeviceResultSound sound(device);
    const std::filesystem::path base = "/base";
    for (const unsigned char result : {1, 0}) {
        const auto file = ResultSoundFile(base, result);
        ASSERT_TRUE(file);
        sound.PlayWave(*file);
    }
    ASSERT_EQ(device.played.size(), 2u);
    EXPECT_EQ(device.played[0].first, base / u8"images" / u8"Sound" / u8"任务完成.wav");
    EXPECT_EQ(device.played[1].first, base / u8"images" / u8"Sound" / u8"任务失败.wav");
    EXPECT_EQ(device.played[0].second, SoundType::Wave);
    EXPECT_FALSE(ResultSoundFile(base, 2)) << "other results are silent";
}

} // namespace
} // namespace qv::device::test
