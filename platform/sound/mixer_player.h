#pragma once
// The sound device over SDL2_mixer. The mixer is one per process: while one MixerSoundPlayer
// holds the audio device, another one opens nothing (every Play gives false). The device is
// opened on the first sound and closed with the player, so SDL reads SDL_AUDIODRIVER (and
// the disk driver's SDL_DISKAUDIOFILE) when the first sound of a player starts.
#include "platform/sound/sound_player.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>

struct _Mix_Music;
struct Mix_Chunk;
struct SDL_RWops;

namespace qv {

class MixerSoundPlayer final : public SoundPlayer {
public:
    MixerSoundPlayer();
    ~MixerSoundPlayer() override;
    MixerSoundPlayer(const MixerSoundPlayer&) = delete;
    MixerSoundPlayer& operator=(const MixerSoundPlayer&) = delete;

    bool Play(const std::filesystem::path& file, SoundType type) override;
    bool PlayWaveBytes(std::vector<std::uint8_t> riff) override;
    void Close() override;
    bool IsOpen() const override;
    std::optional<SoundStatus> Status() const override;
    void SetVolume(int percent) override;
    int Volume() const override;
    void PlayClick(const std::filesystem::path& wave) override;

    // Why the last open failed (UTF-8, for logs); empty after a success.
    std::string LastError() const;

private:
    bool EnsureDeviceLocked();
    void CloseLocked();
    bool StartLocked(SDL_RWops* source, SoundType type);

    mutable std::mutex mutex_;
    bool ownsMixer_ = false;   // this player holds the process's mixer
    bool deviceOpen_ = false;
    _Mix_Music* music_ = nullptr;
    std::vector<std::uint8_t> musicBytes_; // backing store of a sound played from memory
    int volume_ = 100;
    std::map<std::filesystem::path, Mix_Chunk*> clicks_;
    std::string lastError_;
};

} // namespace qv
