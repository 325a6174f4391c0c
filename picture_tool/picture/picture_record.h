#pragma once
// A picture as the panel stores it: RGB565 rows from the bottom up behind a 0x82 at every
// page start, padded with 0x82 to whole allocation units; its 24-byte directory entry; the
// directory block; and "pic.h", which numbers the pictures for the user's program.
#include "platform/surface/surface.h"
#include "picture_tool/flash/flash_geometry.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace qv::picture_tool {

inline constexpr int kMaxPictureRows = 1024;
inline constexpr int kMaxPictureWidth = 0xFFFF; // the directory's width field

// Whether white is kept (direct download) or stored as 0xFFDF (packed file).
enum class WhiteRule { Keep, Packed };

// Bytes a W x H record takes (H already capped at 1024).
std::uint64_t recordLength(std::uint32_t width, std::uint32_t height, const FlashGeometry& g);

// The record of a decoded picture: its top 1024 rows at most, bottom row first. Empty with
// `error` set for a picture wider than the directory can describe.
std::vector<std::uint8_t> pictureRecord(const Surface& picture, const FlashGeometry& g, WhiteRule white,
                                        std::string* error = nullptr);

struct DirectoryEntry {
    std::uint16_t unit = 0;
    std::uint16_t width = 0;
    std::uint16_t heightWord = 0; // height plus the page-in-unit bits from bit 12
    std::string name;             // at most 15 bytes are stored
};

// The entry of a picture at `address` (a multiple of the allocation unit).
DirectoryEntry entryAt(std::uint32_t address, std::uint32_t width, std::uint32_t height, const FlashGeometry& g);
// The flash address an entry points at.
std::uint32_t entryAddress(std::uint16_t unit, std::uint16_t heightWord, const FlashGeometry& g);

void putEntry(std::span<std::uint8_t> block, std::size_t index, const DirectoryEntry& e);
// A zeroed directory block with its end marks ('Z', 0xA5) and the picture count.
std::vector<std::uint8_t> emptyDirectory(const FlashGeometry& g, std::uint16_t count);
void putDirectoryEnd(std::span<std::uint8_t> block, std::uint32_t endAddress);

// The file name after its last '\' or '/' (of a host path, before any conversion to GBK,
// whose second bytes may be '\').
std::string baseName(const std::string& path);

// A host path (UTF-8) as the panel's directory, "pic.h" and the messages hold it (GBK);
// kept as it is where GBK cannot hold it.
std::string gbkPath(const std::filesystem::path& host);

// "pic.h" (GBK): the comment line, then one #define per stored picture (named by its host
// path) in list order.
std::string picHeaderLine(const std::string& path, std::size_t position);
std::string picHeaderStart();

} // namespace qv::picture_tool
