#pragma once
// The image is written to a temporary file beside its final name and renamed over it only
// when the compile succeeds, so an aborted or failed compile never leaves a half image that
// a download could take for a project. The image can be far larger than the header area,
// so it is streamed rather than built in memory.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace qv::image {

class StagedImageFile {
public:
    StagedImageFile() = default;
    ~StagedImageFile();   // discards an uncommitted file
    StagedImageFile(const StagedImageFile&) = delete;
    StagedImageFile& operator=(const StagedImageFile&) = delete;

    // Creates the temporary file for `finalPath`. False with error() set when it cannot.
    bool create(const std::filesystem::path& finalPath);

    bool append(std::span<const std::uint8_t> bytes);
    bool appendFill(std::uint8_t value, std::uint64_t count);
    // Pads with `value` up to the next multiple of (pageMask + 1).
    bool padToPage(std::uint32_t pageMask, std::uint8_t value);
    // Overwrites bytes already written (the header area at the end of the compile).
    bool overwrite(std::uint64_t offset, std::span<const std::uint8_t> bytes);

    std::uint64_t size() const { return size_; }

    // Flushes, closes and renames over the final name.
    bool commit();
    // Closes and removes the temporary file; the final name is left as it is.
    void discard();

    const std::string& error() const { return error_; }   // UTF-8, the system's reason

private:
    bool fail(const char* what);

    int fd_ = -1;
    std::filesystem::path final_;
    std::filesystem::path temp_;
    std::uint64_t size_ = 0;
    std::string error_;
};

} // namespace qv::image
