#include "model/app/folder_copy.h"

#include <system_error>
#include <unistd.h>

namespace qv {

int CopyFolderTree(const std::filesystem::path& from, const std::filesystem::path& to)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::is_directory(from, ec) || fs::exists(fs::symlink_status(to, ec)))
        return 1;
    const fs::path partial = to.parent_path() / (to.filename().string() + ".copying" + std::to_string(::getpid()));
    fs::remove_all(partial, ec);
    fs::copy(from, partial, fs::copy_options::recursive, ec);
    if (!ec)
        fs::rename(partial, to, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove_all(partial, ignored);
        return 1;
    }
    return 0;
}

} // namespace qv
