// Picture decoding without any Q*Application: every format the painters meet, and files
// that are cut short or claim absurd sizes.
#include "picture_fixtures.h"
#include "platform/picture/picture.h"
#include "tests/fixtures/temp_dir.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>

#include <gtest/gtest.h>

#include <fstream>

namespace qv {
namespace {

using test::paletteColor;
using test::patternColor;

std::string qtEncoded(const QImage& image, const char* format)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format)) << format;
    return data.toStdString();
}

TEST(PictureDecode, RunsWithoutAnApplicationObject)
{
    EXPECT_EQ(QCoreApplication::instance(), nullptr);
}

struct BmpCase {
    const char* name;
    std::string bytes;
    std::function<ColorRef(int, int)> expected;
};

TEST(PictureDecode, GeneratedBitmapsOfEveryLayout)
{
    const BmpCase cases[] = {
        {"24-bit bottom-up, padded rows", test::bmp24(5, 3, false), patternColor},
        {"24-bit top-down", test::bmp24(5, 3, true), patternColor},
        {"8-bit palette", test::bmp8Palette(5, 3), [](int x, int y) { return paletteColor((x + y) % 4); }},
        {"8-bit RLE", test::bmp8Rle(5, 3), [](int x, int y) { return paletteColor((x + y) % 4); }},
    };
    for (const BmpCase& c : cases) {
        std::string error;
        const PicturePtr pic = decodePicture(c.bytes, &error);
        ASSERT_TRUE(pic) << c.name << ": " << error;
        ASSERT_EQ(pic->width(), 5) << c.name;
        ASSERT_EQ(pic->height(), 3) << c.name;
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(pic->pixels.getPixel(x, y), c.expected(x, y)) << c.name << " at " << x << "," << y;
    }
}

TEST(PictureDecode, GifTransparencyIsKept)
{
    const PicturePtr pic = decodePicture(test::gifWithTransparency());
    ASSERT_TRUE(pic);
    ASSERT_EQ(pic->width(), 4);
    const int rows[2][4] = {{0, 1, 2, 3}, {3, 2, 1, 0}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) {
            const int index = rows[y][x];
            EXPECT_EQ(pic->isOpaqueAt(x, y), index != 3) << x << "," << y;
            if (index != 3)
                EXPECT_EQ(pic->pixels.getPixel(x, y), paletteColor(index));
        }
    // Drawn stretched, the transparent pixels leave the target as it was.
    Surface target(8, 4, rgb(1, 2, 3));
    drawPicture(target, *pic, {0, 0, 8, 4});
    EXPECT_EQ(target.getPixel(0, 0), paletteColor(0));
    EXPECT_EQ(target.getPixel(7, 0), rgb(1, 2, 3));
    EXPECT_EQ(target.getPixel(0, 3), rgb(1, 2, 3));
}

TEST(PictureDecode, IcoAndJpegDecode)
{
    QImage source(16, 16, QImage::Format_ARGB32);
    source.fill(qRgba(0, 0, 0, 0));
    for (int y = 4; y < 12; ++y)
        for (int x = 4; x < 12; ++x)
            source.setPixel(x, y, qRgba(200, 30, 40, 255));
    const PicturePtr ico = decodePicture(qtEncoded(source, "ICO"));
    ASSERT_TRUE(ico);
    EXPECT_FALSE(ico->isOpaqueAt(0, 0));
    EXPECT_TRUE(ico->isOpaqueAt(8, 8));
    EXPECT_EQ(ico->pixels.getPixel(8, 8), rgb(200, 30, 40));

    QImage flat(24, 16, QImage::Format_RGB32);
    flat.fill(qRgb(30, 120, 220));
    const PicturePtr jpeg = decodePicture(qtEncoded(flat, "JPEG"));
    ASSERT_TRUE(jpeg);
    EXPECT_EQ(jpeg->width(), 24);
    const ColorRef c = jpeg->pixels.getPixel(12, 8);
    EXPECT_NEAR(redOf(c), 30, 6);
    EXPECT_NEAR(greenOf(c), 120, 6);
    EXPECT_NEAR(blueOf(c), 220, 6);
}

TEST(PictureDecode, SmallMetafilePlaysThroughTheSurface)
{
    const PicturePtr pic = decodePicture(test::smallWmf());
    ASSERT_TRUE(pic);
    ASSERT_EQ(pic->width(), 100);
    ASSERT_EQ(pic->height(), 50);
    EXPECT_EQ(pic->pixels.getPixel(10, 10), rgb(255, 0, 0));
    EXPECT_EQ(pic->pixels.getPixel(49, 28), rgb(255, 0, 0));
    EXPECT_TRUE(pic->isOpaqueAt(30, 20));
    EXPECT_FALSE(pic->isOpaqueAt(50, 29));  // null pen: the fill stops one short
    EXPECT_FALSE(pic->isOpaqueAt(5, 5));    // never drawn: transparent
    EXPECT_EQ(pic->pixels.getPixel(0, 40), rgb(0, 0, 255));
    EXPECT_EQ(pic->pixels.getPixel(98, 40), rgb(0, 0, 255));
}

// Saves nest 64 deep at most: deeper ones are not kept and their restores change nothing,
// so the levels that were kept still come back in order.
TEST(PictureDecode, SaveNestingIsCapped)
{
    test::WmfBody body;
    body.record(0x020B, {0, 0}).record(0x020C, {50, 100});
    body.solidBrush(rgb(255, 0, 0)).solidBrush(rgb(0, 0, 255)).solidBrush(rgb(0, 255, 0)).pen(5, 0, 0);
    body.record(0x012D, {3}).record(0x012D, {0}); // null pen, red brush
    for (int i = 0; i < 64; ++i)
        body.record(0x001E, {});
    body.record(0x012D, {1});                                     // blue
    body.record(0x001E, {});                                      // the 65th save: not kept
    body.record(0x012D, {2});                                     // green
    body.record(0x0127, {0xFFFF}).record(0x041B, {20, 21, 10, 10}); // still green
    body.record(0x0127, {0xFFFF}).record(0x041B, {20, 41, 10, 30}); // the 64th level: red
    for (int i = 0; i < 100000; ++i)                              // a flood of saves stays bounded
        body.record(0x001E, {});
    const PicturePtr pic = decodePicture(test::placeableWmf(body, 100, 50, 4));
    ASSERT_TRUE(pic);
    EXPECT_EQ(pic->pixels.getPixel(15, 15), rgb(0, 255, 0));
    EXPECT_EQ(pic->pixels.getPixel(35, 15), rgb(255, 0, 0));
}

TEST(PictureDecode, DamagedFilesGiveNoPictureAndDoNotCrash)
{
    QImage flat(32, 32, QImage::Format_RGB32);
    flat.fill(qRgb(9, 9, 9));
    const std::string jpeg = qtEncoded(flat, "JPEG");
    const std::string bmp = test::bmp24(40, 30, false);
    const std::string gif = test::gifWithTransparency();
    const std::string wmf = test::smallWmf();

    std::string hugeBmp = test::bmp24(2, 2, false);
    hugeBmp[18] = hugeBmp[19] = hugeBmp[20] = 0x7F; // width about 8 million
    // Row bytes times height overflows 64 bits: the cut-short check must count it, not wrap.
    std::string uncountableBmp = test::bmp24(2, 2, false);
    for (int at : {18, 22})
        uncountableBmp.replace(at, 4, "\xFF\xFF\xFF\x7F");
    uncountableBmp.replace(28, 2, "\xFF\xFF"); // 65535 bits a pixel
    std::string hugeWmf = wmf;
    hugeWmf[10] = hugeWmf[11] = static_cast<char>(0x7F); // bounding box 32767 wide
    std::string lyingRecord = wmf;
    lyingRecord[22 + 18] = static_cast<char>(0xFF); // first record claims more than is there
    lyingRecord[22 + 19] = static_cast<char>(0xFF);

    const std::pair<const char*, std::string> damaged[] = {
        {"empty", ""},
        {"jpeg cut in half", jpeg.substr(0, jpeg.size() / 2)},
        {"bmp cut in half", bmp.substr(0, bmp.size() / 2)},
        {"bmp headers only", bmp.substr(0, 54)},
        {"gif without its image", gif.substr(0, 30)},
        {"wmf header only", wmf.substr(0, 30)},
        {"bmp of absurd width", hugeBmp},
        {"bmp whose size overflows the count", uncountableBmp},
        {"wmf of absurd size", hugeWmf},
        {"random bytes", std::string(300, '\x5A')},
    };
    for (const auto& [name, bytes] : damaged) {
        std::string error;
        EXPECT_FALSE(decodePicture(bytes, &error)) << name;
        EXPECT_FALSE(error.empty()) << name;
    }
    // A record that lies about its length ends play; the picture is what came before.
    const PicturePtr partial = decodePicture(lyingRecord);
    if (partial)
        EXPECT_FALSE(partial->isOpaqueAt(30, 20));
}

TEST(PictureDecode, FilesAreCachedUntilTheyChange)
{
    test::TempDir dir;
    const auto path = dir / "a.bmp";
    auto write = [&](const std::string& bytes) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    };
    write(test::bmp24(5, 3, false));
    const PicturePtr first = loadPictureFile(path);
    ASSERT_TRUE(first);
    EXPECT_EQ(loadPictureFile(path), first);
    write(test::bmp24(7, 3, false));
    std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) + std::chrono::seconds(2));
    const PicturePtr second = loadPictureFile(path);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->width(), 7);
    EXPECT_FALSE(loadPictureFile(dir / "missing.bmp"));
}

TEST(PictureDraw, OverhangingPictureKeepsItsVisiblePart)
{
    const PicturePtr pic = decodePicture(test::bmp24(4, 4, false));
    ASSERT_TRUE(pic);
    Surface target(10, 10, 0x00FFFFFF);
    drawPicture(target, *pic, {6, 6, 14, 14}); // twice the size, half outside
    EXPECT_EQ(target.getPixel(6, 6), patternColor(0, 0));
    EXPECT_EQ(target.getPixel(9, 9), patternColor(1, 1));
    EXPECT_EQ(target.getPixel(5, 5), 0x00FFFFFFu);
}

} // namespace
} // namespace qv
