#include "picture_tool/packed/packed_file.h"

#include "compiler/image/le_bytes.h"
#include "picture_tool/picture/picture_record.h"

#include <array>

namespace qv::picture_tool {
namespace {

constexpr std::array<std::pair<std::uint16_t, std::uint16_t>, 23> kCells{{
    {12, 12}, {6, 12}, {16, 16}, {8, 16}, {24, 24}, {12, 24}, {32, 32}, {16, 32}, {40, 40}, {20, 40}, {48, 48}, {24, 48},
    {64, 64}, {32, 64}, {6, 12}, {8, 16}, {12, 24}, {16, 32}, {20, 40}, {24, 48}, {32, 64}, {0, 0}, {2, 2},
}};

} // namespace

std::pair<std::uint16_t, std::uint16_t> fixedFontCell(int slot)
{
    return slot >= 0 && slot < static_cast<int>(kCells.size()) ? kCells[static_cast<std::size_t>(slot)]
                                                              : std::pair<std::uint16_t, std::uint16_t>{0, 0};
}

std::optional<PackedContents> readPackedHeader(std::span<const std::uint8_t> header, std::uint64_t fileSize,
                                               std::string* error)
{
    const auto fail = [&]() -> std::optional<PackedContents> {
        if (error)
            *error = "PicZiku.zip文件出错";
        return std::nullopt;
    };
    if (header.size() < kPackedHeader || fileSize < kPackedHeader)
        return fail();
    PackedContents c;
    c.baud = header[kPackedBaudAt];
    c.flashType = header[kPackedFlashTypeAt];
    const auto g = flashGeometry(c.flashType);
    if (!g)
        return fail();
    c.geometry = *g;
    std::uint64_t expected = kPackedHeader;
    const auto entries = static_cast<std::size_t>(g->directoryCapacity());
    for (std::size_t i = 0; i < entries; ++i) {
        const std::uint16_t unit = image::getU16(header, 24 * i + 2);
        if (unit == 0)
            break;
        const std::uint16_t width = image::getU16(header, 24 * i + 4);
        const std::uint16_t heightWord = image::getU16(header, 24 * i + 6);
        PackedPicture p{entryAddress(unit, heightWord, *g), 0, width, static_cast<std::uint16_t>(heightWord & 0xFFF)};
        p.length = recordLength(p.width, p.height, *g);
        if (p.height > kMaxPictureRows || p.offset != expected || p.offset + p.length > fileSize)
            return fail();
        expected += p.length;
        c.pictures.push_back(p);
    }
    for (int n = 0; n < kFontSlots; ++n) {
        const std::size_t at = kPackedFontTable + 12 * static_cast<std::size_t>(n);
        PackedFont f{n, image::getU32(header, at), image::getU32(header, at + 8), image::getU16(header, at + 4),
                     image::getU16(header, at + 6)};
        if (f.length == 0)
            continue;
        if (f.offset < expected || f.offset + f.length > fileSize)
            return fail();
        expected = f.offset + f.length;
        c.fonts.push_back(f);
    }
    return c;
}

std::vector<std::uint8_t> buildPackedFile(const PackInput& in, const FlashGeometry& g)
{
    std::vector<std::uint8_t> file(kPackedHeader, 0);
    file[kPackedBaudAt] = in.baud;
    file[kPackedFlashTypeAt] = static_cast<std::uint8_t>(g.type);
    for (std::size_t i = 0; i < in.pictures.size(); ++i) {
        const Surface& s = *in.pictures[i];
        const auto record = pictureRecord(s, g, WhiteRule::Packed);
        DirectoryEntry e = entryAt(static_cast<std::uint32_t>(file.size()), static_cast<std::uint32_t>(s.width()),
                                   static_cast<std::uint32_t>(std::min(s.height(), kMaxPictureRows)), g);
        image::putU16(file, 24 * i + 2, e.unit);
        image::putU16(file, 24 * i + 4, e.width);
        image::putU16(file, 24 * i + 6, e.heightWord);
        file.insert(file.end(), record.begin(), record.end());
    }
    for (int n = 0; n < kFontSlots; ++n) {
        const auto [w, h] = fixedFontCell(n);
        image::putU16(file, kPackedFontTable + 12 * static_cast<std::size_t>(n) + 4, w);
        image::putU16(file, kPackedFontTable + 12 * static_cast<std::size_t>(n) + 6, h);
    }
    for (const FontFile& f : in.fonts) {
        const std::size_t at = kPackedFontTable + 12 * static_cast<std::size_t>(f.slot);
        std::span<const std::uint8_t> data = f.bytes;
        if (f.slot >= 28) {
            if (data.size() < 4)
                continue;
            image::putU16(file, at + 4, image::getU16(data, 0));
            image::putU16(file, at + 6, image::getU16(data, 2));
            data = data.subspan(4);
        }
        const auto length = static_cast<std::uint32_t>(g.roundToPages(data.size()));
        image::putU32(file, at, static_cast<std::uint32_t>(file.size()));
        image::putU32(file, at + 8, length);
        file.insert(file.end(), data.begin(), data.end());
        file.resize(file.size() + (length - data.size()), 0);
    }
    return file;
}

} // namespace qv::picture_tool
