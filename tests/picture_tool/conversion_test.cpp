// Picture records, directory entries and "pic.h" as the panel and the user's program read them.
#include "picture_tool/picture/picture_record.h"

#include <gtest/gtest.h>

namespace qv::picture_tool {
namespace {

FlashGeometry geometry(int type)
{
    return *flashGeometry(type);
}

TEST(PictureRecord, TwoByOneOnType0IsOneUnitOfMarkersAroundFourBytes)
{
    Surface s(2, 1, rgb(255, 0, 0));
    s.setPixel(1, 0, rgb(0, 0, 255));
    const auto r = pictureRecord(s, geometry(0), WhiteRule::Keep);
    ASSERT_EQ(r.size(), 1024u);
    EXPECT_EQ(r[0], 0x82);
    EXPECT_EQ((std::vector<std::uint8_t>(r.begin() + 1, r.begin() + 5)), (std::vector<std::uint8_t>{0x00, 0xF8, 0x1F, 0x00}));
    for (std::size_t i = 5; i < r.size(); ++i)
        ASSERT_EQ(r[i], 0x82) << i;
}

TEST(PictureRecord, PageStartSplitsAPixelAndRowsGoBottomUp)
{
    // 256 x 2 on 512-byte pages: pixel 255 of the bottom row has its low byte at 511 and its
    // high byte after the marker of the second page.
    Surface s(256, 2, rgb(0, 0, 0));
    s.setPixel(255, 1, rgb(0xF8, 0xFC, 0xF8)); // 0xFFFF in the bottom row
    const auto r = pictureRecord(s, geometry(0), WhiteRule::Keep);
    EXPECT_EQ(r[511], 0xFF);
    EXPECT_EQ(r[512], 0x82);
    EXPECT_EQ(r[513], 0xFF);
    EXPECT_EQ(r.size(), recordLength(256, 2, geometry(0)));
}

TEST(PictureRecord, WhiteKeepsOrBecomesTheSubstitute)
{
    const Surface s(1, 1, rgb(255, 255, 255));
    struct Case {
        WhiteRule rule;
        std::uint8_t lo, hi;
    };
    for (const Case& c : {Case{WhiteRule::Keep, 0xFF, 0xFF}, Case{WhiteRule::Packed, 0xDF, 0xFF}}) {
        const auto r = pictureRecord(s, geometry(0), c.rule);
        EXPECT_EQ(r[1], c.lo);
        EXPECT_EQ(r[2], c.hi);
    }
}

TEST(PictureRecord, TallPictureKeepsItsTop1024Rows)
{
    Surface s(1, 1200, rgb(0, 0, 0));
    s.setPixel(0, 1023, rgb(255, 0, 0)); // last kept row: stored first
    s.setPixel(0, 1024, rgb(0, 0, 255)); // first row cut off
    const auto r = pictureRecord(s, geometry(0), WhiteRule::Keep);
    EXPECT_EQ(r.size(), recordLength(1, 1024, geometry(0)));
    EXPECT_EQ(r[1], 0x00);
    EXPECT_EQ(r[2], 0xF8);
}

TEST(PictureRecord, WidthBeyondTheDirectoryFieldIsRefused)
{
    const Surface s(70000, 1);
    std::string why;
    EXPECT_TRUE(pictureRecord(s, geometry(0), WhiteRule::Keep, &why).empty());
    EXPECT_FALSE(why.empty());
}

TEST(FlashGeometry, TypesAndTheirUnits)
{
    struct Case {
        int type;
        bool present;
        int unitShift;
        std::uint32_t mask;
        int maxPictures;
    };
    for (const Case& c : {Case{0, true, 10, 0, 682}, Case{1, true, 11, 0, 5460}, Case{2, true, 12, 1, 5460},
                          Case{4, true, 14, 7, 5460}, Case{5, false, 0, 0, 0}, Case{9, false, 0, 0, 0}}) {
        const auto g = flashGeometry(c.type);
        ASSERT_EQ(g.has_value(), c.present) << c.type;
        if (!g)
            continue;
        EXPECT_EQ(g->unitShift, c.unitShift);
        EXPECT_EQ(g->pageInUnitMask, c.mask);
        EXPECT_EQ(g->maxPictures(), c.maxPictures);
    }
}

TEST(Directory, EntryOnType2CarriesThePageBitsAndFindsItsAddressAgain)
{
    const auto g = geometry(2);
    const std::uint32_t address = 0x100000 + 0x800; // an odd 2 KiB unit
    const DirectoryEntry e = entryAt(address, 10, 20, g);
    EXPECT_EQ(e.unit, address >> 12);
    EXPECT_EQ(e.heightWord, 20 + 4096);
    EXPECT_EQ(entryAddress(e.unit, e.heightWord, g), address);
}

TEST(Directory, NameIsCutTo15BytesAndAZeroAndTheCheckWordSums)
{
    auto block = emptyDirectory(geometry(0), 3);
    DirectoryEntry e{0x100, 2, 1, "abcdefghijklmnopqrst.jpg"};
    putEntry(block, 1, e);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&block[24 + 8])), "abcdefghijklmno");
    EXPECT_EQ(block[24] | block[25] << 8, 0x103);
    EXPECT_EQ(block[0x4000 - 1], 0xA5);
    EXPECT_EQ(block[0x4000 - 2], 'Z');
    EXPECT_EQ(block[0x4000 - 6], 3);
}

TEST(PicHeader, IsByteExact)
{
    const std::string text = picHeaderStart() + picHeaderLine("/x/Pic/abcdefghijklmnopqrst.jpg", 0) +
                             picHeaderLine("C:\\p\\b.c.bmp", 12);
    EXPECT_EQ(picHeaderStart().size(), 64u);
    EXPECT_EQ(text.substr(64), "#define        abcdefghijklmnopqrst              0\r\n"
                               "#define        b.c              12\r\n");
}

} // namespace
} // namespace qv::picture_tool
