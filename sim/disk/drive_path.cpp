#include "sim/disk/drive_path.h"

#include <system_error>

#include "model/project/drive_folders.h"
#include "platform/files/confined_folder.h"
#include "platform/files/stored_path.h"
#include "platform/text/gbk.h"

namespace qv::sim {

void FoldDriveName(std::string& name)
{
    for (std::size_t i = 0; i < name.size();) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (isGbkLeadByte(c) && i + 1 < name.size()) {
            i += 2;
            continue;
        }
        if (c >= 'a' && c <= 'z')
            name[i] = static_cast<char>(c - 'a' + 'A');
        ++i;
    }
}

std::optional<std::filesystem::path> MapDrivePath(std::string& name, const std::filesystem::path& projectDir)
{
    FoldDriveName(name);
    if (name.size() < kMinDriveName || name.size() > kMaxDriveName || name[1] != ':' || name[2] != '\\')
        return std::nullopt;
    for (const DriveFolder& drive : kDriveFolders) {
        if (name[0] != drive.letter)
            continue;
        const auto folder = resolveStoredPath(projectDir, drive.folder);
        if (!folder)
            return std::nullopt;
        const auto path = resolveStoredPath(*folder, std::string_view(name).substr(3));
        // Nothing but separators after the drive names the folder itself: no file.
        if (!path || *path == *folder)
            return std::nullopt;
        return path;
    }
    return std::nullopt;
}

bool MakeFolders(const std::filesystem::path& projectDir, const std::filesystem::path& path)
{
    const std::filesystem::path relative = path.parent_path().lexically_relative(projectDir);
    if (relative.empty() || *relative.begin() == "..")
        return false;
    int levels = 0;
    for (const auto& part : relative) {
        (void)part;
        ++levels;
    }
    if (levels > 9)
        return false;
    return static_cast<bool>(ConfinedFolder(projectDir).openFolder(path.parent_path(), true));
}

bool DeletePlainFile(std::string& name, const std::filesystem::path& projectDir)
{
    const auto path = MapDrivePath(name, projectDir);
    if (!path)
        return false;
    return ConfinedFolder(projectDir).removeFile(*path);
}

} // namespace qv::sim
