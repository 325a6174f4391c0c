#pragma once
// Where the base generator may write. It rebuilds the sample projects from nothing, so a
// folder someone works in (a copied base folder whose samples hold edits) must never be its
// target.
#include <filesystem>
#include <optional>
#include <string>

namespace qv::gen {

// nullopt when `target` may be written: the tree's own base folder `treeBase` (its generated
// content is committed, so a rebuild loses nothing), a folder that does not exist yet, or an
// empty one. Otherwise the reason it is refused.
std::optional<std::string> refuseGeneratorTarget(const std::filesystem::path& target,
                                                 const std::filesystem::path& treeBase);

} // namespace qv::gen
