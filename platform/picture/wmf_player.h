#pragma once
// Windows metafiles played through our own Surface: their records are the drawing calls
// the Surface has. Records the Surface lacks are skipped; every record length, object
// index and point count is checked against the bytes that are there.
#include "platform/surface/surface.h"

#include <optional>
#include <string_view>

namespace qv {

bool looksLikeWmf(std::string_view bytes);

// The picture's own size in pixels at 96 dpi (from the placeable header, else from the
// window extent); nullopt when the file is not a well-formed metafile.
std::optional<Size> wmfNaturalSize(std::string_view bytes);

// Plays the records into `target`, mapping the metafile's window onto `dst`.
// False when the headers are malformed (nothing drawn).
bool playWmf(std::string_view bytes, Surface& target, const Rect& dst);

} // namespace qv
