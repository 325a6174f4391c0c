#pragma once
// Small picture files built byte by byte, so the decoders are checked against files we
// did not write with the same library.
#include "platform/surface/color.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace qv::test {

struct Bytes {
    std::string b;
    Bytes& u8(int v) { b.push_back(static_cast<char>(v & 0xFF)); return *this; }
    Bytes& u16(int v) { return u8(v).u8(v >> 8); }
    Bytes& u32(std::int64_t v) { return u16(static_cast<int>(v & 0xFFFF)).u16(static_cast<int>((v >> 16) & 0xFFFF)); }
    Bytes& raw(const std::string& s) { b += s; return *this; }
};

// A w x h image whose pixel (x, y) has a colour from a fixed pattern.
ColorRef patternColor(int x, int y);

std::string bmp24(int w, int h, bool topDown);
std::string bmp8Palette(int w, int h);        // palette index = (x + y) % 4
std::string bmp8Rle(int w, int h);            // same pixels as bmp8Palette, RLE8-encoded
ColorRef paletteColor(int index);

// 4 x 2 GIF89a with palette {red, green, blue, white}; index 3 is transparent.
// Row 0: 0 1 2 3, row 1: 3 2 1 0.
std::string gifWithTransparency();

// Metafile records, wrapped by placeableWmf in a header for a w x h box (plus the end record).
struct WmfBody {
    Bytes bytes;
    WmfBody& record(int fn, std::initializer_list<int> words);
    WmfBody& solidBrush(ColorRef c);
    WmfBody& pen(int style, int width, ColorRef c);
};
std::string placeableWmf(const WmfBody& body, int w, int h, int objects);

// Placeable metafile 100 x 50 px: white background box with a red filled rectangle
// covering (10,10)-(50,30) with a null pen, and a blue 1-px line from (0,40) to (99,40).
std::string smallWmf();

} // namespace qv::test
