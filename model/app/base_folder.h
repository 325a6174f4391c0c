#pragma once
// The program's base folder is its current directory: it holds the system folder "images",
// the sample projects and "latest.txt".
#include <filesystem>
#include <optional>

namespace qv {

// The current directory, or nullopt when it cannot be read (deleted, no permission).
std::optional<std::filesystem::path> currentBaseFolder();

// True when `base` holds "images" as a folder: any folder will do (read-only, hidden, or
// reached through a symbolic link); a file of that name or a dangling link will not.
bool hasSystemImagesFolder(const std::filesystem::path& base);

} // namespace qv
