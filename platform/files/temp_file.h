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

// The temporary name for the file `name` ("<name>.tmp<pid>.XXXXXX"), its random part still the
// X's of a mkostemps template; the one format the sweep below recognises.
std::string temporaryNameTemplate(const std::string& name);
// Fills the random part of a name from temporaryNameTemplate with fresh letters and digits
// (for a caller that creates it itself with O_EXCL, retrying with a new fill).
void fillTemporaryName(std::string& name);

// True for a name of this program's temporary files.
bool isTemporaryFileName(const std::string& name);

// Removes the temporary files in `folder` whose owner process no longer runs, and in the
// folders below it down to `depth` levels; returns the paths removed. A folder below is
// entered beneath the one above it and never through a symbolic link, so no link leads the
// sweep outside; a folder is never removed.
std::vector<std::filesystem::path> removeStaleTemporaries(const std::filesystem::path& folder, int depth = 0);

// The same from `parent`'s folder `name`, not entered when it is itself a link.
std::vector<std::filesystem::path> removeStaleTemporaries(const std::filesystem::path& parent, const std::string& name,
                                                          int depth);

} // namespace qv
