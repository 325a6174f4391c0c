#pragma once
// Every file the program writes goes to a temporary file beside it, is flushed, and is
// renamed over the old one: a crash or a full disk never leaves a truncated file.
#include <filesystem>
#include <string>
#include <string_view>

namespace qv {

// Writes `bytes` to `path` atomically. Returns false and sets `error` (UTF-8, for logs and
// messages) when any step fails; the old file is then untouched.
bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes, std::string* error = nullptr);

// Reads a whole file; false with `error` set when it cannot be read.
bool readWholeFile(const std::filesystem::path& path, std::string& bytes, std::string* error = nullptr);

} // namespace qv
