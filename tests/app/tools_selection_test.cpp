// The selection tool driven by real mouse events: click, Ctrl+click and Ctrl+double click,
// the rubber band, moves that leave locked objects, handle drags and the rules that stop
// them, and the double click that opens the properties.
#include "app/drawing_tools/object_properties.h"
#include "tests/app/view_fixture.h"

namespace qv::test {
namespace {

using SelectionTool = ViewFixture;

TEST_F(SelectionTool, ClickSelectsAloneAndCtrlClickAdds)
{
    CDrawObj* a = addObject({100, 100, 200, 200});
    CDrawObj* b = addObject({300, 100, 400, 200});

    click({150, 150});
    EXPECT_EQ(view->m_selList, std::vector<CDrawObj*>{a});
    click({350, 150}, Qt::ControlModifier);
    EXPECT_EQ(view->m_selList, (std::vector<CDrawObj*>{a, b}));
    // A Ctrl+click on a selected object keeps it; a Ctrl+double click takes it out.
    click({150, 150}, Qt::ControlModifier);
    EXPECT_EQ(view->m_selList, (std::vector<CDrawObj*>{a, b}));
    QTest::mouseDClick(port(), Qt::LeftButton, Qt::ControlModifier, QPoint(150, 150));
    EXPECT_EQ(view->m_selList, std::vector<CDrawObj*>{b});
    click({600, 400});
    EXPECT_TRUE(view->m_selList.empty()) << "a click on empty paper clears the selection";
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(SelectionTool, CtrlIsReadFromEachEventNotFromAKeyLeftDown)
{
    CDrawObj* a = addObject({100, 100, 200, 200});
    CDrawObj* b = addObject({300, 100, 400, 200});
    click({150, 150});
    // Ctrl goes down in the view and comes up while another window has the focus.
    QTest::keyPress(view.get(), Qt::Key_Control);
    click({350, 150});
    EXPECT_EQ(view->m_selList, std::vector<CDrawObj*>{b});
    EXPECT_FALSE(view->IsSelected(a));
}

TEST_F(SelectionTool, RubberBandSelectsWhatLiesWhollyInside)
{
    CDrawObj* inside = addObject({100, 100, 150, 150});
    addObject({180, 100, 260, 150});   // reaches past the band
    CDrawObj* earlier = addObject({500, 300, 550, 350});
    view->SelectShape(earlier);

    drag({90, 90}, {200, 200});
    EXPECT_EQ(view->m_selList, std::vector<CDrawObj*>{inside});
    EXPECT_FALSE(view->RubberBand().has_value()) << "the band is gone after the release";

    drag({490, 290}, {560, 360}, Qt::ControlModifier);
    EXPECT_EQ(view->m_selList, (std::vector<CDrawObj*>{inside, earlier})) << "Ctrl keeps the selection";
}

TEST_F(SelectionTool, DragMovesTheUnlockedObjectsOnly)
{
    CDrawObj* free1 = addObject({100, 100, 200, 200});
    CDrawObj* locked = addObject({300, 100, 400, 200});
    CDrawObj* free2 = addObject({500, 100, 600, 200});
    locked->m_bLocked = 1;
    for (CDrawObj* o : {free1, locked, free2})
        view->SelectShape(o, true);

    drag({150, 150}, {180, 190});
    EXPECT_EQ(free1->m_rcPosition, (Rect{130, 140, 230, 240}));
    EXPECT_EQ(free2->m_rcPosition, (Rect{530, 140, 630, 240}));
    EXPECT_EQ(locked->m_rcPosition, (Rect{300, 100, 400, 200}));
    EXPECT_EQ(view->m_selList.size(), 3u) << "a press on a selected object keeps the whole selection";
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->m_nUndoDepth, 1);
}

TEST_F(SelectionTool, MoveStopsAtTheWindowEdgeKeepingTheSize)
{
    CDrawObj* obj = addObject({100, 100, 200, 160});
    drag({150, 130}, {20, 10});
    EXPECT_EQ(obj->m_rcPosition, (Rect{38, 38, 138, 98}));
}

TEST_F(SelectionTool, ClickWithoutMovingChangesNothing)
{
    addObject({100, 100, 200, 200});
    click({150, 150});
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(doc->m_nUndoDepth, 0);
}

struct HandleDragCase {
    const char* name;
    bool locked;
    bool originalSize;
    bool second;   // a second object is selected too
    Rect expected;
};

class HandleDrag : public ViewFixture, public ::testing::WithParamInterface<HandleDragCase> {};

TEST_P(HandleDrag, ResizesOnlyASingleFreeObject)
{
    const HandleDragCase& c = GetParam();
    CDrawObj* obj = addObject({100, 100, 200, 200});
    obj->m_bLocked = c.locked;
    obj->m_bOriginalSize = c.originalSize;
    view->SelectShape(obj);
    if (c.second)
        view->SelectShape(addObject({400, 300, 450, 350}), true);

    drag({199, 199}, {259, 229});   // on handle 5, the bottom-right corner
    EXPECT_EQ(obj->m_rcPosition, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HandleDrag,
    ::testing::Values(HandleDragCase{"free", false, false, false, {100, 100, 259, 229}},
                      HandleDragCase{"locked", true, false, false, {100, 100, 200, 200}},
                      HandleDragCase{"originalSize", false, true, false, {100, 100, 200, 200}},
                      // With two selected a press on a handle is a move of the whole selection.
                      HandleDragCase{"twoSelectedMoves", false, false, true, {160, 130, 260, 230}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SelectionTool, RoundRectangleCornerHandleSetsTheRoundness)
{
    CDrawObj* obj = addObject({100, 100, 300, 200}, ShapeKind::RoundRect);
    view->SelectShape(obj);
    const Point corner = obj->HandlePoint(9);
    drag(corner, {270, 180});
    EXPECT_EQ(obj->m_cornerSize, (Size{60, 40}));
    EXPECT_EQ(obj->m_rcPosition, (Rect{100, 100, 300, 200}));
}

TEST_F(SelectionTool, DoubleClickOpensThePropertiesOfTheFirstSelected)
{
    CDrawObj* a = addObject({100, 100, 200, 200});
    CDrawObj* b = addObject({300, 100, 400, 200});
    std::vector<std::pair<CDrawObj*, int>> opened;
    const auto previous =
        SetObjectPropertiesHandler([&](CDrawView&, CDrawObj& obj, int count) { opened.emplace_back(&obj, count); });
    view->SelectShape(a);
    view->SelectShape(b, true);
    QTest::mouseDClick(port(), Qt::LeftButton, Qt::NoModifier, QPoint(350, 150));
    SetObjectPropertiesHandler(previous);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], std::make_pair(a, 2));
}

TEST_F(SelectionTool, NoInputWhileCompilingOrInactive)
{
    addObject({100, 100, 200, 200});
    app->m_bCompiling = 1;
    click({150, 150});
    EXPECT_TRUE(view->m_selList.empty());
    app->m_bCompiling = 0;
    view->SetActive(false);
    click({150, 150});
    EXPECT_TRUE(view->m_selList.empty());
}

} // namespace
} // namespace qv::test
