#pragma once
// The four mouse cursors of the panel: each stored once per horizontal shift (copy m shows
// the cursor m pixels to the right), so the panel can place it at any x without shifting
// pixels itself. The cursor table is the first 32 bytes of the header area.
#include "compiler/compile/compile_context.h"
#include "model/paint/paint_context.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace qv::screen {

inline constexpr int kCursorCount = 4;
inline constexpr std::uint32_t kCursorEntrySize = 8;   // {u32 offset, byte w, byte h, u16 length}

struct CursorEntry {
    std::uint32_t offset = 0;
    std::uint8_t width = 0;
    std::uint8_t height = 0;
    std::uint16_t length = 0;   // bytes of one copy
};

struct CursorData {
    std::array<CursorEntry, kCursorCount> entries{};
    std::vector<std::uint8_t> bytes;   // page-padded, written at the image position
};

// Builds the cursor data from the four pictures (nullopt when one is missing or larger than
// a byte can describe). `filePosition` is where the data will be written (a page start).
std::optional<CursorData> buildCursorData(const std::array<PicturePtr, kCursorCount>& cursors,
                                          std::uint64_t filePosition, std::uint32_t pageMask, bool rotated);

// Loads "images\cur\cur0.bmp" .. "cur3.bmp" under `baseDir`, writes their data and the cursor
// table. When a cursor cannot be loaded the table stays zero and nothing is written, so the
// table never describes data that is not there.
void compileCursorPictures(compile::CompileContext& ctx, const PictureLoader& load, const std::filesystem::path& baseDir);

} // namespace qv::screen
