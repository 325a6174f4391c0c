#include "picture_tool/picture/picture_record.h"

#include "compiler/image/le_bytes.h"
#include "platform/pixels/page_stream.h"
#include "platform/text/gbk.h"

#include <algorithm>

namespace qv::picture_tool {
std::uint64_t recordLength(std::uint32_t width, std::uint32_t height, const FlashGeometry& g)
{
    const std::uint64_t pixels = std::uint64_t{2} * width * height;
    const std::uint64_t raw = pixels + pixels / (g.page - 1) + 8;
    const std::uint64_t unit = g.allocUnit();
    return (raw + unit - 1) / unit * unit;
}

std::vector<std::uint8_t> pictureRecord(const Surface& picture, const FlashGeometry& g, WhiteRule white,
                                        std::string* error)
{
    const int w = picture.width();
    const int h = std::min(picture.height(), kMaxPictureRows);
    if (w > kMaxPictureWidth) {
        if (error)
            *error = "picture wider than 65535 pixels";
        return {};
    }
    const std::uint64_t length = recordLength(static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h), g);
    pixels::PageStream out(0, g.pageMask());
    out.reserve(static_cast<std::size_t>(length));
    for (int y = h - 1; y >= 0; --y)
        for (int x = 0; x < w; ++x) {
            std::uint16_t v = pixels::toRgb565(picture.getPixel(x, y));
            if (white == WhiteRule::Packed && v == 0xFFFF)
                v = 0xFFDF;
            out.putPixel(v);
        }
    std::vector<std::uint8_t> record = out.take();
    record.resize(static_cast<std::size_t>(length), pixels::kPageStartByte);
    return record;
}

DirectoryEntry entryAt(std::uint32_t address, std::uint32_t width, std::uint32_t height, const FlashGeometry& g)
{
    DirectoryEntry e;
    e.unit = static_cast<std::uint16_t>(address >> g.unitShift);
    e.width = static_cast<std::uint16_t>(width);
    e.heightWord = static_cast<std::uint16_t>(height + ((address >> g.allocShift) & g.pageInUnitMask) * 4096);
    return e;
}

std::uint32_t entryAddress(std::uint16_t unit, std::uint16_t heightWord, const FlashGeometry& g)
{
    return (std::uint32_t{unit} << g.unitShift) + ((std::uint32_t{heightWord} >> 12 & g.pageInUnitMask) << g.allocShift);
}

void putEntry(std::span<std::uint8_t> block, std::size_t index, const DirectoryEntry& e)
{
    const std::size_t at = 24 * index;
    image::putU16(block, at, static_cast<std::uint16_t>(e.unit + e.width + e.heightWord));
    image::putU16(block, at + 2, e.unit);
    image::putU16(block, at + 4, e.width);
    image::putU16(block, at + 6, e.heightWord);
    std::fill_n(block.begin() + static_cast<std::ptrdiff_t>(at + 8), 16, 0);
    std::copy_n(e.name.begin(), std::min<std::size_t>(e.name.size(), 15), block.begin() + static_cast<std::ptrdiff_t>(at + 8));
}

std::vector<std::uint8_t> emptyDirectory(const FlashGeometry& g, std::uint16_t count)
{
    std::vector<std::uint8_t> b(g.block, 0);
    b[g.block - 1] = 0xA5;
    b[g.block - 2] = 'Z';
    image::putU16(b, g.block - 6, count);
    return b;
}

void putDirectoryEnd(std::span<std::uint8_t> block, std::uint32_t endAddress)
{
    image::putU32(block, block.size() - 12, endAddress);
}

std::string baseName(const std::string& path)
{
    const auto cut = path.find_last_of("\\/");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string gbkPath(const std::filesystem::path& host)
{
    return utf8ToGbk(host.string()).value_or(host.string());
}

std::string picHeaderStart()
{
    return "//下面是图片的排序号。它是一个头文件，需将其加入到您的程序中。\r\n";
}

std::string picHeaderLine(const std::string& path, std::size_t position)
{
    std::string name = baseName(path);
    if (const auto dot = name.find_last_of('.'); dot != std::string::npos)
        name.resize(dot);
    return "#define        " + gbkPath(name) + std::string(14, ' ') + std::to_string(position) + "\r\n";
}

} // namespace qv::picture_tool
