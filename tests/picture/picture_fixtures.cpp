#include "picture_fixtures.h"

namespace qv::test {

ColorRef patternColor(int x, int y)
{
    return rgb(x * 37 + 5, y * 53 + 11, (x ^ y) * 29 + 3);
}

ColorRef paletteColor(int index)
{
    static const ColorRef kPalette[4] = {rgb(255, 0, 0), rgb(0, 160, 0), rgb(0, 0, 255), rgb(250, 250, 250)};
    return kPalette[index & 3];
}

namespace {

Bytes bmpHeaders(int w, int h, int bits, int compression, int paletteCount, std::size_t dataSize)
{
    const std::size_t offset = 54 + 4 * static_cast<std::size_t>(paletteCount);
    Bytes out;
    out.raw("BM").u32(static_cast<std::int64_t>(offset + dataSize)).u16(0).u16(0).u32(static_cast<std::int64_t>(offset));
    out.u32(40).u32(w).u32(h).u16(1).u16(bits).u32(compression).u32(static_cast<std::int64_t>(dataSize));
    out.u32(2835).u32(2835).u32(paletteCount).u32(0);
    for (int i = 0; i < paletteCount; ++i) {
        const ColorRef c = paletteColor(i);
        out.u8(blueOf(c)).u8(greenOf(c)).u8(redOf(c)).u8(0);
    }
    return out;
}

} // namespace

std::string bmp24(int w, int h, bool topDown)
{
    const int pad = (4 - (3 * w) % 4) % 4;
    Bytes data;
    for (int i = 0; i < h; ++i) {
        const int y = topDown ? i : h - 1 - i;
        for (int x = 0; x < w; ++x) {
            const ColorRef c = patternColor(x, y);
            data.u8(blueOf(c)).u8(greenOf(c)).u8(redOf(c));
        }
        for (int p = 0; p < pad; ++p)
            data.u8(0);
    }
    Bytes out = bmpHeaders(w, topDown ? -h : h, 24, 0, 0, data.b.size());
    return out.raw(data.b).b;
}

std::string bmp8Palette(int w, int h)
{
    const int pad = (4 - w % 4) % 4;
    Bytes data;
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x)
            data.u8((x + y) % 4);
        for (int p = 0; p < pad; ++p)
            data.u8(0);
    }
    return bmpHeaders(w, h, 8, 0, 4, data.b.size()).raw(data.b).b;
}

std::string bmp8Rle(int w, int h)
{
    Bytes data;
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x)
            data.u8(1).u8((x + y) % 4); // encoded runs of one pixel
        data.u8(0).u8(0);               // end of line
    }
    data.u8(0).u8(1);                   // end of bitmap
    return bmpHeaders(w, h, 8, 1, 4, data.b.size()).raw(data.b).b;
}

std::string gifWithTransparency()
{
    Bytes g;
    g.raw("GIF89a").u16(4).u16(2).u8(0xF1).u8(0).u8(0); // global table of 4 colours
    for (int i = 0; i < 4; ++i) {
        const ColorRef c = paletteColor(i);
        g.u8(redOf(c)).u8(greenOf(c)).u8(blueOf(c));
    }
    g.u8(0x21).u8(0xF9).u8(4).u8(0x01).u16(0).u8(3).u8(0); // transparent index 3
    g.u8(0x2C).u16(0).u16(0).u16(4).u16(2).u8(0);
    // LZW with 3-bit codes: a clear code before every two literals keeps the code size fixed.
    const int pixels[8] = {0, 1, 2, 3, 3, 2, 1, 0};
    std::vector<int> codes;
    for (int i = 0; i < 8; i += 2)
        codes.insert(codes.end(), {4, pixels[i], pixels[i + 1]});
    codes.push_back(5);
    std::string packed;
    unsigned acc = 0;
    int bits = 0;
    for (int c : codes) {
        acc |= static_cast<unsigned>(c) << bits;
        bits += 3;
        while (bits >= 8) {
            packed.push_back(static_cast<char>(acc & 0xFF));
            acc >>= 8;
            bits -= 8;
        }
    }
    if (bits > 0)
        packed.push_back(static_cast<char>(acc & 0xFF));
    g.u8(2).u8(static_cast<int>(packed.size())).raw(packed).u8(0).u8(0x3B);
    return g.b;
}

WmfBody& WmfBody::record(int fn, std::initializer_list<int> words)
{
    bytes.u32(3 + static_cast<std::int64_t>(words.size())).u16(fn);
    for (int w : words)
        bytes.u16(w);
    return *this;
}

WmfBody& WmfBody::solidBrush(ColorRef c)
{
    bytes.u32(7).u16(0x02FC).u16(0).u32(c).u16(0); // style solid, colour, hatch 0
    return *this;
}

WmfBody& WmfBody::pen(int style, int width, ColorRef c)
{
    bytes.u32(8).u16(0x02FA).u16(style).u16(width).u16(0).u32(c); // style, width (x, y), colour
    return *this;
}

std::string placeableWmf(const WmfBody& body, int w, int h, int objects)
{
    Bytes out;
    out.u32(0x9AC6CDD7u).u16(0).u16(0).u16(0).u16(w).u16(h).u16(96).u32(0).u16(0);
    out.u16(1).u16(9).u16(0x300).u32(static_cast<std::int64_t>((18 + body.bytes.b.size() + 6) / 2)).u16(objects).u32(8).u16(0);
    return out.raw(body.bytes.b).u32(3).u16(0).b; // end record
}

std::string smallWmf()
{
    WmfBody body;
    body.record(0x020B, {0, 0});           // window origin
    body.record(0x020C, {50, 100});        // window extent (y, x)
    body.solidBrush(rgb(255, 0, 0));
    body.pen(5, 0, 0);                     // null pen
    body.record(0x012D, {0});              // select brush
    body.record(0x012D, {1});              // select pen
    body.record(0x041B, {30, 51, 10, 10}); // rectangle: bottom, right, top, left
    body.record(0x7777, {1, 2, 3});        // a record the player lacks: skipped
    body.pen(0, 1, rgb(0, 0, 255));
    body.record(0x012D, {2});              // select the blue pen
    body.record(0x0214, {40, 0});          // move to (0, 40)
    body.record(0x0213, {40, 100});        // line to (100, 40)
    return placeableWmf(body, 100, 50, 3);
}

} // namespace qv::test
