#include "sim/picture/picture_service.h"
#include "tests/fixtures/planted_files.h"
#include "tests/fixtures/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>

namespace qv::sim {
namespace {

constexpr ColorRef kBackground = 0x00FF0000;
constexpr ColorRef kPictureColour = 0x0000FF00;

// The run canvas of a 100 x 80 panel: twice the screen, behind its lock.
class PictureServiceTest : public ::testing::Test {
protected:
    PictureServiceTest()
    {
        std::filesystem::create_directories(folder);
        std::ofstream(folder / "LOGO.BMP") << "a picture";
        context.baseFolder = base.path();
        context.screenWidth = 100;
        context.screenHeight = 80;
        // "a picture" decodes to a 4 x 4 picture; anything else to nothing.
        context.decodePicture = [this](std::string_view bytes) -> PicturePtr {
            decoded.emplace_back(bytes);
            if (bytes != "a picture")
                return nullptr;
            auto picture = std::make_shared<Picture>();
            picture->pixels.reset(4, 4, kPictureColour);
            return picture;
        };
        context.canvas = [this](const std::function<void(Surface&)>& draw) {
            std::lock_guard lock(canvasLock);
            if (beforeDrawing)
                beforeDrawing();
            draw(canvas);
            return true;
        };
    }

    int Draw(int x, int y, int w, int h, const std::string& name, int subCode = kPictureSubCode)
    {
        const std::int64_t at = 0x500;
        for (int i = 0; const int v : {x, y, w, h}) {
            memory.write(at + 2 * i, 2, static_cast<std::uint16_t>(v));
            ++i;
        }
        for (std::size_t i = 0; i < 16; ++i)
            memory.writeByte(at + 8 + static_cast<std::int64_t>(i), i < name.size() ? static_cast<std::uint8_t>(name[i]) : 0);
        PanelServiceCall call{memory};
        call.regs = {kPictureService, static_cast<std::uint8_t>(subCode), 0x00, 0x05};
        ServePicture(call, context);
        return call.regs[1];
    }

    test::TempDir base;
    const std::filesystem::path folder =
        base.path() / "images" / std::filesystem::path(u8"其它工具软件") / std::filesystem::path(u8"Tessolin软件") / "Pic";
    VarBank memory;
    Surface canvas{200, 160, kBackground};
    std::mutex canvasLock;
    std::vector<std::string> decoded;
    std::function<void()> beforeDrawing;
    PictureServiceContext context;
};

TEST_F(PictureServiceTest, DrawsThePictureIntoTheRunCanvas)
{
    EXPECT_EQ(Draw(10, 20, 30, 40, "logo.bmp"), 1);
    EXPECT_EQ(canvas.getPixel(10, 20), kPictureColour);
    EXPECT_EQ(canvas.getPixel(39, 59), kPictureColour);
    EXPECT_EQ(canvas.getPixel(40, 59), kBackground);
    EXPECT_EQ(canvas.getPixel(9, 20), kBackground);
}

TEST_F(PictureServiceTest, RefusesPicturesPastTheScreen)
{
    struct Case { int x, y, w, h; int result; };
    for (const Case& c : {Case{70, 0, 30, 10, 1}, Case{71, 0, 30, 10, 0}, Case{0, 50, 10, 31, 0}, Case{65535, 0, 65535, 1, 0}}) {
        canvas.reset(200, 160, kBackground);
        EXPECT_EQ(Draw(c.x, c.y, c.w, c.h, "LOGO.BMP"), c.result) << c.x << "," << c.y;
        if (c.result == 0)
            EXPECT_EQ(canvas.getPixel(std::min(c.x, 199), std::min(c.y, 159)), kBackground);
    }
}

TEST_F(PictureServiceTest, NamesStayInsideThePictureFolder)
{
    std::ofstream(base.path() / "images" / "SECRET.BMP") << "not for the program";
    EXPECT_EQ(Draw(0, 0, 4, 4, "..\\..\\SECRET.BMP"), 1);
    EXPECT_EQ(Draw(0, 0, 4, 4, "MISSING.BMP"), 1);
    EXPECT_EQ(Draw(0, 0, 4, 4, "LOGO.BMP", 12), 12); // another sub-code: nothing, no result
    EXPECT_EQ(canvas.getPixel(0, 0), kBackground);
    EXPECT_TRUE(decoded.empty()); // none was read
    std::ofstream(folder / "0123456789ABCDE") << "a picture";
    EXPECT_EQ(Draw(0, 0, 4, 4, "0123456789ABCDEFGH"), 1); // the 16th byte ends the name
    EXPECT_EQ(decoded, std::vector<std::string>{"a picture"});
    EXPECT_EQ(canvas.getPixel(0, 0), kPictureColour);
    std::ofstream(folder / "0123456789ABCD") << "a picture";
    canvas.reset(200, 160, kBackground);
    EXPECT_EQ(Draw(0, 0, 4, 4, "0123456789ABCD"), 1); // a name one shorter is its own
    EXPECT_EQ(canvas.getPixel(0, 0), kPictureColour);
}

// A stranger's program names what a stranger planted in the picture folder: a link leading
// out and a pipe are refused (reported, never opened), and nothing is drawn.
TEST_F(PictureServiceTest, PlantedLinksAndPipesAreRefused)
{
    test::PlantedProject planted;
    test::writeText(planted.outside.path() / "OUT.BMP", "a picture");
    test::plantLink(planted.outside.path() / "OUT.BMP", folder / "LINK.BMP");
    test::plantPipe(folder / "PIPE.BMP");
    test::expectNoBlock([&] {
        for (const char* name : {"LINK.BMP", "PIPE.BMP"}) {
            SCOPED_TRACE(name);
            EXPECT_EQ(Draw(0, 0, 4, 4, name), 1);
            EXPECT_TRUE(planted.refused(name));
        }
    }, {folder / "PIPE.BMP"});
    EXPECT_TRUE(decoded.empty());
    EXPECT_EQ(canvas.getPixel(0, 0), kBackground);
}

// The picture checked is the picture drawn: swapped for a link to an outside picture after
// the check, the file checked is still what is read.
TEST_F(PictureServiceTest, APictureSwappedAfterTheCheckIsNotFollowed)
{
    test::TempDir outside;
    test::writeText(outside.path() / "OUT.BMP", "an outside picture");
    std::ofstream(folder / "SWAP.BMP") << "a picture";
    // Swapped when the canvas is taken, after the check: a service that opened the name again
    // to draw would read the outside picture.
    beforeDrawing = [this, &outside] {
        std::filesystem::remove(folder / "SWAP.BMP");
        std::filesystem::create_symlink(outside.path() / "OUT.BMP", folder / "SWAP.BMP");
    };
    EXPECT_EQ(Draw(0, 0, 4, 4, "SWAP.BMP"), 1);
    EXPECT_EQ(decoded, std::vector<std::string>{"a picture"});
    EXPECT_EQ(canvas.getPixel(0, 0), kPictureColour);
}

TEST_F(PictureServiceTest, WithoutARunCanvasNothingIsDrawn)
{
    context.canvas = [](const std::function<void(Surface&)>&) { return false; };
    EXPECT_EQ(Draw(0, 0, 4, 4, "LOGO.BMP"), 1);
    EXPECT_EQ(canvas.getPixel(0, 0), kBackground);
}

} // namespace
} // namespace qv::sim
