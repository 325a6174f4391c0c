#pragma once
// The firmware data file: a 1024-byte header (bytes 528..535 scrambled, "zovn" at 528) and
// the scrambled programming image behind it. At most 0x40000 bytes of a file are used.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace qv::device::fpga {

inline constexpr std::size_t kMaxDataFile = 0x40000;
inline constexpr std::size_t kImageStart = 1024;
inline constexpr std::size_t kMagicAt = 528;

// Swaps the two halves of every byte, in place.
void SwapNibbles(std::span<std::uint8_t> bytes);

enum class DataFileStatus { Ok, Missing, TooShort, BadMagic };

struct DataFile {
    DataFileStatus status = DataFileStatus::Missing;
    std::vector<std::uint8_t> bytes; // unscrambled, at most kMaxDataFile
    std::span<const std::uint8_t> image() const
    {
        return bytes.size() > kImageStart ? std::span(bytes).subspan(kImageStart) : std::span<const std::uint8_t>{};
    }
};

// Unscrambles bytes as read from a file (at most kMaxDataFile are kept) and checks them.
DataFile DecodeDataFile(std::vector<std::uint8_t> raw);
// Reads the first kMaxDataFile bytes of `path` and decodes them.
DataFile LoadDataFile(const std::filesystem::path& path);
// The user's message for a status other than Ok (GBK).
std::string DataFileMessage(DataFileStatus status);

// The inverse, for tests and tools: scrambles an image behind a header with the magic.
std::vector<std::uint8_t> EncodeDataFile(std::span<const std::uint8_t> image);

} // namespace qv::device::fpga
