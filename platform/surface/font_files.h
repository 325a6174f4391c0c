#pragma once
// Which pinned font file draws a LOGFONT face name. Every Chinese face and the empty name
// map to one CJK face (with embedded bitmap strikes at the small sizes); Latin faces map to
// the DejaVu family closest in style. Paths and face indexes are fixed so that every
// machine with the same Debian packages draws the same pixels.
#include <string>
#include <string_view>

namespace qv {

struct FontFile {
    const char* path;
    int faceIndex;
};

enum class FaceRole {
    Cjk,        // full-width cell font: em = cell height
    Latin,      // em scaled so ascent + descent = cell height
};

struct FaceChoice {
    FontFile regular;
    FontFile bold;          // same as regular when only synthetic bold exists
    FaceRole role;
    bool syntheticBold;     // bold drawn by widening the regular glyphs one pixel
};

// The face for a GBK face name (case-insensitive for Latin names).
const FaceChoice& chooseFace(std::string_view gbkFaceName);

// The CJK face, also the fallback for characters a Latin face lacks.
const FaceChoice& cjkFace();

} // namespace qv
