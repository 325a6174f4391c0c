#pragma once
// Reads a compiled image item by item, as the panel and the download read it: the window
// table, each record's offset table, every item by its type with its own size, and the
// picture data each item names, in the order the items name it, up to the blocks behind
// the pictures and the file's end. Sizes and offsets are written out here from the image's
// published layout, never taken from the compiler.
#include <cstdint>
#include <string>
#include <vector>

namespace qv::test {

struct ReadItem {
    std::uint8_t type = 0;
    std::uint32_t offset = 0;   // from the header area's start
    std::uint32_t size = 0;     // the item's own size for its type and counts
    std::vector<std::uint64_t> pictures;   // file offset of each picture it named, in order
};

struct ReadWindow {
    std::uint32_t offset = 0, length = 0;
    std::vector<ReadItem> items;
};

struct ReadImage {
    std::string error;   // empty when the image read clean to its end
    std::vector<ReadWindow> windows;
    std::uint64_t picturesEnd = 0;   // where the variable memory starts
};

ReadImage readImage(const std::string& bytes);

// One field of an item: offset from the item's start, width in bytes (1, 2 or 4), the bits
// looked at, and the value they must hold.
struct ItemField {
    std::uint32_t offset;
    int width;
    std::uint32_t value;
    std::uint32_t mask = 0xFFFFFFFFu;
};

// The field's bits (little-endian, masked) of the item at file offset `item`.
std::uint32_t readItemField(const std::string& bytes, std::uint64_t item, const ItemField& field);

// The first `count` RGB565 pixels of the picture run at file offset `run` (one of an item's
// `pictures`), past its opening 0x82 and every page-start byte; fewer when the file ends.
std::vector<std::uint16_t> readRunPixels(const std::string& bytes, std::uint64_t run, std::size_t count);

} // namespace qv::test
