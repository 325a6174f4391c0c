#include "gen/base/base_target.h"

#include <system_error>

namespace qv::gen {

namespace fs = std::filesystem;

std::optional<std::string> refuseGeneratorTarget(const fs::path& target, const fs::path& treeBase)
{
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(target, ec);
    if (status.type() == fs::file_type::not_found)
        return std::nullopt;
    if (fs::equivalent(target, treeBase, ec))
        return std::nullopt;
    if (!fs::is_directory(target, ec))
        return target.string() + " is not a folder";
    if (fs::is_empty(target, ec) && !ec)
        return std::nullopt;
    return target.string() + " is neither this tree's base folder (" + treeBase.string() +
           ") nor an empty or new folder; rebuilding it would erase the sample projects and any edits in them";
}

} // namespace qv::gen
