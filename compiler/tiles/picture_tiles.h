#pragma once
// A rendered rectangle cut into the tiles the panel can show, the tile table that describes
// them inside an item, and the pixel stream of all tiles.
#include "compiler/tiles/page_stream.h"
#include "compiler/tiles/pixel_stream.h"
#include "platform/surface/geometry.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace qv::tiles {

inline constexpr int kMaxTileWidth = 360;
inline constexpr int kMaxTileHeight = 256;
inline constexpr int kMaxTileSplits = 27;    // columns, and rows
inline constexpr int kMaxTiles = 255;        // the count is a byte
inline constexpr std::uint32_t kTileEntrySize = 16;
inline constexpr std::uint8_t kTileMarker = 2;   // entry byte +12

// Said when a picture would need more tiles than a table can hold.
inline constexpr const char* kTooManyTilesMessage = "Error_88";

struct PictureTile {
    std::uint32_t offset = 0;   // entry 0: the picture's data length; others: from tile 0's data
    int x = 0;                  // canvas coordinates until written, then panel coordinates
    int y = 0;
    int width = 0;
    int height = 0;
};

// The tiles of `r` (canvas coordinates), row by row. nullopt when the rectangle needs more
// than 27 columns or rows or more than 255 tiles: such a picture cannot be described.
std::optional<std::vector<PictureTile>> splitPictureTiles(const Rect& r);

// Writes every tile (0x82, its pixels), pads to the page end, fills in the data offsets
// and turns the tiles into panel coordinates (minus `margins`). Returns the data length
// (which is also tile 0's offset), or nullopt when `aborted` stopped it.
std::optional<std::uint32_t> writePictureTiles(PageStream& out, const Surface& s, std::vector<PictureTile>& tiles,
                                               Point margins, bool rotated, const AbortCheck& aborted);

// The 16-byte entries of the table at `out` (room for tiles.size() entries).
void storeTileTable(std::span<std::uint8_t> out, std::span<const PictureTile> tiles);

} // namespace qv::tiles
