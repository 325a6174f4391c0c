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
    // Links inside are copied as links: one that points back up (a loop) or out of the folder
    // (to / say) must not pull outside content into the copy or make it run on. The folder
    // named by `from` may itself be reached through a link; its content is what is copied.
    const fs::path source = fs::is_symlink(from, ec) ? fs::canonical(from, ec) : from;
    if (ec)
        return 1;
    const fs::path partial = to.parent_path() / (to.filename().string() + ".copying" + std::to_string(::getpid()));
    fs::remove_all(partial, ec);
    fs::copy(source, partial, fs::copy_options::recursive | fs::copy_options::copy_symlinks, ec);
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
