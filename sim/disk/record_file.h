#pragma once
// Record files of the user's 8051 program: a ring or a linked list of fixed-size records for
// data logging, in a file on a simulated drive. Every number of the file is checked against
// the file before it is followed: head and links inside the places, offsets in 64 bits, the
// file long enough for its places.
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace qv {
class VarBank;
}

namespace qv::sim {

// Field offsets of the 16-byte head (the rest of the first 512 bytes is zero).
namespace recfile {
inline constexpr int kMagic = 0;      // 's'
inline constexpr int kListMode = 1;   // 0 ring (nothing deleted yet), 1 linked list
inline constexpr int kRecordSize = 2; // u16, 1..0x4000
inline constexpr int kCapacity = 4;   // u32 places
inline constexpr int kHead = 8;       // u32 place of the newest record; the capacity when new
inline constexpr int kCount = 12;     // u32 appends (ring) or records (list)
inline constexpr int kHeadSize = 16;
inline constexpr std::uint64_t kLinkTable = 512;
inline constexpr std::uint32_t kFreePlace = 0xFFFFFFFF;
inline constexpr std::uint16_t kMaxRecordSize = 0x4000;
inline constexpr std::uint64_t kMaxFileSize = std::uint64_t{1} << 30;
} // namespace recfile

struct RecordFileHead {
    std::uint8_t listMode = 0;
    std::uint16_t recordSize = 0;
    std::uint32_t capacity = 0;
    std::uint32_t head = 0;
    std::uint32_t count = 0;

    std::uint64_t linkTableSize() const { return (std::uint64_t{capacity} * 4 + 511) / 512 * 512; }
    std::uint64_t placeOffset(std::uint32_t place) const { return recfile::kLinkTable + linkTableSize() + std::uint64_t{place} * recordSize; }
    std::uint64_t fileSize() const { return placeOffset(capacity); }
    std::uint32_t records() const { return count < capacity ? count : capacity; }
};

// Record n of a list lies at `place` (what a walk found, kept to shorten the next).
struct RecordMark {
    std::uint32_t n = 0;
    std::uint32_t place = 0;
};

// Writes a new file, the ring it starts as, to `fd` (empty, open for writing): the head, the
// link table a piece at a time, then the places' room as a hole.
bool writeNewRecordFile(int fd, const RecordFileHead& head);

// The four record-file handles of a run.
class RecordFiles {
public:
    static constexpr int kHandles = 4;

    // Handle 1..4 of the file at `path`, created (with its folders, below `projectDir`) when
    // missing; 0 when the size or capacity is refused (a file over 1 GiB is refused before
    // anything is written), the file's head disagrees or is damaged, or no handle is free.
    // A path open already gives its handle. No open passes or replaces a link.
    int open(const std::filesystem::path& projectDir, const std::filesystem::path& path, std::uint16_t recordSize,
             std::uint32_t capacity);
    // The handle, or 0 for one outside 1..4.
    int close(int handle);
    void closeAll();

    bool append(int handle, const VarBank& memory, std::uint16_t source, bool overwrite);
    bool read(int handle, VarBank& memory, std::uint16_t destination, std::uint32_t n);
    bool rewrite(int handle, const VarBank& memory, std::uint16_t source, std::uint32_t n);
    bool remove(int handle, std::uint32_t n);
    // min(capacity, count); 0 for a handle that is not open.
    std::uint32_t count(int handle) const;

private:
    struct Handle {
        bool open = false;
        std::filesystem::path projectDir; // every open of the file stays below it
        std::filesystem::path path;
        RecordFileHead head;
        std::uint32_t freeFrom = 0; // no place below is free (the search for one starts here)
        std::vector<RecordMark> marks; // sorted by n
    };
    Handle* openHandle(int handle);

    std::array<Handle, kHandles> handles_{};
};

} // namespace qv::sim
