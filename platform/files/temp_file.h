#pragma once
// Temporary files beside the files they will replace. Each gets a fresh name nobody can
// guess ("<file>.tmp<pid>.XXXXXX", made with O_EXCL, so a link waiting at a name is never
// followed) and the mode of the file it replaces. A save killed half-way leaves its temporary
// file behind; the pid in its name tells whether its owner still runs.
#include <filesystem>
#include <string>
#include <vector>

namespace qv {

// The file a write to `path` must replace: `path` itself, or where its symbolic links lead
// (a project file that is a link is written through to its target, the link kept).
std::filesystem::path resolveWriteTarget(const std::filesystem::path& path);

// Creates the temporary file for `target`, open for reading and writing; -1 with errno set
// when it cannot. Its mode is `target`'s own when `target` exists, else the mode a new file
// gets under the process's umask.
int createTemporaryFor(const std::filesystem::path& target, std::filesystem::path& temp);

// True for a name of this program's temporary files.
bool isTemporaryFileName(const std::string& name);

// Removes the temporary files in `folder` (not below it) whose owner process no longer runs;
// returns the names removed.
std::vector<std::filesystem::path> removeStaleTemporaries(const std::filesystem::path& folder);

} // namespace qv
