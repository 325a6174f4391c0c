#include "model/app/base_folder.h"

#include <system_error>

namespace qv {

std::optional<std::filesystem::path> currentBaseFolder()
{
    std::error_code ec;
    std::filesystem::path dir = std::filesystem::current_path(ec);
    if (ec || dir.empty())
        return std::nullopt;
    return dir;
}

bool hasSystemImagesFolder(const std::filesystem::path& base)
{
    std::error_code ec;
    return std::filesystem::is_directory(base / "images", ec); // follows links
}

} // namespace qv
