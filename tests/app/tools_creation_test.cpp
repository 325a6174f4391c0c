// Creation tools driven by real mouse events: what a drag makes, the small-drag rule (with
// lines judged by their length), presses outside the window area, and every kind of the
// drawing and controls bars made, painted and saved.
#include "app/commands/menu_layout.h"
#include "app/drawing_tools/tool_commands.h"
#include "app/drawing_tools/tool_shapes.h"
#include "tests/app/view_fixture.h"

#include <functional>
#include <set>

namespace qv::test {
namespace {

namespace fs = std::filesystem;

constexpr int kRectangleShape = 2;
constexpr int kLineShape = 1;

using CreationTool = ViewFixture;

TEST_F(CreationTool, RectangleDragMakesOneSelectedObjectThatSavesAndReloadsUnchanged)
{
    CEditTool::s_nCurShape = kRectangleShape;
    drag({100, 100}, {260, 190});

    ASSERT_EQ(doc->m_objects.size(), 1u);
    CDrawObj* obj = doc->m_objects.front().get();
    EXPECT_EQ(obj->Kind(), ShapeKind::Rectangle);
    // The drag moves the first corner: the stored position is as dragged, not normalised.
    EXPECT_EQ(obj->m_rcPosition, (Rect{260, 190, 100, 100}));
    EXPECT_EQ(view->m_selList, std::vector<CDrawObj*>{obj});
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->m_nUndoDepth, 1);
    EXPECT_EQ(CEditTool::s_nCurShape, kRectangleShape) << "a real drag keeps the tool for the next object";

    const fs::path file = dir.path() / "saved.drw";
    DocumentError error;
    ASSERT_TRUE(doc->OnSaveDocument(file, &error)) << error.messageGbk;
    CDrawDoc reloaded;
    ASSERT_TRUE(reloaded.OnOpenDocument(file, &error)) << error.messageGbk;
    ASSERT_EQ(reloaded.m_objects.size(), 1u);
    EXPECT_EQ(reloaded.m_objects.front()->m_rcPosition, obj->m_rcPosition);
    EXPECT_EQ(reloaded.SerializeToBytes(), doc->SerializeToBytes());
}

TEST_F(CreationTool, UndoGoesBackToTheEmptyScreen)
{
    CEditTool::s_nCurShape = kRectangleShape;
    drag({100, 100}, {200, 200});
    ASSERT_EQ(doc->m_objects.size(), 1u);
    view->SelectShape(nullptr);
    ASSERT_TRUE(doc->Undo());
    EXPECT_TRUE(doc->m_objects.empty());
    EXPECT_FALSE(doc->Undo()) << "the first snapshot is the bottom of the ring";
}

struct SmallDragCase {
    const char* name;
    int shape;
    Point from;
    Point to;
    bool kept;
};

class SmallDrag : public ViewFixture, public ::testing::WithParamInterface<SmallDragCase> {};

TEST_P(SmallDrag, KeepsOnlyObjectsOfSomeSize)
{
    const SmallDragCase& c = GetParam();
    CDrawObj* under = addObject({300, 300, 400, 400});
    CEditTool::s_nCurShape = c.shape;
    drag(c.from, c.to);

    const std::size_t made = doc->m_objects.size() - 1;
    EXPECT_EQ(made, c.kept ? 1u : 0u);
    if (c.kept) {
        EXPECT_EQ(doc->m_objects.back()->m_rcPosition, (Rect{c.to.x, c.to.y, c.from.x, c.from.y}));
        EXPECT_EQ(doc->m_nUndoDepth, 1);
    } else {
        EXPECT_FALSE(doc->IsModified()) << "a drag that makes nothing changes nothing";
        EXPECT_EQ(doc->m_nUndoDepth, 0);
        EXPECT_EQ(CEditTool::s_nCurShape, 0);
        const bool releasedOnObject = under->m_rcPosition.contains(c.to.x, c.to.y);
        EXPECT_EQ(view->IsSelected(under), releasedOnObject);
        EXPECT_EQ(view->m_selList.size(), releasedOnObject ? 1u : 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SmallDrag,
    ::testing::Values(SmallDragCase{"box4x4OverObject", kRectangleShape, {330, 330}, {334, 334}, false},
                      SmallDragCase{"box4x4OnEmptyPaper", kRectangleShape, {100, 100}, {104, 104}, false},
                      SmallDragCase{"box20x1", kRectangleShape, {100, 100}, {120, 101}, true},
                      SmallDragCase{"box100x0", kRectangleShape, {100, 100}, {200, 100}, false},
                      SmallDragCase{"line100x0", kLineShape, {100, 100}, {200, 100}, true},
                      SmallDragCase{"line0x60", kLineShape, {100, 100}, {100, 160}, true},
                      SmallDragCase{"line4x0", kLineShape, {100, 100}, {104, 100}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CreationTool, PressOutsideTheWindowAreaMakesNothingAndDeletesNothing)
{
    CDrawObj* mine = addObject({100, 100, 200, 200});
    view->SelectShape(mine);
    CEditTool::s_nCurShape = kRectangleShape;

    drag({20, 20}, {22, 21});        // in the surround, a small drag
    drag({900, 300}, {950, 400});    // right of the device screen

    ASSERT_EQ(doc->m_objects.size(), 1u) << "the user's selected object must survive";
    EXPECT_EQ(doc->m_objects.front().get(), mine);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(CEditTool::s_nCurShape, kRectangleShape);
}

TEST_F(CreationTool, DragIsKeptInsideTheWindowArea)
{
    CEditTool::s_nCurShape = kRectangleShape;
    drag({200, 200}, {10, 5});
    ASSERT_EQ(doc->m_objects.size(), 1u);
    EXPECT_EQ(doc->m_objects.front()->m_rcPosition, (Rect{38, 38, 200, 200}));
}

TEST_F(CreationTool, PlainClickEndsTheToolWithoutAnObject)
{
    CEditTool::s_nCurShape = kRectangleShape;
    click({150, 150});
    EXPECT_TRUE(doc->m_objects.empty());
    EXPECT_EQ(CEditTool::s_nCurShape, 0);
}

TEST_F(CreationTool, EveryKindOfTheDrawingAndControlBarsIsMadePaintedAndSaved)
{
    std::vector<int> commands;
    for (const auto bar : {cmd::drawingToolCommands(), cmd::controlToolCommands()})
        for (const cmd::MenuEntry& e : bar)
            if (e.id != 0 && e.id != cmd::ToolSelect.key.id)
                commands.push_back(e.id);
    ASSERT_GE(commands.size(), 20u);

    // The picture tool places a picture of the project's own.
    const fs::path picture = dir.path() / "logo.bmp";
    QImage logo(16, 12, QImage::Format_RGB32);
    logo.fill(Qt::red);
    ASSERT_TRUE(logo.save(QString::fromStdString(picture.string()), "BMP"));

    std::set<ShapeKind> kindsMade;
    int column = 0;
    for (const int id : commands) {
        if (id == cmd::ToolPicture.key.id)
            ASSERT_TRUE(PlacePicture(*app, picture));
        else
            ASSERT_TRUE(SelectToolForCommand(id));
        const ToolShapeDef* def = toolShapeByCommand(id);
        ASSERT_NE(def, nullptr) << id;
        const int x = 60 + (column % 6) * 125;
        const int y = 60 + (column / 6) * 110;
        ++column;
        const std::size_t before = doc->m_objects.size();
        drag({x, y}, {x + 90, y + 80});
        ASSERT_EQ(doc->m_objects.size(), before + 1) << "command " << id;
        EXPECT_EQ(doc->m_objects.back()->Kind(), def->kind) << "command " << id;
        kindsMade.insert(*def->kind);
        view->viewport()->repaint();
    }
    EXPECT_EQ(kindsMade.size(), commands.size());

    const QImage image = shown();
    EXPECT_FALSE(image.isNull());

    const fs::path file = dir.path() / "all.drw";
    DocumentError error;
    ASSERT_TRUE(doc->OnSaveDocument(file, &error)) << error.messageGbk;
    CDrawDoc reloaded;
    ASSERT_TRUE(reloaded.OnOpenDocument(file, &error)) << error.messageGbk;
    ASSERT_EQ(reloaded.m_objects.size(), doc->m_objects.size());
    for (std::size_t i = 0; i < doc->m_objects.size(); ++i)
        EXPECT_EQ(reloaded.m_objects[i]->Kind(), doc->m_objects[i]->Kind());
    EXPECT_EQ(reloaded.SerializeToBytes(), doc->SerializeToBytes());
}

// What can happen to a creation drag between its press and its release.
struct InterruptedDrag {
    const char* name;
    std::function<void(CEditorApp&, CDrawDoc&)> meanwhile;
};

TEST_F(CreationTool, ADragInterruptedBeforeItsReleaseLeavesNoObjectAndNoStalePointer)
{
    const InterruptedDrag cases[] = {
        {"a compile starts: the view refuses the release", [](CEditorApp& a, CDrawDoc&) { a.m_bCompiling = 1; }},
        {"the new object leaves the document",
         [](CEditorApp&, CDrawDoc& d) { d.RemoveObject(d.m_objects.back().get()); }},
    };
    for (const InterruptedDrag& c : cases) {
        SCOPED_TRACE(c.name);
        CEditTool::s_nCurShape = kRectangleShape;
        QTest::mousePress(port(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
        QTest::mouseMove(port(), QPoint(180, 160));
        ASSERT_NE(CRectTool::s_pNewObject, nullptr);
        c.meanwhile(*app, *doc);
        QTest::mouseRelease(port(), Qt::LeftButton, Qt::NoModifier, QPoint(200, 170));

        EXPECT_EQ(CRectTool::s_pNewObject, nullptr);
        EXPECT_TRUE(doc->m_objects.empty()) << "an unfinished object does not stay behind";
        EXPECT_TRUE(view->m_selList.empty());
        EXPECT_FALSE(view->HasCapture());
        EXPECT_FALSE(doc->IsModified());

        // The next drag after the compile works on its own object only.
        app->m_bCompiling = 0;
        drag({300, 300}, {400, 380});
        ASSERT_EQ(doc->m_objects.size(), 1u);
        EXPECT_EQ(doc->m_objects.front()->m_rcPosition, (Rect{400, 380, 300, 300}));
        view->SelectShape(nullptr);
        doc->RemoveObject(doc->m_objects.front().get());
        doc->SetModifiedFlag(false);
    }
}

TEST_F(CreationTool, AMoveInterruptedByACompileKeepsWhatWasShownAsAnUndoableChange)
{
    CDrawObj* obj = addObject({100, 100, 200, 200});
    const int depth = doc->m_nUndoDepth;
    QTest::mousePress(port(), Qt::LeftButton, Qt::NoModifier, QPoint(150, 150));
    QTest::mouseMove(port(), QPoint(170, 160));
    app->m_bCompiling = 1;
    QTest::mouseMove(port(), QPoint(250, 250)); // ignored: the compile has begun
    QTest::mouseRelease(port(), Qt::LeftButton, Qt::NoModifier, QPoint(250, 250));
    app->m_bCompiling = 0;

    EXPECT_EQ(obj->m_rcPosition, (Rect{120, 110, 220, 210}));
    EXPECT_TRUE(doc->IsModified()) << "a moved object is saved, or asked about, like any change";
    EXPECT_EQ(doc->m_nUndoDepth, depth + 1);
    EXPECT_FALSE(view->HasCapture());

    // A later click on empty paper records nothing more.
    doc->SetModifiedFlag(false);
    click({600, 400});
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(CreationTool, PictureCommandCancelledKeepsTheTool)
{
    CEditTool::s_nCurShape = kRectangleShape;
    EXPECT_FALSE(PlacePicture(*app, std::nullopt));
    EXPECT_EQ(CEditTool::s_nCurShape, kRectangleShape);
}

} // namespace
} // namespace qv::test
