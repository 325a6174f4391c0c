// Windows compiled through the worker and read back from the image with offsets written
// out here, independent of the compiler's own constants.
#include "compiler/screen/control_regions.h"
#include "compiler/screen/window_compiler.h"
#include "model/document/draw_doc.h"
#include "tests/compiler/compile_fixture.h"
#include "tests/compiler/image_walker.h"

#include <gtest/gtest.h>

namespace qv::test {
namespace {

constexpr std::uint64_t kPictureDataStart = 0x200000;   // right behind the header area

std::uint16_t u16At(const std::string& b, std::uint64_t o)
{
    return static_cast<std::uint16_t>(std::uint8_t(b[o]) | std::uint8_t(b[o + 1]) << 8);
}
std::uint8_t u8At(const std::string& b, std::uint64_t o) { return std::uint8_t(b[o]); }

struct ReadItem {
    std::uint32_t offset;   // from the record start
    std::uint8_t type;
};

struct ReadRecord {
    std::uint32_t start = 0;
    std::uint16_t checksum = 0xFFFF;
    std::vector<ReadItem> items;
};

ReadRecord readRecord(const std::string& image, const WalkedWindow& w)
{
    ReadRecord r;
    r.start = w.offset;
    r.checksum = u16At(image, w.offset);
    const std::uint16_t count = u16At(image, w.offset + 2);
    for (std::uint16_t i = 0; i < count; ++i) {
        const std::uint16_t off = u16At(image, w.offset + 4 + 2u * i);
        r.items.push_back({off, u8At(image, w.offset + off)});
    }
    return r;
}

std::unique_ptr<CDrawRect> shape(ShapeKind kind, Rect r)
{
    auto o = std::make_unique<CDrawRect>(r);
    o->SetKind(kind);
    return o;
}

// A window 8 x 4 at the page origin with the editor's margins and a white paper.
std::string windowBytes(const std::function<void(CDrawDoc&)>& fill, Point origin = {0, 0})
{
    CDrawDoc doc;
    doc.m_nMarginX = doc.m_nMarginY = 38;
    doc.m_ptWindowOrigin = origin;
    doc.m_nWindowWidth = 8;
    doc.m_nWindowHeight = 4;
    doc.m_paperColor = 0x00FFFFFF;
    fill(doc);
    return doc.SerializeToBytes();
}

compile::WindowSource source(const char* name, std::string bytes)
{
    return {name, true, 1, std::move(bytes)};
}

struct Compiled {
    std::string image;
    WalkedImage walk;
    std::vector<ReadRecord> records;
};

Compiled compileWindows(CompileFixture& f)
{
    screen::WindowScreenCompiler compiler;
    f.input.width = 8;
    f.input.height = 4;
    const auto outcome = f.compile(&compiler);
    EXPECT_TRUE(outcome.ok) << f.takeLog();
    Compiled c;
    c.image = f.readImage();
    c.walk = walkImage(c.image);
    for (const auto& w : c.walk.windows)
        c.records.push_back(readRecord(c.image, w));
    return c;
}

TEST(ScreenWindow, ScreenWithShapesAndAHidingButton)
{
    CompileFixture f;
    f.input.screens = {source("a.drw", windowBytes([](CDrawDoc& doc) {
        auto rect = shape(ShapeKind::Rectangle, {39, 39, 43, 42});
        rect->SetParamI32(0, 1);                 // frame width
        rect->SetParamI32(4, rgb(255, 0, 0));    // frame colour
        rect->SetParamI32(16, rgb(0, 255, 0));   // fill colour
        doc.AddObject(std::move(rect));
        auto button = shape(ShapeKind::Button, {44, 39, 46, 41});
        button->m_bControl = 1;
        button->SetParamU8(126, 1);   // hide switch: the panel must restore what lies under it
        doc.AddObject(std::move(button));
    }))};
    const Compiled c = compileWindows(f);
    ASSERT_EQ(c.records.size(), 1u);
    const ReadRecord& r = c.records[0];
    ASSERT_EQ(r.items.size(), 3u);
    EXPECT_EQ(r.checksum, 0);
    EXPECT_EQ(r.items[0].offset, 12u);   // 4 + 2 x 3 rounded up to 4
    EXPECT_EQ(r.items[0].type, 1);
    EXPECT_EQ(r.items[1].type, 11);
    EXPECT_EQ(r.items[2].type, 2);
    for (const auto& item : r.items)
        EXPECT_EQ(item.offset % 4, 0u);

    // Background: one 8 x 4 tile at the panel's origin; its data opens the picture data.
    const std::uint64_t bg = r.start + r.items[0].offset;
    EXPECT_EQ(u8At(c.image, bg + 1), 1);
    const std::uint64_t entry = bg + 4;
    const std::uint32_t bgLength = fileU32(c.image, entry);
    EXPECT_EQ(bgLength, c.walk.pageMask + 1);
    EXPECT_EQ(u16At(c.image, entry + 4), 0);
    EXPECT_EQ(u16At(c.image, entry + 6), 0);
    EXPECT_EQ(u16At(c.image, entry + 8), 8);
    EXPECT_EQ(u16At(c.image, entry + 10), 4);
    EXPECT_EQ(u8At(c.image, entry + 12), 2);
    EXPECT_EQ(r.items[1].offset, r.items[0].offset + 20);

    auto bgPixel = [&](int x, int y) {   // panel coordinates, rows bottom-up
        return u16At(c.image, kPictureDataStart + 1 + 2 * ((3 - y) * 8 + x));
    };
    EXPECT_EQ(u8At(c.image, kPictureDataStart), 0x82);
    EXPECT_EQ(bgPixel(0, 0), 0xFFDF);   // white paper reads as the key colour: substituted
    EXPECT_EQ(bgPixel(1, 1), 0xF800);   // the rectangle's red frame
    EXPECT_EQ(bgPixel(2, 2), 0x07E0);   // its green inside
    EXPECT_EQ(bgPixel(6, 1), 0xFFFF);   // the button's area is left to the panel
    EXPECT_EQ(bgPixel(7, 3), 0xFFDF);

    // Region: the button's rectangle, with the unmasked pixels under it.
    const std::uint64_t region = r.start + r.items[1].offset;
    EXPECT_EQ(u8At(c.image, region + 1), 2);
    EXPECT_EQ(u8At(c.image, region + 2), 1);
    EXPECT_EQ(u16At(c.image, region + 4), 6);
    EXPECT_EQ(u16At(c.image, region + 6), 1);
    EXPECT_EQ(u16At(c.image, region + 8), 2);
    EXPECT_EQ(u16At(c.image, region + 10), 2);
    EXPECT_EQ(fileU32(c.image, region + 12), c.walk.pageMask + 1);
    const std::uint64_t regionData = kPictureDataStart + bgLength;
    EXPECT_EQ(u8At(c.image, regionData), 0x82);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(u16At(c.image, regionData + 1 + 2 * i), 0xFFFF);
    EXPECT_EQ(u8At(c.image, regionData + 9), 0x82);

    EXPECT_EQ(c.walk.windows[0].length, r.items[2].offset + 4u);
}

TEST(ScreenWindow, EmptyWindowsHoldTheirFixedItemsOnly)
{
    CompileFixture f;
    f.input.screens = {source("a.drw", windowBytes([](CDrawDoc&) {}))};
    f.input.subWindows = {source("b.dlg", windowBytes([](CDrawDoc& doc) {
                              doc.m_ProjectSettings[0] = 5;
                              doc.SetSettingI32(80, 1);
                          }, {10, 20}))};
    const Compiled c = compileWindows(f);
    ASSERT_EQ(c.records.size(), 2u);
    ASSERT_EQ(c.records[0].items.size(), 1u);
    ASSERT_EQ(c.records[1].items.size(), 2u);
    EXPECT_EQ(c.records[1].items[1].type, 0);
    const std::uint64_t frame = c.records[1].start + c.records[1].items[1].offset;
    const std::vector<std::uint16_t> edges{10, 20, 18, 24};
    EXPECT_EQ(u8At(c.image, frame + 1), 2);
    EXPECT_EQ(u8At(c.image, frame + 2), 5);
    EXPECT_EQ(u8At(c.image, frame + 3), 1);
    for (std::size_t i = 0; i < edges.size(); ++i)
        EXPECT_EQ(u16At(c.image, frame + 4 + 2 * i), edges[i]);
    // The sub-window's background tile sits at its page origin.
    const std::uint64_t tile = c.records[1].start + c.records[1].items[0].offset + 4;
    EXPECT_EQ(u16At(c.image, tile + 4), 10);
    EXPECT_EQ(u16At(c.image, tile + 6), 20);
}

TEST(ScreenWindow, SameProjectGivesTheSameBytes)
{
    auto once = [] {
        CompileFixture f;
        f.input.screens = {source("a.drw", windowBytes([](CDrawDoc& doc) {
            doc.AddObject(shape(ShapeKind::Ellipse, {38, 38, 46, 42}));
        }))};
        return compileWindows(f).image;
    };
    EXPECT_EQ(once(), once());
}

TEST(ScreenWindow, DamagedWindowFailsTheCompile)
{
    CompileFixture f;
    f.input.width = 8;
    f.input.height = 4;
    f.input.screens = {source("a.drw", "not a window")};
    screen::WindowScreenCompiler compiler;
    EXPECT_FALSE(f.compile(&compiler).ok);
    EXPECT_FALSE(f.imageExists());

    CompileFixture huge;
    huge.input.screens = {source("a.drw", windowBytes([](CDrawDoc& doc) { doc.m_nWindowWidth = 1 << 30; }))};
    EXPECT_FALSE(huge.compile(&compiler).ok);
    EXPECT_NE(huge.takeLog().find("a.drw"), std::string::npos);
}

// Region planning on its own: objects marked as controls as the painters would mark them.
struct Plan {
    std::vector<std::unique_ptr<CDrawObj>> objects;
    CDrawObj& add(ShapeKind kind, Rect r)
    {
        objects.push_back(shape(kind, r));
        objects.back()->m_bControl = 1;
        return *objects.back();
    }
};

TEST(ScreenRegions, EqualRectanglesShareTheLaterRegion)
{
    Plan p;
    p.add(ShapeKind::Button, {10, 10, 20, 20}).SetParamU8(126, 1);
    p.add(ShapeKind::Button, {10, 10, 20, 20}).SetParamU8(126, 1);
    p.add(ShapeKind::Button, {12, 12, 14, 14}).SetParamU8(126, 1);   // inside both
    const auto plan = screen::prepareControlLists(p.objects, 1);
    ASSERT_EQ(plan.outermost, std::vector<std::size_t>{1});
    for (const auto& info : plan.info) {
        EXPECT_EQ(info.regionItem, 1);
        EXPECT_TRUE(info.needsRegion);
        EXPECT_TRUE(info.redrawFlags & screen::redraw::InRegion);
    }
    EXPECT_EQ(screen::prepareControlLists(p.objects, 2).info[0].regionItem, 2);
}

TEST(ScreenRegions, OverlapsWithoutConditionsNeedNoRegion)
{
    Plan p;
    auto& button = p.add(ShapeKind::Button, {0, 0, 10, 10});
    for (std::size_t off : {92u, 93u, 94u})
        button.SetParamU8(off, 1);                           // no state shows the background
    p.add(ShapeKind::NumericInput, {5, 5, 15, 15});                // overlaps the button
    p.add(ShapeKind::AreaControl, {5, 5, 15, 15});                 // area controls overlap nothing
    p.objects.push_back(shape(ShapeKind::Rectangle, {0, 0, 20, 20}));
    const auto plan = screen::prepareControlLists(p.objects, 1);
    EXPECT_TRUE(plan.outermost.empty());
    const std::vector<bool> compilable{true, true, true, false};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(plan.info[i].compilable, compilable[i]) << i;
        EXPECT_EQ(plan.info[i].regionItem, -1) << i;
    }
    EXPECT_EQ(plan.info[0].redrawFlags, screen::redraw::Overlapped);
    EXPECT_TRUE(plan.info[0].overlappedByLater);
    EXPECT_EQ(plan.info[1].redrawFlags, 0);
    EXPECT_TRUE(plan.info[1].overlapsEarlier);
    EXPECT_EQ(plan.info[2].redrawFlags, 0);

    // With its hide switch on, the button needs the background after all.
    button.SetParamU8(126, 1);
    const auto hidden = screen::prepareControlLists(p.objects, 1);
    EXPECT_EQ(hidden.outermost, std::vector<std::size_t>{0});
    EXPECT_EQ(hidden.info[0].redrawFlags, screen::redraw::HideSwitch | screen::redraw::InRegion);
}

} // namespace
} // namespace qv::test
