#include "sim/sound/sound_drives.h"

#include "platform/files/stored_path.h"
#include "platform/text/gbk.h"

#include <array>

namespace qv::sim {
namespace {

constexpr std::array kDrives{
    SoundDrive{'U', "UsbDisk", "temp\\UsbDiskTemp"},
    SoundDrive{'S', "SDCard", "temp\\SDCardTemp"},
    SoundDrive{'F', "FDisk", "temp\\FDiskTemp"},
};

constexpr std::size_t kMinName = 4;
constexpr std::size_t kMaxName = 15;

} // namespace

const SoundDrive* SoundDriveOf(char letter)
{
    if (letter == 'A')
        letter = 'S';
    for (const SoundDrive& drive : kDrives)
        if (drive.letter == letter)
            return &drive;
    return nullptr;
}

std::string UpperCaseSoundName(const std::string& name)
{
    std::string out = name;
    for (std::size_t i = 0; i < out.size(); i += gbkCharLength(out, i))
        if (out[i] >= 'a' && out[i] <= 'z')
            out[i] = static_cast<char>(out[i] - 'a' + 'A');
    return out;
}

std::optional<std::filesystem::path> MapSoundPath(const std::filesystem::path& projectFolder, const std::string& name)
{
    if (name.size() < kMinName || name.size() > kMaxName || name[1] != ':' || name[2] != '\\')
        return std::nullopt;
    const SoundDrive* drive = SoundDriveOf(name[0]);
    if (!drive)
        return std::nullopt;
    return resolveStoredPath(projectFolder, std::string(drive->folder) + '\\' + name.substr(3));
}

std::optional<std::filesystem::path> VoiceLibraryPath(const std::filesystem::path& projectFolder, const SoundDrive& drive)
{
    return resolveStoredPath(projectFolder, std::string(drive.folder) + '\\' + kVoiceLibraryName);
}

std::optional<std::filesystem::path> VoiceCachePath(const std::filesystem::path& projectFolder, const SoundDrive& drive)
{
    return resolveStoredPath(projectFolder, drive.cacheFolder);
}

} // namespace qv::sim
