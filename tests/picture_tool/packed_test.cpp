// "PicZiku.zip": what packing writes and what the reader accepts.
#include "picture_tool/packed/packed_file.h"
#include "picture_tool/picture/picture_record.h"

#include <gtest/gtest.h>

namespace qv::picture_tool {
namespace {

std::uint32_t le(const std::vector<std::uint8_t>& b, std::size_t at, int n)
{
    std::uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i)
        v = v << 8 | b[at + static_cast<std::size_t>(i)];
    return v;
}

std::vector<std::uint8_t> onePictureFile()
{
    static const Surface s(2, 1, rgb(255, 255, 255));
    PackInput in;
    in.pictures = {&s};
    in.fonts = {{2, std::vector<std::uint8_t>(1000, 7)}, {30, {8, 0, 16, 0, 1, 2, 3}}};
    return buildPackedFile(in, *flashGeometry(0));
}

TEST(PackedFile, OnePictureAndFontsLayOutAsThePanelReadsThem)
{
    const auto f = onePictureFile();
    EXPECT_EQ(f.size(), 0x40000u + 1024 + 1024 + 512);
    EXPECT_EQ(le(f, 2, 2), 0x100u);
    EXPECT_EQ(le(f, 6, 2), 1u);
    EXPECT_EQ(f[0x40001], 0xDF); // white as the substitute
    EXPECT_EQ(f[0x40002], 0xFF);
    EXPECT_EQ(le(f, 0x20000 + 12 * 2, 4), 0x40400u);
    EXPECT_EQ(le(f, 0x20000 + 12 * 2 + 8, 4), 1024u);
    EXPECT_EQ(le(f, 0x20000 + 12 * 30 + 4, 2), 8u);
    EXPECT_EQ(le(f, 0x20000 + 12 * 30 + 6, 2), 16u);
    EXPECT_EQ(f[0x40800], 1); // the user font without its prefix
    const auto c = readPackedHeader(f, f.size());
    ASSERT_TRUE(c);
    ASSERT_EQ(c->pictures.size(), 1u);
    EXPECT_EQ(c->pictures[0].offset, 0x40000u);
    EXPECT_EQ(c->fonts.size(), 2u);
}

TEST(PackedFile, ReaderRefusesWhatPointsOutsideTheFile)
{
    struct Case {
        const char* what;
        std::function<void(std::vector<std::uint8_t>&)> change;
        std::uint64_t size;
    };
    const auto base = onePictureFile();
    const std::vector<Case> cases{
        {"short file", [](auto&) {}, 0x3FFFF},
        {"two-chip flash type", [](auto& f) { f[0x1FFFD] = 7; }, base.size()},
        {"picture past the end", [](auto& f) { f[4] = 0xFF; f[5] = 0xFF; }, base.size()},
        {"picture not where the last one ended", [](auto& f) { f[24 + 2] = 0x01; f[24 + 3] = 0x02; f[24 + 4] = 1; f[24 + 6] = 1; },
         base.size()},
        {"height above 1024", [](auto& f) { f[7] = 0x08; }, base.size()},
        {"font length past the end", [](auto& f) { f[0x20000 + 12 * 2 + 10] = 0x10; }, base.size()},
        {"font over the pictures", [](auto& f) { f[0x20000 + 12 * 2 + 1] = 0; f[0x20000 + 12 * 2 + 2] = 0; }, base.size()},
    };
    for (const Case& c : cases) {
        auto f = base;
        c.change(f);
        std::string why;
        EXPECT_FALSE(readPackedHeader(f, c.size, &why)) << c.what;
        EXPECT_EQ(why, "PicZiku.zip文件出错") << c.what;
    }
}

TEST(PackedFile, EntriesStopAtTheDirectoryCapacity)
{
    // Every entry filled: the reader looks at no more than one block's entries.
    std::vector<std::uint8_t> f(0x40000, 0);
    for (std::size_t i = 0; i < 0x20000 / 24; ++i)
        f[24 * i + 2] = 1;
    EXPECT_FALSE(readPackedHeader(f, f.size()));
}

} // namespace
} // namespace qv::picture_tool
