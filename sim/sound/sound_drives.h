#pragma once
// The drives the sound services name files on ("U:\MUSIC\A.WAV"), each a folder below the
// project folder, with the voice library and the wave cache that belong to it.
#include <filesystem>
#include <optional>
#include <string>

namespace qv::sim {

struct SoundDrive {
    char letter;             // the library letter it selects: 'U', 'S' or 'F'
    const char* folder;      // below the project folder
    const char* cacheFolder; // the extracted waves of its library
};

// The drive of a name by its first letter ('A' is the SD card too); nullptr for any other.
const SoundDrive* SoundDriveOf(char letter);

inline constexpr const char* kVoiceLibraryName = "SOUND.YYK";

// Folds single-byte letters of `name` to upper case, walking it lead-byte aware so trail
// bytes of two-byte characters stay as they are.
std::string UpperCaseSoundName(const std::string& name);

// The host path of a sound file name: 4 to 15 characters, a drive of the table, a colon, a
// backslash and the rest, which the stored-path resolver takes (".." refused). The name is
// expected already folded to upper case.
std::optional<std::filesystem::path> MapSoundPath(const std::filesystem::path& projectFolder, const std::string& name);

std::optional<std::filesystem::path> VoiceLibraryPath(const std::filesystem::path& projectFolder, const SoundDrive& drive);
std::optional<std::filesystem::path> VoiceCachePath(const std::filesystem::path& projectFolder, const SoundDrive& drive);

} // namespace qv::sim
