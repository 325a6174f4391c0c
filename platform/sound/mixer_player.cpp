#include "platform/sound/mixer_player.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>

#include <algorithm>
#include <atomic>

namespace qv {
namespace {

// SDL_mixer keeps one music stream and one set of channels per process.
std::atomic<bool> g_mixerTaken{false};

constexpr int kClickChannel = 0;

int MixerVolume(int percent) { return percent * MIX_MAX_VOLUME / 100; }

} // namespace

MixerSoundPlayer::MixerSoundPlayer()
{
    bool expected = false;
    ownsMixer_ = g_mixerTaken.compare_exchange_strong(expected, true);
}

MixerSoundPlayer::~MixerSoundPlayer()
{
    std::lock_guard lock(mutex_);
    CloseLocked();
    if (deviceOpen_) {
        Mix_HaltChannel(-1);
        for (auto& [path, chunk] : clicks_)
            Mix_FreeChunk(chunk);
        Mix_CloseAudio();
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    if (ownsMixer_)
        g_mixerTaken.store(false);
}

bool MixerSoundPlayer::EnsureDeviceLocked()
{
    if (deviceOpen_)
        return true;
    if (!ownsMixer_) {
        lastError_ = "another sound player holds the audio device";
        return false;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        lastError_ = SDL_GetError();
        return false;
    }
    if (Mix_OpenAudio(MIX_DEFAULT_FREQUENCY, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
        lastError_ = Mix_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Mix_Init(MIX_INIT_MP3);
    Mix_AllocateChannels(1);
    Mix_VolumeMusic(MixerVolume(volume_));
    deviceOpen_ = true;
    return true;
}

void MixerSoundPlayer::CloseLocked()
{
    if (music_) {
        Mix_HaltMusic();
        Mix_FreeMusic(music_);
        music_ = nullptr;
    }
    musicBytes_.clear();
}

bool MixerSoundPlayer::StartLocked(SDL_RWops* source, SoundType type)
{
    if (!source) {
        lastError_ = SDL_GetError();
        return false;
    }
    music_ = Mix_LoadMUSType_RW(source, type == SoundType::Mpeg ? MUS_MP3 : MUS_WAV, 1);
    if (!music_) {
        lastError_ = Mix_GetError();
        musicBytes_.clear();
        return false;
    }
    if (Mix_PlayMusic(music_, 1) != 0) {
        lastError_ = Mix_GetError();
        CloseLocked();
        return false;
    }
    lastError_.clear();
    return true;
}

bool MixerSoundPlayer::Play(const std::filesystem::path& file, SoundType type)
{
    std::lock_guard lock(mutex_);
    CloseLocked();
    if (!EnsureDeviceLocked())
        return false;
    return StartLocked(SDL_RWFromFile(file.c_str(), "rb"), type);
}

bool MixerSoundPlayer::PlayWaveBytes(std::vector<std::uint8_t> riff)
{
    std::lock_guard lock(mutex_);
    CloseLocked();
    if (!EnsureDeviceLocked() || riff.empty())
        return false;
    musicBytes_ = std::move(riff);
    return StartLocked(SDL_RWFromConstMem(musicBytes_.data(), static_cast<int>(musicBytes_.size())), SoundType::Wave);
}

void MixerSoundPlayer::Close()
{
    std::lock_guard lock(mutex_);
    CloseLocked();
}

bool MixerSoundPlayer::IsOpen() const
{
    std::lock_guard lock(mutex_);
    return music_ != nullptr;
}

std::optional<SoundStatus> MixerSoundPlayer::Status() const
{
    std::lock_guard lock(mutex_);
    if (!music_)
        return std::nullopt;
    const double length = Mix_MusicDuration(music_);
    if (length < 0)
        return std::nullopt;
    if (!Mix_PlayingMusic())
        return SoundStatus{length, length};
    const double position = Mix_GetMusicPosition(music_);
    if (position < 0)
        return std::nullopt;
    return SoundStatus{length, std::min(position, length)};
}

void MixerSoundPlayer::SetVolume(int percent)
{
    std::lock_guard lock(mutex_);
    volume_ = std::clamp(percent, 0, 100);
    if (deviceOpen_)
        Mix_VolumeMusic(MixerVolume(volume_));
}

int MixerSoundPlayer::Volume() const
{
    std::lock_guard lock(mutex_);
    return volume_;
}

void MixerSoundPlayer::PlayClick(const std::filesystem::path& wave)
{
    std::lock_guard lock(mutex_);
    if (!EnsureDeviceLocked())
        return;
    auto found = clicks_.find(wave);
    if (found == clicks_.end()) {
        Mix_Chunk* chunk = Mix_LoadWAV(wave.c_str());
        if (!chunk) {
            lastError_ = Mix_GetError();
            return;
        }
        found = clicks_.emplace(wave, chunk).first;
    }
    Mix_PlayChannel(kClickChannel, found->second, 0);
}

std::string MixerSoundPlayer::LastError() const
{
    std::lock_guard lock(mutex_);
    return lastError_;
}

} // namespace qv
