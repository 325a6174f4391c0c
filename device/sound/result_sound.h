#pragma once
// The end-of-task sound: which wave a result plays and the seam that plays it, silent or on
// the platform's sound device.
#include <filesystem>
#include <optional>

namespace qv::device {

class ResultSoundPlayer {
public:
    virtual ~ResultSoundPlayer() = default;
    // Starts the wave without waiting for it; a missing file plays nothing.
    virtual void PlayWave(const std::filesystem::path& file) = 0;
};

class SilentResultSound final : public ResultSoundPlayer {
public:
    void PlayWave(const std::filesystem::path&) override {}
    static SilentResultSound& instance();
};

// Result 1: "images\Sound\任务完成.wav", 0: "images\Sound\任务失败.wav" under the base
// folder; any other result is silent (nullopt).
std::optional<std::filesystem::path> ResultSoundFile(const std::filesystem::path& baseDir, unsigned char result);

} // namespace qv::device

namespace qv {
class SoundPlayer;
}

namespace qv::device {

// The result sounds on the platform's sound device: each wave replaces the sound playing.
class SoundDeviceResultSound final : public ResultSoundPlayer {
public:
    explicit SoundDeviceResultSound(SoundPlayer& player) : player_(player) {}
    void PlayWave(const std::filesystem::path& file) override;

private:
    SoundPlayer& player_;
};

} // namespace qv::device
