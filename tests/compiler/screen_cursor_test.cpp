// The cursor pictures: one copy per horizontal shift, the cursor table at the head of the
// header area, and nothing at all when a cursor picture is missing.
#include "compiler/screen/cursor_pictures.h"
#include "compiler/screen/window_compiler.h"
#include "tests/compiler/compile_fixture.h"
#include "tests/compiler/image_walker.h"

#include <gtest/gtest.h>

namespace qv::test {
namespace {

// A 2 x 1 cursor: a red pixel, then a blue one.
PicturePtr twoPixelCursor()
{
    auto p = std::make_shared<Picture>();
    p->pixels.reset(2, 1);
    p->pixels.setPixel(0, 0, rgb(255, 0, 0));
    p->pixels.setPixel(1, 0, rgb(0, 0, 255));
    return p;
}

TEST(ScreenCursor, EveryShiftIsStoredWithTheKeyOnItsLeft)
{
    const std::array<PicturePtr, 4> cursors{twoPixelCursor(), twoPixelCursor(), twoPixelCursor(), twoPixelCursor()};
    const auto data = screen::buildCursorData(cursors, 0x200000, 511, false);
    ASSERT_TRUE(data);
    ASSERT_EQ(data->bytes.size(), 512u);
    const std::vector<std::uint8_t> first{
        0x82, 0x00, 0xF8, 0x1F, 0x00, 0x82, 0x82, 0x82,   // copy 0: red, blue; rounded to 4
        0x82, 0xFF, 0xFF, 0x00, 0xF8, 0x82, 0x82, 0x82,   // copy 1: key, red
    };
    EXPECT_EQ(std::vector<std::uint8_t>(data->bytes.begin(), data->bytes.begin() + 16), first);
    const std::uint32_t offsets[4] = {512, 16, 32, 48};   // entry 0: the padded length
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(data->entries[k].offset, offsets[k]) << k;
        EXPECT_EQ(data->entries[k].width, 2);
        EXPECT_EQ(data->entries[k].height, 1);
        EXPECT_EQ(data->entries[k].length, 5);
    }

    auto missing = cursors;
    missing[3] = nullptr;
    EXPECT_FALSE(screen::buildCursorData(missing, 0, 511, false));
}

TEST(ScreenCursor, CompileWritesTheTableOnlyWithAllFourPictures)
{
    for (bool allThere : {true, false}) {
        CompileFixture f;
        f.input.width = 8;
        f.input.height = 4;
        std::vector<std::string> asked;
        screen::WindowScreenCompiler compiler({[&](const std::filesystem::path& file) -> PicturePtr {
                                                   asked.push_back(file.filename().string());
                                                   if (!allThere && file.filename() == "cur2.bmp")
                                                       return nullptr;
                                                   return twoPixelCursor();
                                               },
                                               f.dir.path()});
        ASSERT_TRUE(f.compile(&compiler).ok) << f.takeLog();
        EXPECT_EQ(asked, (std::vector<std::string>{"cur0.bmp", "cur1.bmp", "cur2.bmp", "cur3.bmp"}));
        const std::string image = f.readImage();
        const std::string table = image.substr(0, 32);
        if (allThere) {
            EXPECT_EQ(fileU32(image, 0), 512u);
            EXPECT_EQ(std::uint8_t(table[4]), 2);
            EXPECT_EQ(fileU32(image, 8), 16u);
            EXPECT_EQ(std::uint8_t(image[0x200000 + 1]), 0x00);   // cursor 0's red pixel
            EXPECT_EQ(std::uint8_t(image[0x200000 + 2]), 0xF8);
        } else {
            EXPECT_EQ(table, std::string(32, '\0'));
        }
    }
}

} // namespace
} // namespace qv::test
