#include "picture_tool/picture/folder_scan.h"

#include <algorithm>
#include <array>

namespace qv::picture_tool {

bool isListedPictureName(const std::string& name)
{
    const auto endsWith = [&](std::string_view tail) {
        return name.size() >= tail.size() && name.compare(name.size() - tail.size(), tail.size(), tail) == 0;
    };
    static constexpr std::array<std::string_view, 8> kTails{"bmp", "BMP", "jpg", "JPG", "gif", "GIF", "jpeg", "JPEG"};
    return std::any_of(kTails.begin(), kTails.end(), endsWith);
}

std::vector<std::filesystem::path> scanPictureFolder(const std::filesystem::path& folder)
{
    std::vector<std::filesystem::path> out;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (!it->is_directory(ec) && isListedPictureName(it->path().filename().string()))
            out.push_back(it->path());
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace qv::picture_tool
