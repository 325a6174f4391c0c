#pragma once
// Stored paths stay as the project files hold them ("\UserPicture\a.bmp",
// "images\sys\x.bmp", bare window file names, all GBK). This resolver is the only place
// that turns one into a host path.
#include <filesystem>
#include <optional>
#include <string_view>

namespace qv {

// Splits on '\' (lead-byte aware; '/' is accepted too), converts each part from GBK to
// UTF-8 and joins it under `base`. A part that does not exist as written is matched
// case-insensitively among the entries of its folder; when nothing matches, the part is
// kept as written (the file may be about to be created). nullopt for a part that is "..",
// that does not convert from GBK, or an absolute drive path: stored paths never leave `base`.
std::optional<std::filesystem::path> resolveStoredPath(const std::filesystem::path& base, std::string_view stored);

} // namespace qv
