// Drawing a shape through the main window leaves nothing behind: after the drag the view's
// kept picture equals a full repaint, the handles that lay outside the shape while it was
// small (a round rectangle's corner handle) included.
#include "app/drawing_tools/edit_tool.h"
#include "app/view/draw_view.h"
#include "tests/app/editor_window_fixture.h"
#include "tests/app/kept_picture.h"

#include <vector>

namespace qv::test {
namespace {

struct ShapeCase {
    const char* name;
    int toolId;
    QPoint from;
    std::vector<QPoint> moves;  // each painted before the next
};

const ShapeCase kShapes[] = {
    {"round rectangle grown from tiny", cmd::ToolRoundRect.key.id, {100, 100}, {{103, 102}, {106, 104}, {180, 150}}},
    {"round rectangle drawn up and left", cmd::ToolRoundRect.key.id, {200, 180}, {{198, 179}, {120, 110}}},
    {"rectangle", cmd::ToolRect.key.id, {100, 100}, {{102, 101}, {170, 160}}},
};

class NewShapeRepaint : public EditorWindowFixture<> {
protected:
    void SetUp() override
    {
        showMainWindow(1000, 700);
        ASSERT_NO_FATAL_FAILURE(openProjectOf({"win0.drw"}, 320, 240));
        frame->ActivateDocumentWindow(frame->FindDocumentWindow("win0.drw"));
        view = dynamic_cast<CDrawView*>(frame->FindDocumentWindow("win0.drw")->widget());
        ASSERT_NE(view, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view->viewport()));
        ASSERT_TRUE(waitFor([&] { return view->IsActive(); }));
    }
    void TearDown() override
    {
        CEditTool::s_nCurShape = 0;
        closeMainWindow();
    }

    std::vector<std::uint32_t> kept() { return keptPicture(*view); }

    CDrawView* view = nullptr;
};

TEST_F(NewShapeRepaint, NothingStaysBehindTheDrag)
{
    for (const ShapeCase& c : kShapes) {
        SCOPED_TRACE(c.name);
        frame->RefreshCommands();
        ASSERT_TRUE(frame->commands().trigger({cmd::Owner::View, c.toolId}));
        QWidget* port = view->viewport();
        QTest::mousePress(port, Qt::LeftButton, Qt::NoModifier, c.from);
        for (const QPoint& p : c.moves) {
            QTest::mouseMove(port, p);
            if (&p == &c.moves.front())
                port->update(); // the window is exposed while the shape is still small
            kept();             // each step is painted, as the user sees it
        }
        QTest::mouseRelease(port, Qt::LeftButton, Qt::NoModifier, c.moves.back());
        const auto afterDrag = kept();
        port->update();
        const auto fullRepaint = kept();
        EXPECT_EQ(differingPixels(afterDrag, fullRepaint), 0u) << "pixels left from an earlier paint";
    }
}

} // namespace
} // namespace qv::test
