#pragma once
// The programming data image as the run reads it: every read goes through a 16-byte window
// and stays inside the image's own size S (which must fit the bytes we hold); blocks are
// found through the block table behind the format marker.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace qv::device::fpga {

inline constexpr std::size_t kWindowBytes = 16;
inline constexpr std::size_t kMarkerAt = 24;
inline constexpr std::uint8_t kMarker = 0x45; // "E", also where the block table starts
inline constexpr std::size_t kSizeAt = 25;
// The header fields, the table's entry count and the CRC.
inline constexpr std::uint32_t kMinImageSize = kMarker + 2;

// S, then the CRC over bytes 0..S-3 against the u16 at S-2. 0 when good, else 100.
std::uint8_t CheckImage(std::span<const std::uint8_t> image);
// CheckImage, then the marker (160).
std::uint8_t CheckImageAndMarker(std::span<const std::uint8_t> image);

class ImageReader {
public:
    // `image` must have passed CheckImage.
    explicit ImageReader(std::span<const std::uint8_t> image);

    std::uint32_t size() const { return size_; } // S
    // Loads the window at `position` unless it already holds it; the bytes available from
    // there (0..16, never past S).
    std::span<const std::uint8_t> window(std::uint64_t position);
    // Where block `id` starts (block 0: the image itself); nullopt when the table lacks it.
    std::optional<std::uint32_t> blockOffset(std::uint8_t id);
    // A little-endian value of `count` (1..4) bytes at `offset` in block `id`; nullopt when
    // the block is absent or the bytes run past the image.
    std::optional<std::uint32_t> getBytes(std::uint8_t id, std::uint32_t offset, int count);
    // `out.size()` bytes of block `id` from `offset`; false as above.
    bool getBlock(std::uint8_t id, std::uint32_t offset, std::span<std::uint8_t> out);

private:
    std::span<const std::uint8_t> image_;
    std::uint32_t size_ = 0;
    std::array<std::uint8_t, kWindowBytes> window_{};
    std::uint64_t windowStart_ = 0;
    std::size_t windowLength_ = 0;
};

} // namespace qv::device::fpga
