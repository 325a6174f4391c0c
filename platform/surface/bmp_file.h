#pragma once
// Writes a rectangle of a Surface as a 24-bit bottom-up BMP file.
#include "platform/surface/geometry.h"

#include <filesystem>
#include <string>

namespace qv {

class Surface;

// The rectangle's pixels as a whole BMP file (54-byte headers, rows bottom-up, BGR, rows
// padded to 4 bytes). Pixels of the rectangle that lie outside the surface are black.
// Empty when the width or height is not positive or the image would be unreasonably large.
std::string encodeBitmap24(const Surface& surface, const Rect& rect);

// Writes encodeBitmap24 atomically over `path`. Nothing is written (false) for an empty
// rectangle; a file that cannot be written leaves any old file untouched (false, `error` set).
bool SaveBitmapFile(const Surface& surface, const Rect& rect, const std::filesystem::path& path,
                    std::string* error = nullptr);

} // namespace qv
