#pragma once
// File and folder tests and copies of the project commands. Every test of "is there
// something of that name" sees files, folders and links alike, so no command ever writes
// over what is already there.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace qv {

// True when anything (file, folder, link, even a dangling one) has this name.
bool entryExists(const std::filesystem::path& p);

// True when `inner` is `outer` itself or lies below it, links of the existing parts resolved.
bool isSameOrInside(const std::filesystem::path& inner, const std::filesystem::path& outer);

// Reads a file's bytes; false for anything but a readable regular file (links followed). A
// folder is refused before it is opened: reading one throws inside the stream library.
bool readRegularFile(const std::filesystem::path& file, std::string& bytes);

// A host path as GBK text for a message (characters GBK cannot hold become '?').
std::string pathForMessage(const std::filesystem::path& p);

// Copies the file `source` into `folder` (created when missing) under the GBK name
// `fileNameGbk`. A file there whose name matches (letter case ignored, as stored names are
// resolved) and whose bytes are the same is kept and no copy is made; a different file of
// that name is kept too and the copy takes the first free name "<stem>_<n><ext>". Returns the
// name used; nullopt with `error` set when the source cannot be read or the copy cannot be
// written. Callers copying shipped pictures that may be missing keep the name themselves.
std::optional<std::string> copyFileKeepingOthers(const std::filesystem::path& source,
                                                 const std::filesystem::path& folder, std::string_view fileNameGbk,
                                                 std::string* error = nullptr);

// Copies one file; with `failIfExists` an existing destination (of any kind) is an error.
// Written through a temporary file and a rename. False with `error` set on failure.
bool copyOneFile(const std::filesystem::path& from, const std::filesystem::path& to, bool failIfExists,
                 std::string* error = nullptr);

// Makes `dir` with any missing parents and appends each folder it made, outermost first, to
// `made`. False with `ec` set when `dir` is not a folder afterwards.
bool createFoldersRecording(const std::filesystem::path& dir, std::vector<std::filesystem::path>& made,
                            std::error_code& ec);

// Takes back what createFoldersRecording made: innermost first, each only while it is empty,
// so nothing another hand put there is lost.
void removeMadeFolders(const std::vector<std::filesystem::path>& made);

// Wildcard match of a host (UTF-8) file name: '*' any run, '?' one character, ASCII letters
// in any case.
bool matchesPattern(std::string_view name, std::string_view pattern);

} // namespace qv
