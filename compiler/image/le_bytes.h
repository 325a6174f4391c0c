#pragma once
// Little-endian fields at named offsets of a byte buffer. Every access is range-checked:
// an offset past the buffer is a programming error and throws instead of writing beyond it.
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>

namespace qv::image {

inline void checkRange(std::size_t size, std::size_t offset, std::size_t width)
{
    if (offset > size || width > size - offset)
        throw std::out_of_range("field outside its buffer");
}

inline void putLe(std::span<std::uint8_t> buf, std::size_t offset, std::uint64_t value, std::size_t width)
{
    checkRange(buf.size(), offset, width);
    for (std::size_t i = 0; i < width; ++i)
        buf[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline std::uint64_t getLe(std::span<const std::uint8_t> buf, std::size_t offset, std::size_t width)
{
    checkRange(buf.size(), offset, width);
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < width; ++i)
        v |= std::uint64_t(buf[offset + i]) << (8 * i);
    return v;
}

inline void putU8(std::span<std::uint8_t> b, std::size_t o, std::uint8_t v) { putLe(b, o, v, 1); }
inline void putU16(std::span<std::uint8_t> b, std::size_t o, std::uint16_t v) { putLe(b, o, v, 2); }
inline void putU32(std::span<std::uint8_t> b, std::size_t o, std::uint32_t v) { putLe(b, o, v, 4); }
inline std::uint8_t getU8(std::span<const std::uint8_t> b, std::size_t o) { return std::uint8_t(getLe(b, o, 1)); }
inline std::uint16_t getU16(std::span<const std::uint8_t> b, std::size_t o) { return std::uint16_t(getLe(b, o, 2)); }
inline std::uint32_t getU32(std::span<const std::uint8_t> b, std::size_t o) { return std::uint32_t(getLe(b, o, 4)); }

// (n + page mask) & ~page mask, without wrapping for n near 4 GiB.
inline std::uint64_t roundUpToPage(std::uint64_t n, std::uint32_t pageMask) { return (n + pageMask) & ~std::uint64_t(pageMask); }

} // namespace qv::image
