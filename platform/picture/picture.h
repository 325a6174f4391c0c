#pragma once
// Picture decoding: files into Pictures (platform/surface/picture_image.h), once per file
// (content-sniffed, never rotated by EXIF data, size-capped). Needs no Q*Application.
#include "platform/surface/picture_image.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// Limits on what a picture file may ask of us.
constexpr std::int64_t kMaxPictureFileBytes = std::int64_t{64} << 20;
constexpr int kMaxPictureSide = 16384;
constexpr std::int64_t kMaxPicturePixels = std::int64_t{4096} * 4096;

// nullptr with `error` set for anything that is not a whole, decodable, reasonably sized
// picture (BMP of every depth and RLE, JPEG, GIF, ICO, PNG, WMF).
PicturePtr decodePicture(std::string_view bytes, std::string* error = nullptr);

// decodePicture of a file, cached by path, size and modification time (thread-safe).
PicturePtr loadPictureFile(const std::filesystem::path& path, std::string* error = nullptr);

} // namespace qv
