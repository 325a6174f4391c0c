#include "compiler/tiles/picture_tiles.h"

#include "compiler/image/le_bytes.h"

#include <algorithm>

namespace qv::tiles {
namespace {

struct Split {
    int count;
    int size;
};

// The fewest equal parts (at most 27) whose size fits the limit.
std::optional<Split> splitLength(int length, int limit)
{
    for (int parts = 1; parts <= kMaxTileSplits; ++parts)
        if (length / parts <= limit)
            return Split{parts, length / parts};
    return std::nullopt;
}

} // namespace

std::optional<std::vector<PictureTile>> splitPictureTiles(const Rect& r)
{
    const int w = std::max(0, r.width());
    const int h = std::max(0, r.height());
    const auto cols = splitLength(w, kMaxTileWidth);
    const auto rows = splitLength(h, kMaxTileHeight);
    if (!cols || !rows || cols->count * rows->count > kMaxTiles)
        return std::nullopt;

    std::vector<PictureTile> tiles;
    tiles.reserve(static_cast<std::size_t>(cols->count * rows->count));
    for (int row = 0; row < rows->count; ++row) {
        for (int col = 0; col < cols->count; ++col) {
            PictureTile t;
            t.x = r.left + col * cols->size;
            t.y = r.top + row * rows->size;
            t.width = std::min(cols->size, r.right - t.x);
            t.height = std::min(rows->size, r.bottom - t.y);
            tiles.push_back(t);
        }
    }
    auto at = [&](int row, int col) -> PictureTile& { return tiles[static_cast<std::size_t>(row * cols->count + col)]; };
    // Integer division leaves the remainder uncovered: the last two tiles of each row (and
    // of each column) share the rest of the rectangle.
    if (cols->count > 1) {
        for (int row = 0; row < rows->count; ++row) {
            PictureTile& a = at(row, cols->count - 2);
            PictureTile& b = at(row, cols->count - 1);
            a.width = (a.width + b.width) / 2;
            b.x = a.x + a.width;
            b.width = r.right - b.x;
        }
    }
    if (rows->count > 1) {
        for (int col = 0; col < cols->count; ++col) {
            PictureTile& a = at(rows->count - 2, col);
            PictureTile& b = at(rows->count - 1, col);
            a.height = (a.height + b.height) / 2;
            b.y = a.y + a.height;
            b.height = r.bottom - b.y;
        }
    }
    return tiles;
}

std::optional<std::uint32_t> writePictureTiles(PageStream& out, const Surface& s, std::vector<PictureTile>& tiles,
                                               Point margins, bool rotated, const AbortCheck& aborted)
{
    const std::uint64_t start = out.position();
    for (PictureTile& t : tiles) {
        t.offset = static_cast<std::uint32_t>(out.position() - start);
        out.putRaw(kPageStartByte);
        if (!writePixelsRGB565(out, s, Rect{t.x, t.y, t.x + t.width, t.y + t.height}, rotated, aborted))
            return std::nullopt;
        t.x -= margins.x;
        t.y -= margins.y;
    }
    out.padToPage();
    const auto length = static_cast<std::uint32_t>(out.position() - start);
    if (!tiles.empty())
        tiles.front().offset = length;
    return length;
}

void storeTileTable(std::span<std::uint8_t> out, std::span<const PictureTile> tiles)
{
    using namespace qv::image;
    for (std::size_t k = 0; k < tiles.size(); ++k) {
        const std::size_t e = k * kTileEntrySize;
        const PictureTile& t = tiles[k];
        putU32(out, e + 0, t.offset);
        putU16(out, e + 4, static_cast<std::uint16_t>(t.x));
        putU16(out, e + 6, static_cast<std::uint16_t>(t.y));
        putU16(out, e + 8, static_cast<std::uint16_t>(t.width));
        putU16(out, e + 10, static_cast<std::uint16_t>(t.height));
        putU8(out, e + 12, kTileMarker);
        putLe(out, e + 13, 0, 3);
    }
}

} // namespace qv::tiles
