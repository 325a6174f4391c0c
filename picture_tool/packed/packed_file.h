#pragma once
// "PicZiku.zip": pictures and fonts packed for a later download. Nothing in it is compressed.
//   0x00000  picture directory: 24-byte entries (unit field = file offset >> unit shift)
//   0x1FFFC  baud choice, 0x1FFFD flash type
//   0x20000  font table: 59 records {u32 offset, u16 width, u16 height, u32 length}
//   0x40000  picture records as in flash (white stored as 0xFFDF), then the fonts
// The reader trusts nothing: entries stop at the directory's capacity and every record and
// font must lie inside the file, in order, before anything is written.
#include "platform/surface/surface.h"
#include "picture_tool/flash/flash_geometry.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace qv::picture_tool {

inline constexpr std::uint32_t kPackedHeader = 0x40000;
inline constexpr std::uint32_t kPackedFontTable = 0x20000;
inline constexpr std::uint32_t kPackedBaudAt = 0x1FFFC;
inline constexpr std::uint32_t kPackedFlashTypeAt = 0x1FFFD;
inline constexpr int kFontSlots = 59;

struct PackedPicture {
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0; // low 12 bits of the height word
};

struct PackedFont {
    int slot = 0;
    std::uint64_t offset = 0;
    std::uint32_t length = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
};

struct PackedContents {
    int flashType = 0;
    std::uint8_t baud = 0;
    FlashGeometry geometry;
    std::vector<PackedPicture> pictures;
    std::vector<PackedFont> fonts;
};

// Reads the header of a file of `fileSize` bytes. nullopt with `error` (GBK) when anything
// in it points outside the file or breaks the layout.
std::optional<PackedContents> readPackedHeader(std::span<const std::uint8_t> header, std::uint64_t fileSize,
                                               std::string* error = nullptr);

struct FontFile {
    int slot = 0;
    std::vector<std::uint8_t> bytes; // the slot's file; slots 28..58 begin with width and height
};

struct PackInput {
    std::vector<const Surface*> pictures;
    std::vector<FontFile> fonts;
    std::uint8_t baud = 0;
};

// The whole file for a flash type; the fixed font cells come from the font table.
std::vector<std::uint8_t> buildPackedFile(const PackInput& in, const FlashGeometry& g);

// Width and height of the predefined font slots (0 x 0 where none).
std::pair<std::uint16_t, std::uint16_t> fixedFontCell(int slot);

} // namespace qv::picture_tool
