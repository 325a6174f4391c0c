#pragma once
// Layout of the saved-variables file "VarToFlash.vtf": a 512-byte table of 32 slots of
// 16 bytes (slots 0..30 used, 31 never touched), the saved ranges appended after it.
// All integers little-endian.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace qv::vtf {

inline constexpr std::size_t kHeaderSize = 512;
inline constexpr std::size_t kSlotSize = 16;
inline constexpr int kLastSlot = 30;
inline constexpr std::uint8_t kInUseMarker = 0x13;
// Every in-use slot keeps address + length <= this, as the panel's flash does.
inline constexpr std::uint32_t kMaxRangeEnd = 0xFFFF;
// The slot table and a whole bank for every slot: no file of this format is larger.
inline constexpr std::size_t kMaxFileSize = kHeaderSize + (kLastSlot + 1) * (std::size_t{kMaxRangeEnd} + 1);

// Field offsets inside one slot.
inline constexpr std::size_t kSlotMarker = 1;
inline constexpr std::size_t kSlotAddress = 4;
inline constexpr std::size_t kSlotLength = 6;
inline constexpr std::size_t kSlotDataOffset = 8;

struct Slot {
    bool inUse = false;
    std::uint16_t address = 0;
    std::uint16_t length = 0;
    std::uint32_t dataOffset = 0;
};

constexpr bool isUsableSlot(int slot) { return slot >= 0 && slot <= kLastSlot; }

// `header` holds at least kHeaderSize bytes; `slot` is 0..30.
Slot readSlot(std::span<const std::uint8_t> header, int slot);
// Writes all 16 bytes of the slot (reserved bytes zero); a free slot is all zero.
void writeSlot(std::span<std::uint8_t> header, int slot, const Slot& value);

// The slot's saved bytes lie wholly inside a file of `fileSize` bytes, after the table, and
// its range stays inside the variable memory. A damaged slot fails this.
bool isSlotReadable(const Slot& s, std::uint64_t fileSize);

// The slot's data area may be written in a file of `fileSize` bytes: it starts after the table
// and no later than the end of the file (a write may extend the file) and overlaps no other
// in-use slot's area. Keeps a damaged offset from overwriting the table or another range.
bool isSlotWritable(std::span<const std::uint8_t> header, int slot, std::uint64_t fileSize);

} // namespace qv::vtf
