#pragma once
// Every file the program writes goes to a temporary file beside it, is flushed, and is
// renamed over the old one: a crash or a full disk never leaves a truncated file.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace qv {

// Writes `bytes` to `path` atomically. Returns false and sets `error` (UTF-8, for logs and
// messages) when any step fails; the old file is then untouched.
bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes, std::string* error = nullptr);

// The same for a file too large to hold in memory: `fill` writes it to the temporary file's
// descriptor piece by piece and returns false with errno set when a write fails.
bool writeFileAtomicallyFrom(const std::filesystem::path& path, const std::function<bool(int fd)>& fill,
                             std::string* error = nullptr);

// Readers that name no bound of their own read at most this much.
inline constexpr std::uint64_t kDefaultReadCap = 64u << 20;

// Reads a whole file; false with `error` set when it cannot be read or holds more than
// `maxBytes` (what the caller's format can hold), so a huge or sparse file is refused
// before anything is allocated for it.
// A pipe, device or other non-file is refused without blocking (opened non-blocking and
// checked before any read).
bool readWholeFile(const std::filesystem::path& path, std::string& bytes, std::string* error = nullptr,
                   std::uint64_t maxBytes = kDefaultReadCap);

// The same for a regular file already open as `fd` (left open); `path` names it in `error`.
bool readWholeDescriptor(int fd, const std::filesystem::path& path, std::string& bytes, std::string* error = nullptr,
                         std::uint64_t maxBytes = kDefaultReadCap);

// Writes all of `bytes` to `fd`; false (errno set) on an error.
bool writeAll(int fd, std::string_view bytes);

} // namespace qv
