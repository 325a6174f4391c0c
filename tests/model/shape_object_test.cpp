// Handles, hit tests, dragging and copies of the shape object.
#include <gtest/gtest.h>

#include "model/document/draw_doc.h"
#include "model/shape/draw_obj.h"

using namespace qv;

namespace {

CDrawRect shape(ShapeKind kind, Rect r)
{
    CDrawRect s(r);
    s.SetKind(kind);
    return s;
}

TEST(ShapeHandles, CountsPointsAndCursorsPerKind)
{
    struct Case {
        ShapeKind kind;
        int handle;
        Point point;
        HandleCursor cursor;
    };
    // Position (10, 20) - (51, 81): centre x = 10 + 41 / 2 = 30, centre y = 20 + 61 / 2 = 50.
    const Case cases[] = {
        {ShapeKind::Rectangle, 1, {10, 20}, HandleCursor::SizeNWSE}, {ShapeKind::Rectangle, 2, {30, 20}, HandleCursor::SizeNS},
        {ShapeKind::Rectangle, 3, {51, 20}, HandleCursor::SizeNESW}, {ShapeKind::Rectangle, 4, {51, 50}, HandleCursor::SizeWE},
        {ShapeKind::Rectangle, 5, {51, 81}, HandleCursor::SizeNWSE}, {ShapeKind::Rectangle, 6, {30, 81}, HandleCursor::SizeNS},
        {ShapeKind::Rectangle, 7, {10, 81}, HandleCursor::SizeNESW}, {ShapeKind::Rectangle, 8, {10, 50}, HandleCursor::SizeWE},
        // A line has handles 1 and 5 only: handle 2 is handle 5.
        {ShapeKind::Line, 2, {51, 81}, HandleCursor::SizeNWSE},
        // Handle 9 of round rectangles and buttons sits at the corner size.
        {ShapeKind::RoundRect, 9, {51 - 24, 81 - 8}, HandleCursor::SizeAll},
        {ShapeKind::Button, 9, {51 - 24, 81 - 8}, HandleCursor::SizeAll},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " handle " << c.handle);
        const CDrawRect s = shape(c.kind, {10, 20, 51, 81});
        EXPECT_EQ(s.HandlePoint(c.handle), c.point);
        EXPECT_EQ(s.HandleCursorFor(c.handle), c.cursor);
    }
    EXPECT_EQ(shape(ShapeKind::Line, {}).CountHandles(), 2);
    EXPECT_EQ(shape(ShapeKind::RoundRect, {}).CountHandles(), 9);
    EXPECT_EQ(shape(ShapeKind::Button, {}).CountHandles(), 9);
    EXPECT_EQ(shape(ShapeKind::Ellipse, {}).CountHandles(), 8);
    EXPECT_EQ(CDrawObj(Rect{}).CountHandles(), 8);
}

TEST(ShapeHandles, HandleAtPoint)
{
    const CDrawRect s = shape(ShapeKind::Rectangle, {10, 10, 50, 50});
    EXPECT_EQ(s.HandleAtPoint({52, 47}, nullptr, true), 5);   // within 3 of (50, 50)
    EXPECT_EQ(s.HandleAtPoint({30, 30}, nullptr, true), 0);
    EXPECT_EQ(s.HandleAtPoint({30, 30}, nullptr, false), 1);
    EXPECT_EQ(s.HandleAtPoint({50, 30}, nullptr, false), 0);   // right edge is outside
    // Unselected hits use the position as stored: drawn right to left, it is never hit.
    const CDrawRect backwards = shape(ShapeKind::Rectangle, {50, 10, 10, 50});
    EXPECT_EQ(backwards.HandleAtPoint({30, 30}, nullptr, false), 0);
}

TEST(ShapeDrag, EachHandleMovesItsEdges)
{
    struct Case {
        ShapeKind kind;
        int handle;
        Rect expected;
    };
    const Point p{5, 95};
    const Case cases[] = {
        {ShapeKind::Rectangle, 1, {5, 95, 50, 60}}, {ShapeKind::Rectangle, 2, {10, 95, 50, 60}},
        {ShapeKind::Rectangle, 3, {10, 95, 5, 60}}, {ShapeKind::Rectangle, 4, {10, 20, 5, 60}},
        {ShapeKind::Rectangle, 5, {10, 20, 5, 95}}, {ShapeKind::Rectangle, 6, {10, 20, 50, 95}},
        {ShapeKind::Rectangle, 7, {5, 20, 50, 95}}, {ShapeKind::Rectangle, 8, {5, 20, 50, 60}},
        {ShapeKind::Line, 2, {10, 20, 5, 95}},   // a line's handle 2 drags its end point
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " handle " << c.handle);
        CDrawRect s = shape(c.kind, {10, 20, 50, 60});
        s.DragHandle(c.handle, p, nullptr);
        EXPECT_EQ(s.m_rcPosition, c.expected);
    }
}

struct ClampingView : ShapeView {
    Point DocToClientPoint(Point p) const override { return p; }
    Rect ClientToDocRect(const Rect& r) const override { return r; }
    Rect ClampRectToWindow(const Rect& r) const override { return {std::max(r.left, 0), std::max(r.top, 0), r.right, r.bottom}; }
    void InvalidateObject(CDrawObj*) override { ++invalidated; }
    int invalidated = 0;
};

TEST(ShapeDrag, ThroughAViewTheRectangleIsClampedAndInvalidated)
{
    ClampingView view;
    CDrawRect s = shape(ShapeKind::Rectangle, {10, 20, 50, 60});
    s.DragHandle(1, {-7, -9}, &view);
    EXPECT_EQ(s.m_rcPosition, (Rect{0, 0, 50, 60}));
    EXPECT_EQ(view.invalidated, 2);   // old place and new place
    s.DragHandle(1, {-1, -1}, &view); // same rectangle after clamping: nothing to do
    EXPECT_EQ(view.invalidated, 2);
}

TEST(ShapeDrag, CornerHandleSetsTheRoundness)
{
    struct Case {
        Point to;
        Size corner;
    };
    // Position (0, 0) - (100, 40): centre (50, 20).
    const Case cases[] = {
        {{500, 500}, {2, 2}},     // beyond the bottom-right corner: x' = right - 1
        {{-10, -10}, {100, 40}},  // top-left of the centre: x' = centre, full size
        {{80, 30}, {40, 20}},
    };
    for (const auto& c : cases) {
        CDrawRect s = shape(ShapeKind::RoundRect, {0, 0, 100, 40});
        s.DragHandle(9, c.to, nullptr);
        EXPECT_EQ(s.m_cornerSize, c.corner);
        EXPECT_EQ(s.m_rcPosition, (Rect{0, 0, 100, 40}));
    }
}

TEST(ShapeRect, IsInsideRectNeedsStrictRightAndBottom)
{
    const CDrawRect s = shape(ShapeKind::Rectangle, {10, 10, 50, 50});
    EXPECT_TRUE(s.IsInsideRect({0, 0, 51, 51}));
    EXPECT_FALSE(s.IsInsideRect({0, 0, 50, 51}));
    EXPECT_FALSE(s.IsInsideRect({0, 0, 51, 50}));
    EXPECT_TRUE(s.IsInsideRect({51, 51, 10, 10}));   // the query is normalised too
}

TEST(ShapeOverlaps, RegionsOfRoundShapesAndLines)
{
    struct Case {
        const char* what;
        ShapeKind kind;
        Rect position;
        Point probe;
        bool hit;
    };
    const Case cases[] = {
        {"rectangle corner", ShapeKind::Rectangle, {0, 0, 100, 60}, {0, 0}, true},
        {"ellipse centre", ShapeKind::Ellipse, {0, 0, 100, 60}, {50, 30}, true},
        {"ellipse bounding-box corner", ShapeKind::Ellipse, {0, 0, 100, 60}, {2, 2}, false},
        {"ellipse edge middle", ShapeKind::Ellipse, {0, 0, 100, 60}, {0, 30}, true},
        {"circle drawn backwards", ShapeKind::Circle, {100, 100, 0, 0}, {3, 3}, false},
        {"round rectangle corner", ShapeKind::RoundRect, {0, 0, 100, 60}, {0, 0}, false},
        {"round rectangle edge", ShapeKind::RoundRect, {0, 0, 100, 60}, {0, 30}, true},
        {"button corner", ShapeKind::Button, {0, 0, 100, 60}, {1, 1}, false},
        {"real-time number corner", ShapeKind::RealTimeNumber, {0, 0, 100, 60}, {1, 1}, false},
        {"line on its path", ShapeKind::Line, {0, 0, 100, 50}, {50, 25}, true},
        {"line off its path", ShapeKind::Line, {0, 0, 100, 50}, {50, 5}, false},
        {"rising line on its path", ShapeKind::Line, {0, 100, 100, 0}, {20, 80}, true},
        {"rising line on the other diagonal", ShapeKind::Line, {0, 100, 100, 0}, {20, 20}, false},
        {"45-degree line", ShapeKind::Line, {0, 0, 100, 100}, {50, 50}, true},
        {"horizontal line", ShapeKind::Line, {0, 40, 100, 40}, {50, 41}, true},
        {"vertical line", ShapeKind::Line, {40, 0, 40, 100}, {38, 50}, true},
        {"horizontal line far away", ShapeKind::Line, {0, 40, 100, 40}, {50, 50}, false},
        {"outside the box", ShapeKind::Button, {0, 0, 100, 60}, {100, 30}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const CDrawRect s = shape(c.kind, c.position);
        EXPECT_EQ(s.Overlaps({c.probe.x, c.probe.y, c.probe.x + 1, c.probe.y + 1}), c.hit);
    }
    // A query rectangle that covers part of the ellipse but not its bounding-box corner only.
    const CDrawRect e = shape(ShapeKind::Ellipse, {0, 0, 100, 60});
    EXPECT_FALSE(e.Overlaps({0, 0, 8, 6}));
    EXPECT_TRUE(e.Overlaps({0, 0, 30, 30}));
    // Coordinates near the ends of the integer range neither overflow nor hit wrongly.
    const CDrawRect huge = shape(ShapeKind::Ellipse, {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX});
    EXPECT_TRUE(huge.Overlaps({0, 0, 1, 1}));
    EXPECT_FALSE(huge.Overlaps({INT32_MIN, INT32_MIN, INT32_MIN + 1, INT32_MIN + 1}));
}

TEST(ShapeCopies, DuplicateCopiesWhatEachClassCopies)
{
    CDrawRect s = shape(ShapeKind::Button, {1, 2, 3, 4});
    s.m_bLocked = 1;
    s.m_bControl = 1;
    s.m_strName = "启动";
    s.m_strFiles = {"a"};
    s.m_Params[100] = 7;
    s.m_cornerSize = {5, 6};
    s.m_penInfo.color = 0xFF;
    auto copy = s.Duplicate();
    EXPECT_EQ(copy->ClassName(), "CDrawRect");
    EXPECT_EQ(copy->Kind(), ShapeKind::Button);
    EXPECT_EQ(copy->m_bLocked, 0);   // not copied
    EXPECT_EQ(copy->m_bControl, 1);
    EXPECT_EQ(copy->m_strName, "启动");
    EXPECT_EQ(copy->m_strFiles, s.m_strFiles);
    EXPECT_EQ(copy->m_Params, s.m_Params);
    EXPECT_EQ(copy->m_cornerSize, (Size{5, 6}));
    EXPECT_EQ(copy->m_penInfo, s.m_penInfo);

    CDrawObj base(Rect{1, 2, 3, 4});
    base.m_strName = "x";
    base.SetKind(ShapeKind::Button);
    auto baseCopy = base.Duplicate();
    EXPECT_EQ(baseCopy->ClassName(), "CDrawObj");
    EXPECT_EQ(baseCopy->m_strName, "文字");   // the base copy keeps the new-shape default
    EXPECT_EQ(baseCopy->Kind(), ShapeKind::Rectangle);

    CDrawDoc doc;
    CDrawObj* added = s.DuplicateInto(doc);
    EXPECT_EQ(added->m_pOwnerDoc, &doc);
    EXPECT_EQ(doc.m_objects.size(), 1u);
}

TEST(ShapeDefaults, NewShapeAndNameEntry)
{
    const CDrawRect s(Rect{1, 2, 3, 4});
    EXPECT_EQ(s.m_strName, "文字");
    EXPECT_EQ(s.m_penInfo, (LogPen{PS_INSIDEFRAME, 3, 3, 0}));
    EXPECT_EQ(s.m_brushInfo, (LogBrush{BS_SOLID, 0x00FFFFFF, 0}));
    EXPECT_EQ(s.m_cornerSize, (Size{48, 16}));
    EXPECT_EQ(s.m_logfont.faceName(), "黑体");
    EXPECT_EQ(s.m_clrTransparent, 0x00FFFFFFu);

    // A name entry holds its name and nothing else (no stray bytes reach the file).
    const CDrawObj entry(std::string("主画面.drw"));
    EXPECT_EQ(entry.m_strName, "主画面.drw");
    EXPECT_EQ(entry.m_rcPosition, Rect{});
    EXPECT_EQ(entry.m_bHasPen, 0);
    EXPECT_EQ(entry.m_penInfo, LogPen{});
    EXPECT_EQ(entry.m_logfont.lfHeight, 0);
    EXPECT_EQ(entry.m_logfont.lfCharSet, 0);
    EXPECT_EQ(entry.m_clrTransparent, 0u);
    EXPECT_EQ(entry.m_Params, ParamBlock{});
}

struct CountingView : DocumentView {
    void OnUpdate(DocumentView*, int, CDrawObj* obj) override { last = obj; ++updates; }
    CDrawObj* last = nullptr;
    int updates = 0;
};

TEST(ShapeColours, SettingAColourRepaintsInTheOwnerDocument)
{
    CDrawDoc doc;
    CountingView view;
    doc.AddView(&view);
    CDrawObj* s = doc.AddObject(std::make_unique<CDrawRect>(Rect{0, 0, 5, 5}));
    s->SetPenColor(0x0000FF);
    s->SetBrushColor(0x00FF00);
    EXPECT_EQ(s->m_penInfo.color, 0x0000FFu);
    EXPECT_EQ(s->m_brushInfo.color, 0x00FF00u);
    EXPECT_EQ(view.updates, 2);
    EXPECT_EQ(view.last, s);
}

} // namespace
