#include "device/sound/result_sound.h"

#include "platform/files/stored_path.h"
#include "platform/sound/sound_player.h"

namespace qv::device {

SilentResultSound& SilentResultSound::instance()
{
    static SilentResultSound player;
    return player;
}

void SoundDeviceResultSound::PlayWave(const std::filesystem::path& file)
{
    player_.Play(file, SoundType::Wave);
}

std::optional<std::filesystem::path> ResultSoundFile(const std::filesystem::path& baseDir, unsigned char result)
{
    switch (result) {
    case 1: return resolveStoredPath(baseDir, "images\\Sound\\任务完成.wav");
    case 0: return resolveStoredPath(baseDir, "images\\Sound\\任务失败.wav");
    default: return std::nullopt;
    }
}

} // namespace qv::device
