#pragma once
// The program's one sound device: a wave or MP3 file (or a wave held in memory) played at a
// time, with its length, position and volume, plus the key click, which has a channel of its
// own so it never stops the current sound. Every call takes one lock, so the GUI thread and
// the emulator thread share a player. Without an audio device nothing opens and every call
// is harmless.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace qv {

enum class SoundType { Wave, Mpeg };

// Seconds. A sound that has played to its end reads position == length.
struct SoundStatus {
    double length = 0;
    double position = 0;
};

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Closes the current sound, then opens `file` as `type` and starts it once. False when
    // there is no audio device or the file cannot be opened or decoded as that type.
    virtual bool Play(const std::filesystem::path& file, SoundType type) = 0;
    // The same for a whole wave file held in memory.
    virtual bool PlayWaveBytes(std::vector<std::uint8_t> riff) = 0;
    // Stops and forgets the current sound; a no-op when none is open.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // nullopt when no sound is open or its length cannot be read.
    virtual std::optional<SoundStatus> Status() const = 0;
    // 0..100 (values outside are clamped); kept for later sounds too.
    virtual void SetVolume(int percent) = 0;
    virtual int Volume() const = 0;
    // Starts the click from the top, cutting a click still sounding. The file is read once.
    virtual void PlayClick(const std::filesystem::path& wave) = 0;
};

// Progress of a status in percent as the sound services report it: 100 when the length is 0.
int SoundProgressPercent(const SoundStatus& status);

} // namespace qv
