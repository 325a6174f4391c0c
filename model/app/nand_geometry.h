#pragma once
// The panel's NAND flash layout, shared by the application object (what a freshly started
// program holds), the compiler and the download.
#include <cstdint>

namespace qv {

struct NandGeometry {
    std::uint32_t pageMask = 0;   // page size - 1
    std::uint32_t capacity = 0;   // bytes
    std::uint32_t blockSize = 0;
    std::uint32_t blockMask = 0;
    std::uint32_t pageSize() const { return pageMask + 1; }
};

// The geometry a freshly started program holds (FLASH size code 0).
inline constexpr NandGeometry kDefaultNandGeometry{511, 0x4000000, 0x4000, 0xFFFFC000u};

} // namespace qv
