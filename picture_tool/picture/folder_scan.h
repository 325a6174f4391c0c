#pragma once
// The pictures of a folder as the picture list shows them: names ending in "bmp", "BMP",
// "jpg", "JPG", "gif", "GIF", "jpeg" or "JPEG" (case as written), sorted by name.
#include <filesystem>
#include <string>
#include <vector>

namespace qv::picture_tool {

bool isListedPictureName(const std::string& name);
std::vector<std::filesystem::path> scanPictureFolder(const std::filesystem::path& folder);

} // namespace qv::picture_tool
