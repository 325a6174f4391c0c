// A repaint of part of the view paints only the objects that can show there. Dragging an
// object across a crowded screen, each step painted as the user sees it, leaves the kept
// picture equal to a full repaint: objects just outside the repainted part whose wide pen,
// handles or control number reach into it are painted there too.
#include "tests/app/kept_picture.h"
#include "tests/app/view_fixture.h"

#include <vector>

namespace qv::test {
namespace {

class PartialRepaint : public ViewFixture {
protected:
    // A shape whose centred pen of `width` pixels reaches half of it outside its position.
    CDrawObj* addPenned(Rect position, ShapeKind kind, int width, ColorRef color)
    {
        CDrawObj* obj = addObject(position, kind);
        obj->m_bHasPen = 1;
        obj->m_penInfo = {PS_SOLID, width, width, color};
        obj->m_bHasBrush = 1;
        obj->m_brushInfo = {BS_SOLID, rgb(240, 200, 40), 0};
        return obj;
    }

    std::vector<std::uint32_t> kept() { return keptPicture(*view); }
};

TEST_F(PartialRepaint, DragAcrossACrowdedScreenLeavesWhatAFullRepaintShows)
{
    app->m_bShowCtrlNumbers.store(1);
    // Along the drag's path and just beside it: the dragged rectangle and its handles
    // repaint rows 194 to 256 or so, which the pen bands of the first two reach into.
    addPenned({120, 130, 200, 192}, ShapeKind::Ellipse, 11, rgb(200, 0, 0));
    addPenned({230, 258, 300, 320}, ShapeKind::RoundRect, 9, rgb(0, 120, 0));
    addPenned({330, 150, 420, 195}, ShapeKind::Line, 13, rgb(0, 0, 160));
    addPenned({450, 200, 520, 260}, ShapeKind::Circle, 5, rgb(90, 0, 90));
    CDrawObj* text = addObject({540, 190, 640, 240}, ShapeKind::Text);
    text->m_strName = "温度 25.0";
    addObject({660, 205, 720, 250}, ShapeKind::PipeJoint);
    addObject({150, 215, 260, 245}, ShapeKind::Pipe);
    addObject({300, 210, 340, 262}, ShapeKind::Scale);
    addObject({560, 263, 640, 300}, ShapeKind::Button);   // its number box reaches up into the path
    addObject({380, 264, 430, 300}, ShapeKind::Rectangle);
    CDrawObj* dragged = addObject({60, 200, 120, 250}, ShapeKind::Rectangle);
    view->SelectShape(dragged);         // its handles stick out of its position
    port()->update();
    kept();

    QTest::mousePress(port(), Qt::LeftButton, Qt::NoModifier, QPoint(90, 225));
    for (int x = 90; x <= 700; x += 23) {
        QTest::mouseMove(port(), QPoint(x, 225 + (x / 23) % 3));
        kept(); // each step is painted before the next
    }
    QTest::mouseRelease(port(), Qt::LeftButton, Qt::NoModifier, QPoint(700, 226));
    const auto afterDrag = kept();
    port()->update();
    const auto fullRepaint = kept();
    EXPECT_EQ(differingPixels(afterDrag, fullRepaint), 0u) << "pixels the partial repaints left out";
}

// Shapes added without a repaint, then only a strip beside them repainted: every shape whose
// pixels fall in the strip must be painted there, also where a wide pen's line ends lie
// outside a box thinner than the pen.
TEST_F(PartialRepaint, StripBesideAShapeShowsWhatAFullRepaintShows)
{
    struct Case {
        const char* what;
        Rect position;
        ShapeKind kind;
        int pen;
        QRect strip; // client pixels right of the position's pen band
    };
    const Case cases[] = {
        {"vertical line, box thinner than its pen", {300, 100, 300, 200}, ShapeKind::Line, 15, QRect(311, 90, 12, 120)},
        {"horizontal line, box thinner than its pen", {300, 100, 400, 101}, ShapeKind::Line, 15, QRect(290, 110, 120, 12)},
        {"line of a negative pen width", {300, 100, 300, 200}, ShapeKind::Line, -15, QRect(303, 90, 10, 130)},
        {"ellipse with a wide pen", {300, 100, 400, 200}, ShapeKind::Ellipse, 15, QRect(400, 90, 12, 120)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        port()->update();
        const auto before = kept();
        addPenned(c.position, c.kind, c.pen, rgb(0, 0, 160));
        port()->update(c.strip);
        const auto partial = kept();
        port()->update();
        const auto full = kept();
        // The view is not scrolled: the strip's client pixels are the kept picture's.
        const int width = view->PaintSurface().width();
        std::size_t missing = 0, shapePixels = 0;
        for (int y = c.strip.top(); y <= c.strip.bottom(); ++y)
            for (int x = c.strip.left(); x <= c.strip.right(); ++x) {
                const auto at = static_cast<std::size_t>(y) * width + x;
                missing += partial[at] != full[at] ? 1 : 0;
                shapePixels += before[at] != full[at] ? 1 : 0;
            }
        ASSERT_GT(shapePixels, 0u) << "the shape does not reach into the strip";
        EXPECT_EQ(missing, 0u) << "pixels the strip's repaint left out";
        doc->m_objects.clear();
    }
}

} // namespace
} // namespace qv::test
