// Picture tiles and the RGB565 pixel stream, checked against bytes worked out by hand.
#include "compiler/tiles/picture_tiles.h"
#include "platform/surface/surface.h"

#include <gtest/gtest.h>

namespace qv::tiles {
namespace {

struct SplitCase {
    Rect rect;
    std::vector<int> widths;    // of the first row
    std::vector<int> heights;   // of the first column
};

TEST(TilesSplit, ColumnsAndRowsShareTheRemainder)
{
    const SplitCase cases[] = {
        {{38, 38, 838, 518}, {266, 266, 268}, {240, 240}},
        {{0, 0, 1, 1}, {1}, {1}},
        {{0, 0, 360, 256}, {360}, {256}},
        {{0, 0, 361, 257}, {180, 181}, {128, 129}},
        {{0, 0, 1024, 768}, {341, 341, 342}, {256, 256, 256}},
    };
    for (const auto& c : cases) {
        const auto tiles = splitPictureTiles(c.rect);
        ASSERT_TRUE(tiles);
        ASSERT_EQ(tiles->size(), c.widths.size() * c.heights.size());
        int x = c.rect.left;
        for (std::size_t i = 0; i < c.widths.size(); ++i) {
            EXPECT_EQ((*tiles)[i].x, x);
            EXPECT_EQ((*tiles)[i].width, c.widths[i]);
            x += c.widths[i];
        }
        EXPECT_EQ(x, c.rect.right);
        int y = c.rect.top;
        for (std::size_t j = 0; j < c.heights.size(); ++j) {
            const auto& t = (*tiles)[j * c.widths.size() + c.widths.size() - 1];
            EXPECT_EQ(t.y, y);
            EXPECT_EQ(t.height, c.heights[j]);
            y += c.heights[j];
        }
        EXPECT_EQ(y, c.rect.bottom);
    }
}

TEST(TilesSplit, PicturesBeyondTheTableAreRefused)
{
    EXPECT_FALSE(splitPictureTiles({0, 0, 27 * 360 + 27, 10}));      // 28 columns
    EXPECT_FALSE(splitPictureTiles({0, 0, 10, 27 * 256 + 27}));      // 28 rows
    EXPECT_FALSE(splitPictureTiles({0, 0, 27 * 360, 10 * 256}));     // 270 tiles
    EXPECT_TRUE(splitPictureTiles({0, 0, 15 * 360, 17 * 256}));      // 255 tiles
}

std::vector<std::uint8_t> streamOf(const Surface& s, const Rect& r, bool rotated, std::uint64_t start = 0,
                                   std::uint32_t pageMask = 511)
{
    PageStream out(start, pageMask);
    out.putRaw(kPageStartByte);
    EXPECT_TRUE(writePixelsRGB565(out, s, r, rotated, nullptr));
    out.padToPage();
    return out.bytes();
}

TEST(TilesStream, RowsBottomUpLowByteFirst)
{
    // 2 x 2: top row red, blue; bottom row green, white-ish.
    Surface s(2, 2);
    s.setPixel(0, 0, rgb(255, 0, 0));
    s.setPixel(1, 0, rgb(0, 0, 255));
    s.setPixel(0, 1, rgb(0, 255, 0));
    s.setPixel(1, 1, rgb(0x12, 0x34, 0x56));
    const auto bytes = streamOf(s, {0, 0, 2, 2}, false);
    ASSERT_EQ(bytes.size(), 512u);
    // 0x123456 -> (0x10 << 8) | (0x34 << 3) | (0x56 >> 3) = 0x11AA.
    const std::vector<std::uint8_t> head{0x82, 0xE0, 0x07, 0xAA, 0x11, 0x00, 0xF8, 0x1F, 0x00};
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 9), head);
    for (std::size_t i = 9; i < bytes.size(); ++i)
        ASSERT_EQ(bytes[i], 0x82) << i;

    const auto rotated = streamOf(s, {0, 0, 2, 1}, true);
    const std::vector<std::uint8_t> rotatedHead{0x82, 0x1F, 0x00, 0x00, 0xF8};   // right pixel first
    EXPECT_EQ(std::vector<std::uint8_t>(rotated.begin(), rotated.begin() + 5), rotatedHead);
}

TEST(TilesStream, OnePixelFillsOnePageAndKeyColoursConvert)
{
    Surface s(1, 1, kKeyColor);
    auto bytes = streamOf(s, {0, 0, 1, 1}, false);
    ASSERT_EQ(bytes.size(), 512u);
    EXPECT_EQ(bytes[1], 0xFF);
    EXPECT_EQ(bytes[2], 0xFF);
    EXPECT_EQ(toRgb565(kSubstituteColor), 0xFFDF);

    bytes = streamOf(s, {0, 0, 1, 1}, false, 0, 2047);
    EXPECT_EQ(bytes.size(), 2048u);
}

TEST(TilesStream, NoPixelByteSitsOnAPageStart)
{
    Surface s(1, 1, rgb(0x12, 0x34, 0x56));
    // The tile opens at 510: 0x82 at 510, low byte at 511, the page at 512 starts with 0x82.
    const auto bytes = streamOf(s, {0, 0, 1, 1}, false, 510);
    ASSERT_EQ(bytes.size(), 2u + 512u);
    EXPECT_EQ(bytes[0], 0x82);
    EXPECT_EQ(bytes[1], 0xAA);
    EXPECT_EQ(bytes[2], 0x82);
    EXPECT_EQ(bytes[3], 0x11);
}

TEST(TilesStream, AbortStopsBeforeTheNextRow)
{
    Surface s(4, 4);
    PageStream out(0, 511);
    int rows = 0;
    EXPECT_FALSE(writePixelsRGB565(out, s, {0, 0, 4, 4}, false, [&] { return ++rows > 2; }));
    EXPECT_EQ(out.bytes().size(), 1u + 2u * 4u * 2u);   // position 0 is a page start
}

TEST(TilesWrite, TableHoldsLengthOffsetsAndPanelCoordinates)
{
    Surface s(500, 60, rgb(0, 0, 0));
    auto tiles = splitPictureTiles({40, 50, 440, 51});   // 400 x 1: two tiles of 200
    ASSERT_TRUE(tiles);
    PageStream out(4096, 511);
    const auto length = writePictureTiles(out, s, *tiles, {38, 38}, false, nullptr);
    ASSERT_TRUE(length);
    // 2 x (1 + 400) bytes and one 0x82 for the page start at 4096 + 512 = 802 + 1 -> 1024.
    EXPECT_EQ(*length, 1024u);
    EXPECT_EQ(out.bytes().size(), 1024u);

    std::vector<std::uint8_t> table(32, 0xEE);
    storeTileTable(table, *tiles);
    const std::vector<std::uint8_t> expected{
        0x00, 0x04, 0x00, 0x00, 2, 0, 12, 0, 200, 0, 1, 0, 2, 0, 0, 0,
        0x91, 0x01, 0x00, 0x00, 202, 0, 12, 0, 200, 0, 1, 0, 2, 0, 0, 0,
    };
    EXPECT_EQ(table, expected);
}

} // namespace
} // namespace qv::tiles
