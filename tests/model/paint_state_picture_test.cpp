// Bit switch, indicator light, radio button and dynamic picture painters: the picture each
// state shows, forced states, captions, hints, placeholders, run-mode hide and move, and
// hostile block values.
#include "model/paint/controls/state_picture_painters.h"
#include "model/params/blocks/state_picture_block.h"
#include "model/vars/var_bank.h"
#include "paint_fixtures.h"

#include <climits>
#include <functional>
#include <map>

namespace qv {
namespace {

using namespace test;

constexpr ColorRef kPaper = rgb(0, 90, 0);
constexpr ColorRef kRed = rgb(255, 0, 0); // the fixture's brush

// Pictures by file name, each one colour; unknown names fail to load.
struct PictureShelf {
    std::map<std::string, ColorRef> colours;
    PictureLoader loader()
    {
        return [this](const std::filesystem::path& p) -> PicturePtr {
            const auto it = colours.find(p.filename().string());
            if (it == colours.end())
                return nullptr;
            auto pic = std::make_shared<Picture>();
            pic->pixels.reset(4, 4, it->second);
            return pic;
        };
    }
};

class StatePaint : public ::testing::Test {
protected:
    void SetUp() override
    {
        ctx.varMem = &mem;
        ctx.projectDir = "/nonexistent-project";
        shelf.colours = {{"on.bmp", rgb(0, 200, 0)}, {"off.bmp", rgb(0, 0, 200)}, {"f0.bmp", rgb(10, 0, 0)},
                         {"f1.bmp", rgb(20, 0, 0)},  {"f2.bmp", rgb(30, 0, 0)},   {"f3.bmp", rgb(40, 0, 0)}};
        ctx.loadPicture = shelf.loader();
    }

    std::unique_ptr<CDrawObj> lamp(ShapeKind kind)
    {
        auto obj = makeShape(kind, {10, 10, 50, 40});
        obj->m_strFiles = {"\\UserPicture\\on.bmp", "\\UserPicture\\off.bmp", "", ""};
        obj->SetParamI32(20, 100); // bit variable address
        obj->SetParamU8(25, 9);    // bit 9 of the word: byte 101, bit 1
        return obj;
    }

    VarBank mem;
    PictureShelf shelf;
    PaintContext ctx;
    Surface surface{120, 80, kPaper};
};

TEST_F(StatePaint, LampsShowTheStateOfTheirBit)
{
    const ColorRef on = rgb(0, 200, 0), off = rgb(0, 0, 200);
    struct Case {
        std::uint8_t byte101;
        int state;
        ColorRef shown;
    };
    const Case cases[] = {
        {0x02, -1, on},  {0xFD, -1, off}, // bit 1 of the byte after the address
        {0x02, 1, off},  {0x00, 0, on},   // forced states ignore the variable
        {0x02, 7, on},                    // any other state reads the variable
    };
    for (const ShapeKind kind : {ShapeKind::BitSwitch, ShapeKind::Indicator}) {
        for (const Case& c : cases) {
            auto obj = lamp(kind);
            mem.writeByte(101, c.byte101);
            surface.clear(kPaper);
            if (kind == ShapeKind::BitSwitch)
                PaintBitSwitch(*obj, {surface}, ctx, c.state);
            else
                PaintIndicator(*obj, {surface}, ctx, c.state);
            EXPECT_EQ(surface.getPixel(30, 25), c.shown) << kind << " state " << c.state;
        }
        // The document's paint takes the state from the variable.
        auto obj = lamp(kind);
        mem.writeByte(101, 0x02);
        PaintObject(*obj, {surface}, 1, ctx);
        EXPECT_EQ(surface.getPixel(30, 25), on);
    }
}

TEST_F(StatePaint, LampCaptionHintAndMissingPicture)
{
    const ColorRef caption = rgb(250, 250, 0);
    struct Case {
        ShapeKind kind;
        int captionColourOffset;
    };
    for (const Case& c : {Case{ShapeKind::BitSwitch, 68}, Case{ShapeKind::Indicator, 48}}) {
        auto obj = lamp(c.kind);
        obj->m_logfont.lfHeight = 16;
        obj->m_strFiles[2] = "ON";
        obj->SetParamI32(c.captionColourOffset, static_cast<std::int32_t>(caption));
        mem.writeByte(101, 0x02);
        surface.clear(kPaper);
        PaintObject(*obj, {surface}, 1, ctx);
        EXPECT_GT(countPixels(surface, caption, {10, 10, 50, 40}), 0);

        // A missing ON picture: nothing at all, not even the caption.
        obj->m_strFiles[0] = "\\UserPicture\\gone.bmp";
        surface.clear(kPaper);
        PaintObject(*obj, {surface}, 1, ctx);
        EXPECT_EQ(countPixels(surface, kPaper, surface.bounds()), 120 * 80);

        // One picture only: the outline with its hint in black.
        obj->m_strFiles = {"\\UserPicture\\on.bmp"};
        surface.clear(kPaper);
        PaintObject(*obj, {surface}, 1, ctx);
        EXPECT_EQ(surface.getPixel(11, 11), kRed);
        EXPECT_GT(countPixels(surface, 0, {12, 12, 48, 38}), 0);
        EXPECT_EQ(countPixels(surface, rgb(0, 200, 0), surface.bounds()), 0);
    }
}

TEST_F(StatePaint, UnboundAndHiddenControls)
{
    struct Case {
        const char* what;
        ShapeKind kind;
        std::function<void(CDrawObj&)> set;
        bool runMode;
        ColorRef centre;
    };
    const ColorRef on = rgb(0, 200, 0);
    const Case cases[] = {
        {"bit switch bit unbound", ShapeKind::BitSwitch, [](CDrawObj& o) { o.SetParamI32(16, -1); }, false, kWhite},
        {"indicator bit address", ShapeKind::Indicator, [](CDrawObj& o) { o.SetParamI32(20, -1); }, false, kWhite},
        {"bit switch hide unbound", ShapeKind::BitSwitch, [](CDrawObj& o) { o.SetParamU8(30, 1); o.SetParamI32(48, -1); }, false, kWhite},
        {"indicator hide unbound", ShapeKind::Indicator, [](CDrawObj& o) { o.SetParamU8(27, 1); o.SetParamI32(44, -1); }, false, kWhite},
        {"bit switch write enable", ShapeKind::BitSwitch, [](CDrawObj& o) { o.SetParamI32(52, 1); o.SetParamI32(56, -1); }, false, kWhite},
        {"indicator has no write enable", ShapeKind::Indicator, [](CDrawObj& o) { o.SetParamI32(52, 1); o.SetParamI32(56, -1); }, false, on},
        {"hidden in run mode", ShapeKind::BitSwitch, [](CDrawObj& o) { o.SetParamU8(30, 1); o.SetParamI32(48, 300); }, true, kPaper},
        {"hide ignored in the editor", ShapeKind::BitSwitch, [](CDrawObj& o) { o.SetParamU8(30, 1); o.SetParamI32(48, 300); }, false, on},
        {"shown while the bit is 1", ShapeKind::Indicator, [](CDrawObj& o) { o.SetParamU8(27, 1); o.SetParamI32(44, 300); o.SetParamI32(100, 8); }, true, on},
        {"unreadable hide bit", ShapeKind::Indicator, [](CDrawObj& o) { o.SetParamU8(27, 1); o.SetParamI32(44, 300); o.SetParamI32(100, INT_MAX); }, true, kWhite},
    };
    mem.writeByte(101, 0x02);
    mem.writeByte(300, 0x00);
    mem.writeByte(301, 0x01);
    for (const Case& c : cases) {
        auto obj = lamp(c.kind);
        c.set(*obj);
        ctx.runMode = c.runMode;
        surface.clear(kPaper);
        PaintObject(*obj, {surface}, 1, ctx);
        EXPECT_EQ(surface.getPixel(46, 36), c.centre) << c.what; // clear of the placeholder's text
    }
}

TEST_F(StatePaint, RadioSelectedByItsOwnValue)
{
    struct Case {
        bool pictureMode;
        std::int32_t variable;
        int state;
        ColorRef centre;
    };
    const Case cases[] = {
        {true, 3, -1, rgb(0, 200, 0)}, {true, 2, -1, rgb(0, 0, 200)}, {true, 3, 1, rgb(0, 0, 200)},
        {true, 2, 0, rgb(0, 200, 0)},  {false, 3, -1, 0},             {false, 2, -1, kWhite},
        {false, 2, 0, 0},
    };
    for (const Case& c : cases) {
        auto obj = makeShape(ShapeKind::RadioButton, {10, 10, 50, 50});
        obj->m_strFiles = {"\\UserPicture\\on.bmp", "\\UserPicture\\off.bmp"};
        obj->SetParamI32(8, 200);
        obj->SetParamU8(12, 2);   // signed 16-bit
        obj->SetParam(blocks::radio::kOwnValue, 3);
        obj->SetParam(blocks::radio::kPictureMode, c.pictureMode ? 1 : 0);
        mem.write(200, 2, static_cast<std::uint32_t>(c.variable));
        surface.clear(kPaper);
        PaintRadioButton(*obj, {surface}, ctx, c.state);
        EXPECT_EQ(surface.getPixel(31, 31), c.centre) << c.pictureMode << " " << c.variable << " " << c.state;
        if (!c.pictureMode)
            EXPECT_EQ(surface.getPixel(14, 30), kWhite); // the ring's inside stays white
    }

    auto obj = makeShape(ShapeKind::RadioButton, {10, 10, 50, 50});
    obj->SetParamI32(0, -1);
    surface.clear(kPaper);
    PaintObject(*obj, {surface}, 1, ctx);
    EXPECT_EQ(surface.getPixel(46, 46), kWhite) << "unbound value shows the placeholder";
}

TEST_F(StatePaint, DynamicPictureFrames)
{
    struct Case {
        const char* what;
        std::function<void(CDrawObj&)> set;
        bool runMode;
        ColorRef centre;
    };
    const Case cases[] = {
        {"frame from the variable", [this](CDrawObj&) { mem.writeByte(100, 2); }, false, rgb(30, 0, 0)},
        {"frame beyond the list", [this](CDrawObj&) { mem.writeByte(100, 9); }, false, rgb(40, 0, 0)},
        {"fixed frame", [](CDrawObj& o) { o.SetParamU8(44, 1); o.SetParamI32(72, 1); }, false, rgb(20, 0, 0)},
        {"fixed frame beyond", [](CDrawObj& o) { o.SetParamU8(44, 2); o.SetParamI32(72, 0xFFFF); }, false, rgb(40, 0, 0)},
        {"frame address unbound", [](CDrawObj& o) { o.SetParamI32(48, -1); }, false, kWhite},
        {"frame row unbound", [](CDrawObj& o) { o.SetParamI32(64, -1); }, false, kWhite},
        {"fixed frame needs no row", [](CDrawObj& o) { o.SetParamU8(44, 1); o.SetParamI32(64, -1); }, false, rgb(10, 0, 0)},
        {"frame address past the memory", [](CDrawObj& o) { o.SetParamI32(48, 0x10000); }, false, kPaper},
        {"user area", [](CDrawObj& o) { o.SetParamI32(200, 1); }, false, kWhite},
        {"hidden", [](CDrawObj& o) { o.SetParamU8(77, 1); o.SetParamI32(96, 300); }, true, kPaper},
        {"missing picture", [](CDrawObj& o) { o.m_strFiles[0] = "\\UserPicture\\gone.bmp"; }, false, kPaper},
        {"empty list in the editor", [](CDrawObj& o) { o.m_strFiles.clear(); }, false, kRed},
        {"empty list in run mode", [](CDrawObj& o) { o.m_strFiles.clear(); }, true, kPaper},
    };
    mem.writeByte(300, 0);
    for (const Case& c : cases) {
        auto obj = makeShape(ShapeKind::DynamicPicture, {10, 10, 50, 40});
        obj->m_strFiles = {"\\UserPicture\\f0.bmp", "\\UserPicture\\f1.bmp", "\\UserPicture\\f2.bmp",
                           "\\UserPicture\\f3.bmp"};
        obj->SetParamI32(48, 100);
        mem.writeByte(100, 0);
        c.set(*obj);
        ctx.runMode = c.runMode;
        surface.clear(kPaper);
        PaintObject(*obj, {surface}, 1, ctx);
        EXPECT_EQ(surface.getPixel(48, 38), c.centre) << c.what;
    }
}

TEST_F(StatePaint, DynamicPictureMovesAndAsksTheTableAgain)
{
    auto obj = makeShape(ShapeKind::DynamicPicture, {10, 10, 30, 30});
    obj->m_strFiles = {"\\UserPicture\\f0.bmp", "\\UserPicture\\f1.bmp"};
    obj->SetParamI32(48, 100);    // stale cached address
    obj->SetParamI32(64, 5);
    obj->SetParamU8(76, 1);       // move by the variable at 400
    obj->SetParamI32(92, 400);
    mem.write(400, 2, static_cast<std::uint16_t>(-30));
    mem.write(402, 2, 2);
    mem.writeByte(100, 0);
    mem.writeByte(500, 1);
    ctx.runMode = true;
    ctx.lookupVar = [](std::int32_t row) { return VarBinding{row == 5 ? 500 : -1, 1}; };
    PaintObject(*obj, {surface}, 1, ctx);
    EXPECT_EQ(surface.getPixel(10, 42), rgb(20, 0, 0)); // (38 - 30, 38 + 2), frame 1 from the table's address
    EXPECT_EQ(surface.getPixel(25, 25), kPaper);
}

TEST_F(StatePaint, HostileValuesDoNotFault)
{
    Surface work(120, 80);
    for (const ShapeKind kind : {ShapeKind::BitSwitch, ShapeKind::Indicator, ShapeKind::RadioButton, ShapeKind::DynamicPicture}) {
        for (const Rect pos : {Rect{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, Rect{50, 50, 10, 10}, Rect{5, 5, 5, 5}}) {
            auto obj = makeShape(kind, pos);
            obj->m_strFiles = {"\\UserPicture\\on.bmp", "\\UserPicture\\off.bmp", "", ""};
            for (int offset = 0; offset < 220; offset += 4)
                obj->SetParamI32(static_cast<std::size_t>(offset), 0xFFFF - offset);
            obj->SetParamU8(25, 255);
            for (const bool run : {true, false}) {
                surface.clear(kPaper);
                ctx.runMode = run;
                PaintObject(*obj, {surface, &work}, 1, ctx);
                EXPECT_EQ(test::inkOutside(surface, kPaper, pos), 0) << kind << " at " << pos.left << " run " << run;
            }
        }
    }
}

} // namespace
} // namespace qv
