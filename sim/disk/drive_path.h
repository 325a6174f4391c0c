#pragma once
// The simulated panel's drives, as the user's 8051 program names them: "U:\" the USB disk,
// "A:\" the SD card, "F:\" the panel's flash, each a folder of the project.
#include <filesystem>
#include <optional>
#include <string>

namespace qv::sim {

// The whole name, drive included, has 4 to 15 bytes.
inline constexpr std::size_t kMinDriveName = 4;
inline constexpr std::size_t kMaxDriveName = 15;

// Turns the single-byte letters of `name` to upper case in place (two-byte GBK characters
// are left whole: their trail bytes may look like letters).
void FoldDriveName(std::string& name);

// The host path of a drive name (folded first, in place) below `projectDir`: the drive's
// folder, then the rest of the name through the stored-path resolver, so ".." and other
// drives are refused and the path stays inside the drive's folder. nullopt when the name
// breaks a rule.
std::optional<std::filesystem::path> MapDrivePath(std::string& name, const std::filesystem::path& projectDir);

// Creates the missing folders of `path` (its last part left out) below `projectDir`, at most
// 9 levels deep, never through a link; false when the path lies elsewhere, is deeper, passes
// a link or a folder cannot be made.
bool MakeFolders(const std::filesystem::path& projectDir, const std::filesystem::path& path);

// Deletes the plain file a drive name maps to: true when no file is there afterwards
// (deleted or absent), false when the name breaks a rule, a folder on the way is a link or
// the file is still there.
bool DeletePlainFile(std::string& name, const std::filesystem::path& projectDir);

} // namespace qv::sim
