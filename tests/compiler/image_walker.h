#pragma once
// Reads a compiled image back from its bytes alone, with offsets written out here from the
// image's published layout (not taken from the compiler's own tables), so a wrong constant
// in the compiler cannot hide itself.
#include <cstdint>
#include <string>
#include <vector>

namespace qv::test {

struct WalkedWindow {
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
};

struct WalkedImage {
    std::string error;                   // empty when the walk reached the file's end exactly
    std::uint16_t windowCount = 0;
    std::vector<WalkedWindow> windows;
    std::uint32_t pageMask = 0;
    std::uint64_t variableMemoryAt = 0, variableMemoryLength = 0;
    std::uint64_t plcBlockAt = 0, plcBlockLength = 0;       // length 0: no block
    std::uint64_t userCodeAt = 0, userCodeLength = 0;       // page-rounded block length
    std::uint32_t userCodeHead[3] = {0, 0, 0};
};

WalkedImage walkImage(const std::string& bytes);

// The blocks behind the pictures, from `at` (where the variable memory starts) to the file's
// end: their places go into `w`; the error, or "" when they end exactly at the file's end.
std::string walkBlocks(const std::string& bytes, std::uint64_t at, std::uint32_t pageMask, WalkedImage& w);

// A start map field (offset from the start map), little-endian.
std::uint32_t startMapU32(const std::string& image, std::uint32_t offset);
std::uint16_t startMapU16(const std::string& image, std::uint32_t offset);
std::uint8_t startMapU8(const std::string& image, std::uint32_t offset);
std::uint32_t fileU32(const std::string& image, std::uint64_t offset);

} // namespace qv::test
