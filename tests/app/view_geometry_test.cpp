// The view's geometry without a widget: the window area, keeping and clamping rectangles,
// the paint buffer size, repaint rectangles, the rebase of documents saved with other
// margins, the calibration targets and the focus rectangle.
#include "app/view/view_geometry.h"
#include "app/view/view_painter.h"
#include "model/document/draw_doc.h"

#include <gtest/gtest.h>
#include <climits>

namespace qv {
namespace {

constexpr Rect kWindow{38, 38, 838, 518};

struct KeepCase {
    const char* name;
    Rect in;
    Rect out;
};

class KeepInWindow : public ::testing::TestWithParam<KeepCase> {};

TEST_P(KeepInWindow, PushesBackKeepingTheSize)
{
    const KeepCase& c = GetParam();
    EXPECT_EQ(KeepRectInWindow(c.in, c.in, kWindow), c.out);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KeepInWindow,
    ::testing::Values(KeepCase{"inside", {100, 100, 200, 150}, {100, 100, 200, 150}},
                      KeepCase{"pastRight", {800, 100, 900, 150}, {738, 100, 838, 150}},
                      KeepCase{"pastBottom", {100, 500, 200, 560}, {100, 458, 200, 518}},
                      KeepCase{"pastLeftAndTop", {0, 10, 50, 40}, {38, 38, 88, 68}},
                      KeepCase{"reversedPastRight", {900, 150, 800, 100}, {838, 150, 738, 100}},
                      KeepCase{"widerThanTheWindow", {0, 100, 1000, 150}, {38, 100, 1038, 150}},
                      KeepCase{"extremeValues", {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {38, 38, INT_MAX, INT_MAX}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ViewGeometry, ClampShrinksEachEdgeIntoTheWindow)
{
    EXPECT_EQ(ClampRectToWindow({10, 20, 900, 600}, kWindow), kWindow);
    EXPECT_EQ(ClampRectToWindow({900, 600, 10, 20}, kWindow), (Rect{838, 518, 38, 38}));
    EXPECT_EQ(ClampRectToWindow({100, 100, 200, 200}, kWindow), (Rect{100, 100, 200, 200}));
}

TEST(ViewGeometry, WindowAreaIsTheMarginsPlusTheWindowOrigin)
{
    CDrawDoc sub;
    sub.m_ptWindowOrigin = {100, 60};
    sub.m_nWindowWidth = 200;
    sub.m_nWindowHeight = 120;
    const Rect area = WindowArea(sub, {38, 38});
    EXPECT_EQ(area, (Rect{138, 98, 338, 218}));
    EXPECT_TRUE(IsInWindowArea(area, {138, 98}));
    EXPECT_FALSE(IsInWindowArea(area, {338, 100})) << "right edge exclusive";
    EXPECT_FALSE(IsInWindowArea(area, {200, 218})) << "bottom edge exclusive";
}

TEST(ViewGeometry, DeviceBezelAndBuffers)
{
    const Rect device = DeviceRect({38, 38}, {800, 480});
    EXPECT_EQ(device, (Rect{38, 38, 838, 518}));
    EXPECT_EQ(BezelRect(device), (Rect{13, 13, 863, 568}));
    // What a view shows: the bezel's far edges, or the desktop when that is larger; never
    // the doubled resolution of the scroll range.
    EXPECT_EQ(PaintBufferSize({800, 480}, {38, 38}, {640, 480}), (Size{863, 568}));
    EXPECT_EQ(PaintBufferSize({800, 480}, {38, 38}, {1920, 1080}), (Size{1920, 1080})) << "the desktop when larger";
    EXPECT_EQ(PaintBufferSize({8192, 8192}, {38, 38}, {1920, 1080}), (Size{8255, 8280}));
    EXPECT_EQ(PaintBufferSize({1280, 1024}, {0, 0}, {1280, 1024}), (Size{1305, 1074})) << "full screen";
}

TEST(ViewGeometry, RepaintRectLeavesRoomForHandlesPensAndNumbers)
{
    const Rect r{100, 100, 200, 200};
    EXPECT_EQ(ObjectRepaintRect(r, false, 1, false), (Rect{99, 99, 201, 201}));
    EXPECT_EQ(ObjectRepaintRect({200, 200, 100, 100}, true, 1, false), (Rect{95, 94, 206, 205}));
    EXPECT_EQ(ObjectRepaintRect(r, false, 9, false), (Rect{94, 94, 206, 206}));
    EXPECT_EQ(ObjectRepaintRect(r, false, 1, true), (Rect{67, 79, 201, 201}));
}

TEST(ViewGeometry, RebaseMovesObjectsAndEveryUndoSnapshot)
{
    CDrawDoc doc;
    doc.m_nMarginX = 38;
    doc.m_nMarginY = 38;
    doc.AddObject(std::make_unique<CDrawRect>(Rect{100, 100, 200, 200}));
    doc.TakeUndoSnapshot();
    doc.TakeUndoSnapshot();
    EXPECT_TRUE(RebaseObjects(doc, {0, 0}));
    EXPECT_EQ(doc.m_objects.front()->m_rcPosition, (Rect{62, 62, 162, 162}));
    for (int slot : {0, 1})
        EXPECT_EQ(doc.m_undoRing[static_cast<std::size_t>(slot)].front()->m_rcPosition, (Rect{62, 62, 162, 162}));
    EXPECT_EQ(doc.m_nMarginX, 0);
    EXPECT_FALSE(RebaseObjects(doc, {0, 0})) << "nothing moves twice";
}

TEST(ViewGeometry, CalibrationTargetsAreTheCornersAtATenth)
{
    const Rect device{38, 38, 838, 518};
    EXPECT_EQ(CalibrationTarget(0, device, {800, 480}), (Point{118, 86}));
    EXPECT_EQ(CalibrationTarget(1, device, {800, 480}), (Point{758, 86}));
    EXPECT_EQ(CalibrationTarget(2, device, {800, 480}), (Point{118, 470}));
    EXPECT_EQ(CalibrationTarget(3, device, {800, 480}), (Point{758, 470}));
    EXPECT_FALSE(CalibrationTarget(4, device, {800, 480}));
}

TEST(ViewGeometry, FocusRectDrawnTwiceLeavesThePicture)
{
    Surface s(40, 30, rgb(10, 20, 30));
    const Rect band{5, 4, 30, 20};
    DrawFocusRect(s, band);
    EXPECT_EQ(s.getPixel(5, 5), invertColor(rgb(10, 20, 30)));
    EXPECT_EQ(s.getPixel(5, 6), rgb(10, 20, 30)) << "dotted";
    EXPECT_EQ(s.getPixel(6, 4), invertColor(rgb(10, 20, 30)));
    EXPECT_EQ(s.getPixel(10, 10), rgb(10, 20, 30));
    DrawFocusRect(s, band);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(s.getPixel(x, y), rgb(10, 20, 30)) << x << "," << y;
    DrawFocusRect(s, {INT_MIN, INT_MIN, INT_MAX, INT_MAX});   // walks only the visible part
}

} // namespace
} // namespace qv
