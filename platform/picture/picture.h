#pragma once
// Decoded pictures: the pixels in a Surface plus which of them are opaque. Decoded once
// (content-sniffed, never rotated by EXIF data, size-capped) and drawn stretched with
// nearest-neighbour sampling. Needs no Q*Application.
#include "platform/surface/surface.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

struct Picture {
    Surface pixels;
    std::vector<std::uint8_t> opaque;  // one per pixel; empty when every pixel is opaque
    int width() const { return pixels.width(); }
    int height() const { return pixels.height(); }
    bool isOpaqueAt(int x, int y) const
    {
        return opaque.empty() || opaque[static_cast<std::size_t>(y) * pixels.width() + x] != 0;
    }
};

using PicturePtr = std::shared_ptr<const Picture>;

// Limits on what a picture file may ask of us.
constexpr std::int64_t kMaxPictureFileBytes = std::int64_t{64} << 20;
constexpr int kMaxPictureSide = 16384;
constexpr std::int64_t kMaxPicturePixels = std::int64_t{4096} * 4096;

// nullptr with `error` set for anything that is not a whole, decodable, reasonably sized
// picture (BMP of every depth and RLE, JPEG, GIF, ICO, PNG, WMF).
PicturePtr decodePicture(std::string_view bytes, std::string* error = nullptr);

// decodePicture of a file, cached by path, size and modification time (thread-safe).
PicturePtr loadPictureFile(const std::filesystem::path& path, std::string* error = nullptr);

// Stretches the picture over `dst` (nearest neighbour); transparent pixels leave the target
// as it was. Clipped by the target's clip rectangle, so a picture overhanging the surface
// keeps its visible part.
void drawPicture(Surface& target, const Picture& picture, const Rect& dst);

} // namespace qv
