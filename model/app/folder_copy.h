#pragma once
// Copies of the support folders every project carries.
#include <filesystem>

namespace qv {

// Copies the folder `from` with everything below it to `to`, which must not exist yet.
// The copy is made beside `to` under a temporary name and renamed at the end, so a copy that
// fails half-way leaves no half-filled folder behind. Links below `from` are copied as links,
// never followed. 0 on success, else non-zero.
int CopyFolderTree(const std::filesystem::path& from, const std::filesystem::path& to);

} // namespace qv
