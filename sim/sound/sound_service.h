#pragma once
// The panel's sound service for the user's 8051 code: wave and MP3 files from the simulated
// drives, progress, volume, and texts and numbers spoken from the voice library as a
// playlist of one cached wave per character. The emulator thread serves requests and
// advances the playlist; the GUI thread closes the sound (CloseSound) when a run starts or
// ends, a compile or download begins or another window is shown. One lock covers the state.
#include "platform/sound/sound_player.h"
#include "sim/calls/panel_service_call.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

namespace qv::sim {

inline constexpr std::uint8_t kSoundService = 65;
inline constexpr std::size_t kMaxSpokenCharacters = 3000;

class SoundService {
public:
    explicit SoundService(SoundPlayer& player);

    // The folder the drives, libraries and caches lie below (set at every run start).
    void SetProjectFolder(std::filesystem::path folder);

    // Service 65: the sub-code in CmdAdr1, the result back in CmdAdr1.
    void Serve(PanelServiceCall& call);

    // After `passes` passes of the emulator loop: advances the playlist every few thousand
    // passes, so a speaking program is not slowed down by a status query per instruction.
    void OnEmulatorPass(std::uint64_t passes = 1);
    // One step of the playlist: when the current piece has finished, the next one plays.
    void AdvancePlaylist();

    // Closes the sound device and ends the playlist; callable from any thread.
    void CloseSound();

    // Speaks a text (GBK) from the selected library; false when no library opens.
    bool Speak(const std::string& text);
    bool PlaylistActive() const { return playlistActive_.load(std::memory_order_relaxed); }
    int ProgressPercent() const;
    // The kept library name of sub-code 7 (its drive selects library and cache).
    std::string LibraryName() const;

    static constexpr unsigned kPassesPerCheck = 4096;

private:
    std::uint8_t PlayFile(PanelServiceCall& call);
    std::uint8_t SelectLibrary(PanelServiceCall& call);
    // The upper-cased name at P1 (written back into M) mapped to a host path.
    std::optional<std::filesystem::path> NameAtP1(PanelServiceCall& call, std::string* upper = nullptr) const;
    bool SpeakLocked(const std::string& text);
    void StopLocked();
    int ProgressLocked() const;

    SoundPlayer& player_;
    mutable std::mutex mutex_;
    std::filesystem::path projectFolder_;
    std::string libraryName_;
    // The playlist: the characters to speak, the cache file of each, the current piece.
    std::vector<std::filesystem::path> pieces_;
    std::size_t nextPiece_ = 0;
    std::size_t currentPiece_ = 0;
    std::atomic<bool> playlistActive_{false};
    std::uint64_t passes_ = 0; // emulator thread only
};

// Process-wide CloseSound for the GUI side: closes the service installed here, if any.
void InstallSimulatorSound(SoundService* service);
void CloseSound();

} // namespace qv::sim
