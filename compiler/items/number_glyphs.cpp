#include "compiler/items/number_glyphs.h"

#include "compiler/tiles/page_stream.h"
#include "compiler/tiles/pixel_stream.h"

namespace qv::items {

GlyphTable::GlyphTable(int slots, std::uint32_t slotSize, std::uint32_t pageMask)
    : slotSize_(slotSize), pageMask_(pageMask),
      bytes_(((std::uint64_t{slotSize} * static_cast<std::uint64_t>(slots) + pageMask) & ~std::uint64_t{pageMask}),
             tiles::kPageStartByte)
{
}

template <class Put>
void GlyphTable::walk(int w, int h, bool rotatedPanel, Put put)
{
    if (rotatedPanel) {
        for (int x = w - 1; x >= 0; --x)
            for (int y = h - 1; y >= 0; --y)
                put(x, y);
    } else {
        for (int y = h - 1; y >= 0; --y)
            for (int x = 0; x < w; ++x)
                put(x, y);
    }
}

namespace {

// Byte positions of one slot's data: from its second byte on, page starts left out, never
// past the slot.
class SlotCursor {
public:
    SlotCursor(std::vector<std::uint8_t>& bytes, std::size_t slotStart, std::size_t slotEnd, std::uint32_t pageMask)
        : bytes_(bytes), pos_(slotStart + 1), end_(slotEnd), pageMask_(pageMask)
    {
    }
    std::uint8_t* next()
    {
        while (pos_ < end_ && (pos_ & pageMask_) == 0)
            ++pos_;
        return pos_ < end_ ? &bytes_[pos_++] : nullptr;
    }

private:
    std::vector<std::uint8_t>& bytes_;
    std::size_t pos_, end_;
    std::uint32_t pageMask_;
};

} // namespace

void GlyphTable::putBits(int index, const Surface& s, int w, int h, bool rotatedPanel)
{
    const std::size_t start = std::size_t{slotSize_} * static_cast<std::size_t>(index);
    SlotCursor cursor(bytes_, start, start + slotSize_, pageMask_);
    std::uint8_t acc = 0;
    int bits = 0;
    const auto flush = [&] {
        if (std::uint8_t* p = cursor.next())
            *p = static_cast<std::uint8_t>(acc << (8 - bits));
        acc = 0;
        bits = 0;
    };
    walk(w, h, rotatedPanel, [&](int x, int y) {
        acc = static_cast<std::uint8_t>((acc << 1) | (s.getPixel(x, y) != 0 ? 1 : 0));
        if (++bits == 8)
            flush();
    });
    if (bits > 0)
        flush();
}

void GlyphTable::putRgb565(int index, const Surface& s, int w, int h, bool rotatedPanel)
{
    const std::size_t start = std::size_t{slotSize_} * static_cast<std::size_t>(index);
    SlotCursor cursor(bytes_, start, start + slotSize_, pageMask_);
    walk(w, h, rotatedPanel, [&](int x, int y) {
        const std::uint16_t c = tiles::toRgb565(s.getPixel(x, y));
        for (std::uint8_t b : {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8)})
            if (std::uint8_t* p = cursor.next())
                *p = b;
    });
}

} // namespace qv::items
