#include "compiler/screen/cursor_pictures.h"

#include "compiler/compile/compile_options.h"
#include "compiler/compile/compile_texts.h"
#include "compiler/image/le_bytes.h"
#include "compiler/tiles/pixel_stream.h"
#include "platform/files/stored_path.h"
#include "platform/surface/surface.h"

#include <fmt/format.h>

namespace qv::screen {

std::optional<CursorData> buildCursorData(const std::array<PicturePtr, kCursorCount>& cursors,
                                          std::uint64_t filePosition, std::uint32_t pageMask, bool rotated)
{
    CursorData data;
    tiles::PageStream stream(0, pageMask);   // the data starts at a page start
    for (int k = 0; k < kCursorCount; ++k) {
        const PicturePtr& picture = cursors[static_cast<std::size_t>(k)];
        if (!picture || picture->width() <= 0 || picture->height() <= 0 || picture->width() > 255 ||
            picture->height() > 255)
            return std::nullopt;
        const int w = picture->width();
        const int h = picture->height();
        // Key colour on the left of the cursor: copy m starts m pixels into that margin.
        Surface canvas(2 * w, h, tiles::kKeyColor);
        drawPicture(canvas, *picture, Rect{w, 0, 2 * w, h});

        CursorEntry& e = data.entries[static_cast<std::size_t>(k)];
        e.width = static_cast<std::uint8_t>(w);
        e.height = static_cast<std::uint8_t>(h);
        e.offset = static_cast<std::uint32_t>(filePosition + stream.position());
        if (k > 0)
            e.offset -= data.entries[0].offset;
        for (int m = 0; m < w; ++m) {
            const std::uint64_t copyStart = stream.position();
            stream.putRaw(tiles::kPageStartByte);
            tiles::writePixelsRGB565(stream, canvas, Rect{w - m, 0, 2 * w - m, h}, rotated, nullptr);
            e.length = static_cast<std::uint16_t>(stream.position() - copyStart);
            while (stream.position() % 4 != 0)
                stream.putRaw(tiles::kPageStartByte);
        }
    }
    stream.padToPage();
    data.entries[0].offset = static_cast<std::uint32_t>(stream.position());
    data.bytes = stream.bytes();
    return data;
}

void compileCursorPictures(compile::CompileContext& ctx, const PictureLoader& load, const std::filesystem::path& baseDir)
{
    if (!load)
        return;
    const std::filesystem::path base = baseDir.empty() ? std::filesystem::path(".") : baseDir;
    std::array<PicturePtr, kCursorCount> cursors;
    for (int k = 0; k < kCursorCount; ++k) {
        const std::string stored = fmt::format("images\\cur\\cur{}.bmp", k);
        const auto file = resolveStoredPath(base, stored);
        if (!file)
            return;
        cursors[static_cast<std::size_t>(k)] = load(*file);
    }
    const bool rotated = image::getU32(ctx.input().settings, compile::opt::LcdRotated) != 0;
    const auto data = buildCursorData(cursors, ctx.file().size(), ctx.geometry().pageMask, rotated);
    if (!data)
        return;
    if (!ctx.file().append(data->bytes)) {
        ctx.fail(compile::text::kDiskFull);
        return;
    }
    auto table = ctx.header().bytes();
    for (int k = 0; k < kCursorCount; ++k) {
        const CursorEntry& e = data->entries[static_cast<std::size_t>(k)];
        const std::size_t at = kCursorEntrySize * static_cast<std::size_t>(k);
        image::putU32(table, at, e.offset);
        image::putU8(table, at + 4, e.width);
        image::putU8(table, at + 5, e.height);
        image::putU16(table, at + 6, e.length);
    }
    ctx.addPictures(kCursorCount);
}

} // namespace qv::screen
