#include "platform/surface/bmp_file.h"

#include "platform/files/atomic_file.h"
#include "platform/surface/surface.h"

#include <cstdint>

namespace qv {
namespace {

constexpr std::int64_t kMaxBitmapBytes = std::int64_t{1} << 30;

// Field offsets of the two headers.
constexpr std::size_t kFileSize = 2, kDataOffset = 10;
constexpr std::size_t kInfoSize = 14, kWidth = 18, kHeight = 22, kPlanes = 26, kBitCount = 28;
constexpr std::size_t kHeadersSize = 54;

void put16(std::string& b, std::size_t at, std::uint16_t v)
{
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>(v >> 8);
}

void put32(std::string& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

} // namespace

std::string encodeBitmap24(const Surface& surface, const Rect& rect)
{
    const int w = rect.width(), h = rect.height();
    if (w <= 0 || h <= 0)
        return {};
    const std::int64_t padding = (4 - (3 * std::int64_t{w}) % 4) % 4;
    const std::int64_t rowBytes = 3 * std::int64_t{w} + padding;
    const std::int64_t dataSize = rowBytes * h;
    if (dataSize + static_cast<std::int64_t>(kHeadersSize) > kMaxBitmapBytes)
        return {};

    std::string out(kHeadersSize + static_cast<std::size_t>(dataSize), '\0');
    out[0] = 'B';
    out[1] = 'M';
    put32(out, kFileSize, static_cast<std::uint32_t>(kHeadersSize + dataSize));
    put32(out, kDataOffset, kHeadersSize);
    put32(out, kInfoSize, 40);
    put32(out, kWidth, static_cast<std::uint32_t>(w));
    put32(out, kHeight, static_cast<std::uint32_t>(h));
    put16(out, kPlanes, 1);
    put16(out, kBitCount, 24);

    std::size_t at = kHeadersSize;
    for (int row = h - 1; row >= 0; --row) {
        const int y = rect.top + row;
        for (int col = 0; col < w; ++col) {
            const ColorRef c = surface.getPixel(rect.left + col, y);
            const ColorRef v = c == kInvalidColor ? 0 : c;
            out[at++] = static_cast<char>(blueOf(v));
            out[at++] = static_cast<char>(greenOf(v));
            out[at++] = static_cast<char>(redOf(v));
        }
        at += static_cast<std::size_t>(padding);
    }
    return out;
}

bool SaveBitmapFile(const Surface& surface, const Rect& rect, const std::filesystem::path& path, std::string* error)
{
    const std::string bytes = encodeBitmap24(surface, rect);
    if (bytes.empty()) {
        if (error)
            *error = "empty or oversized rectangle";
        return false;
    }
    return writeFileAtomically(path, bytes, error);
}

} // namespace qv
