#pragma once
// The glyph table of a real-time number: equal slots that each open with 0x82, glyph bytes
// after it with a 0x82 at every page start, the rest 0x82. Font glyphs are one bit a pixel
// (most significant bit first), picture glyphs RGB565 low byte first; pixels in the panel's
// order (rows bottom-up, or on a turned panel columns from the right, each bottom-up).
#include "platform/surface/surface.h"

#include <cstdint>
#include <vector>

namespace qv::items {

class GlyphTable {
public:
    // The table is written at a page start of the image.
    GlyphTable(int slots, std::uint32_t slotSize, std::uint32_t pageMask);

    std::uint32_t slotSize() const { return slotSize_; }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

    // Writes the `w` x `h` pixels of `s` from (0, 0) into slot `index`.
    void putBits(int index, const Surface& s, int w, int h, bool rotatedPanel);
    void putRgb565(int index, const Surface& s, int w, int h, bool rotatedPanel);

private:
    template <class Put>
    static void walk(int w, int h, bool rotatedPanel, Put put);
    std::uint32_t slotSize_;
    std::uint32_t pageMask_;
    std::vector<std::uint8_t> bytes_;
};

} // namespace qv::items
