#pragma once
// Little-endian fields of a raw parameter block, read and written at named offsets. A field
// that does not fit in the block reads as `fallback` and is not written.
#include <cstdint>
#include <span>

namespace qv {

inline bool blockHas(std::span<const std::uint8_t> block, int offset, int width)
{
    return offset >= 0 && width > 0 && static_cast<std::size_t>(offset) + static_cast<std::size_t>(width) <= block.size();
}

inline std::uint32_t blockReadU(std::span<const std::uint8_t> block, int offset, int width, std::uint32_t fallback = 0)
{
    if (!blockHas(block, offset, width))
        return fallback;
    std::uint32_t v = 0;
    for (int i = width - 1; i >= 0; --i)
        v = (v << 8) | block[static_cast<std::size_t>(offset + i)];
    return v;
}

inline void blockWriteU(std::span<std::uint8_t> block, int offset, int width, std::uint32_t value)
{
    if (!blockHas(block, offset, width))
        return;
    for (int i = 0; i < width; ++i, value >>= 8)
        block[static_cast<std::size_t>(offset + i)] = static_cast<std::uint8_t>(value);
}

inline std::int32_t blockReadI32(std::span<const std::uint8_t> block, int offset, std::int32_t fallback = 0)
{
    return static_cast<std::int32_t>(blockReadU(block, offset, 4, static_cast<std::uint32_t>(fallback)));
}

inline void blockWriteI32(std::span<std::uint8_t> block, int offset, std::int32_t value)
{
    blockWriteU(block, offset, 4, static_cast<std::uint32_t>(value));
}

inline std::uint8_t blockReadU8(std::span<const std::uint8_t> block, int offset)
{
    return static_cast<std::uint8_t>(blockReadU(block, offset, 1));
}

} // namespace qv
