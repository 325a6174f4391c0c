// SaveBitmapFile: the written file is read back pixel for pixel by an independent reader.
#include "platform/surface/bmp_file.h"
#include "platform/surface/surface.h"
#include "picture_fixtures.h"
#include "tests/fixtures/temp_dir.h"

#include <QImage>
#include <QString>

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(SaveBitmapFile, QImageReadsBackEveryPixelForEveryRowPadding)
{
    test::TempDir dir;
    Surface s(20, 12, 0);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 20; ++x)
            s.setPixel(x, y, test::patternColor(x, y));
    for (int w : {1, 2, 3, 4, 7}) {
        const Rect r{3, 2, 3 + w, 2 + 5};
        const auto path = dir / ("out" + std::to_string(w) + ".bmp");
        ASSERT_TRUE(SaveBitmapFile(s, r, path));
        QImage back(QString::fromStdString(path.string()));
        ASSERT_FALSE(back.isNull());
        ASSERT_EQ(back.width(), w);
        ASSERT_EQ(back.height(), 5);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < w; ++x) {
                const QRgb p = back.pixel(x, y);
                EXPECT_EQ(rgb(qRed(p), qGreen(p), qBlue(p)), test::patternColor(3 + x, 2 + y)) << w << ":" << x << "," << y;
            }
        const std::uintmax_t rowBytes = (3 * w + 3) / 4 * 4;
        EXPECT_EQ(std::filesystem::file_size(path), 54 + rowBytes * 5) << w;
    }
}

TEST(SaveBitmapFile, HeaderFieldsForWidthOne)
{
    Surface s(1, 2, 0x00112233);
    const std::string b = encodeBitmap24(s, {0, 0, 1, 2});
    ASSERT_EQ(b.size(), 54u + 4 * 2);
    auto u32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8 |
                                          static_cast<unsigned char>(b[at + 2]) << 16 |
                                          static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24);
    };
    EXPECT_EQ(b.substr(0, 2), "BM");
    EXPECT_EQ(u32(2), 62u);  // the file size counts the padding
    EXPECT_EQ(u32(10), 54u);
    EXPECT_EQ(u32(14), 40u);
    EXPECT_EQ(u32(22), 2u);  // positive height: bottom-up rows
    EXPECT_EQ(b[54], '\x11'); // blue first (COLORREF 0x00BBGGRR)
    EXPECT_EQ(b[57], '\0');   // padding byte
}

TEST(SaveBitmapFile, EmptyRectangleWritesNothingAndKeepsTheOldFile)
{
    test::TempDir dir;
    const auto path = dir / "keep.bmp";
    Surface s(4, 4, 0);
    ASSERT_TRUE(SaveBitmapFile(s, {0, 0, 4, 4}, path));
    const auto before = std::filesystem::file_size(path);
    EXPECT_FALSE(SaveBitmapFile(s, {2, 2, 2, 9}, path));
    EXPECT_FALSE(SaveBitmapFile(s, {3, 3, 1, 1}, path));
    EXPECT_EQ(std::filesystem::file_size(path), before);
    EXPECT_FALSE(SaveBitmapFile(s, {0, 0, 4, 4}, dir / "no-such-folder" / "x.bmp"));
}

} // namespace
} // namespace qv
