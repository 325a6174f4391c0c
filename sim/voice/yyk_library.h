#pragma once
// The voice library ".YYK": one spoken wave per GB2312 double-byte code from 0xA1A1 to
// 0xE8FE (94 per row, unassigned codes included) and per printable character '0'..'}', so a
// text is spoken by joining the waves of its characters. Little-endian:
//   0       8 bytes   magic
//   8       6,846 x { u32 offset of the wave, u32 length }
//   54,776  520 zero bytes
//   0xD800  the waves, each distinct wave once, in the order first met
// Entries whose waves are byte-identical share one block.
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/files/confined_folder.h"

namespace qv::sim {

inline constexpr int kYykHanziEntries = 6768;
inline constexpr int kYykEntries = 6846;
inline constexpr std::size_t kYykIndexOffset = 8;
inline constexpr std::size_t kYykDataOffset = 0xD800;
inline constexpr std::uint32_t kYykMaxWave = 500000; // a stored wave is shorter than this
inline constexpr std::array<std::uint8_t, 8> kYykMagic{0x79, 0x79, 0x6B, 0x00, 0x77, 0x08, 0x08, 0x01};

// The GBK text the engine speaks for entry n: the two-byte code, or a blank and the ASCII
// character ("" for n outside the index).
std::string YykEntryText(int n);

// The entry of one character (one or two GBK bytes): only 0xA1..0xFE pairs below row 0xE9
// and '0'..'}' have one.
std::optional<int> YykEntryOfChar(std::string_view character);

struct YykEntry {
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
};

// Reads waves out of a library. Every entry is checked against the file: a length of 0 or
// of kYykMaxWave and more, or a wave that does not lie inside the file, is no wave.
// The library stays open while it is read, so it cannot be swapped for something else.
class YykReader {
public:
    // The library at `file` below `folder`: a regular file reached through no link.
    static std::optional<YykReader> Open(const ConfinedFolder& folder, const std::filesystem::path& file);
    // A library already open as a regular file; nullopt for anything else.
    static std::optional<YykReader> FromDescriptor(UniqueFd fd);
    std::optional<std::vector<std::uint8_t>> Wave(int entry) const;
    YykEntry Entry(int entry) const { return index_[static_cast<std::size_t>(entry)]; }

private:
    UniqueFd fd_;
    std::uint64_t fileSize_ = 0;
    std::array<YykEntry, kYykEntries> index_{};
};

// Writes a library into a temporary file beside its final name; Commit writes the index,
// flushes and renames it over the final name. A writer destroyed without a successful
// commit removes its temporary file, so an older library stays as it was. Nothing below
// `projectFolder` (by default the library's own folder) is followed if it is a link.
class YykWriter {
public:
    explicit YykWriter(std::filesystem::path finalPath, std::filesystem::path projectFolder = {});
    ~YykWriter();
    YykWriter(const YykWriter&) = delete;
    YykWriter& operator=(const YykWriter&) = delete;

    // False (with the reason) when the temporary file cannot be made.
    bool Start(std::string* error = nullptr);
    // Stores the wave of entry n, sharing the block of an earlier identical wave.
    bool Add(int entry, const std::vector<std::uint8_t>& wave, std::string* error = nullptr);
    bool Commit(std::string* error = nullptr);

    int DistinctWaves() const { return distinct_; }
    std::uint64_t Size() const { return end_; }
    const std::filesystem::path& TemporaryPath() const { return tempPath_; }

private:
    bool WriteAt(std::uint64_t offset, const void* bytes, std::size_t size, std::string* error);
    bool SameAsStored(const YykEntry& stored, const std::vector<std::uint8_t>& wave) const;

    std::filesystem::path finalPath_;
    ConfinedFolder folder_;
    std::filesystem::path tempPath_;
    std::optional<Replacement> file_;
    int fd_ = -1; // the replacement's, while it is open
    std::uint64_t end_ = kYykDataOffset;
    int distinct_ = 0;
    std::array<YykEntry, kYykEntries> index_{};
    std::unordered_map<std::uint64_t, std::vector<YykEntry>> byHash_; // distinct waves by content hash
};

} // namespace qv::sim
