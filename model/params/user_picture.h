#pragma once
// Pictures placed on shapes and controls live in the project's "UserPicture" folder and are
// stored as "\UserPicture\" + file name. A picture is copied in once; a different picture
// of the same name already there is kept and the new one is copied under a new name.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace qv {

class CEditorApp;

inline constexpr std::string_view kUserPictureFolder = "UserPicture";

// Copies `source` (a host path) into <projectDir>/UserPicture (see copyFileKeepingOthers).
// Returns the name to store, or nullopt with `error` set when the file name cannot
// be held in the project's GBK text or the source cannot be read.
std::optional<std::string> copyUserPictureFile(const std::filesystem::path& projectDir,
                                               const std::filesystem::path& source, std::string* error = nullptr);

// The same for a picture named in stored form ("images\sys\switchON.bmp") relative to
// `baseDir`; the name is the stored text after its last backslash.
std::string copyStoredPicture(const std::filesystem::path& baseDir, const std::filesystem::path& projectDir,
                              std::string_view storedSource);

// copyStoredPicture from the program's base folder into the open project.
std::string CopyUserPicture(const CEditorApp& app, std::string_view storedSource);

} // namespace qv
