// What the editing view shows, probed on its own grab: the surround, the bezel, the paper,
// inverted handles only in the active view, the rubber band while it is dragged, the project
// document's empty surround; and the view's coordinates, context menu, timer and run mode.
#include "app/view/view_context_menu.h"
#include "app/view/view_geometry.h"
#include "tests/app/view_fixture.h"

#include <QAction>
#include <QMenu>
#include <QScrollBar>
#include <QTimer>

namespace qv::test {
namespace {

using EditingView = ViewFixture;

QRgb px(const QImage& image, Point p) { return image.pixel(p.x, p.y) & 0xFFFFFF; }
constexpr QRgb rgbOf(int r, int g, int b) { return static_cast<QRgb>((r << 16) | (g << 8) | b); }

constexpr QRgb kGrey = rgbOf(128, 128, 128);
constexpr QRgb kBezelGrey = rgbOf(193, 193, 193);
constexpr QRgb kBlack = rgbOf(0, 0, 0);
constexpr QRgb kWhite = rgbOf(255, 255, 255);
constexpr QRgb kPaper = rgbOf(0, 255, 255);       // the default paper colour
constexpr QRgb kPaperInverted = rgbOf(255, 0, 0);
constexpr QRgb kRectangleFill = rgbOf(192, 192, 192);  // a new rectangle's fill

TEST_F(EditingView, ShowsSurroundBezelPaperAndObjects)
{
    addObject({100, 100, 200, 200});
    const QImage image = shown();
    struct Probe {
        Point at;
        QRgb colour;
        const char* what;
    };
    const Probe probes[] = {
        {{5, 5}, kGrey, "surround"},
        {{950, 300}, kGrey, "surround right of the bezel"},
        {{14, 300}, kBlack, "bezel frame"},
        {{25, 300}, kBezelGrey, "bezel face"},
        {{500, 540}, kBezelGrey, "bezel face below the screen"},
        {{500, 400}, kPaper, "paper"},
        {{150, 150}, kRectangleFill, "object's fill"},
        {{101, 150}, kBlack, "object's pen"},
    };
    for (const Probe& p : probes)
        EXPECT_EQ(px(image, p.at), p.colour) << p.what;
}

TEST_F(EditingView, ControlsWithoutAPainterShowTheirFrame)
{
    // Reserved kinds never get a painter.
    addObject({300, 200, 200, 100}, ShapeKind::Reserved17);
    const QImage image = shown();
    EXPECT_EQ(px(image, {200, 150}), rgbOf(64, 64, 64));
    EXPECT_EQ(px(image, {250, 100}), rgbOf(64, 64, 64));
    EXPECT_EQ(px(image, {250, 150}), kPaper);
}

TEST_F(EditingView, HandlesAreInvertedAndShowOnlyInTheActiveView)
{
    CDrawObj* a = addObject({100, 100, 200, 200});
    CDrawObj* b = addObject({300, 100, 400, 200});
    EXPECT_EQ(px(shown(), {98, 98}), kPaper);

    view->SelectShape(a);
    QImage image = shown();
    EXPECT_EQ(px(image, {98, 98}), kPaperInverted) << "handle 1 outside the object";
    EXPECT_EQ(px(image, {101, 101}), kWhite) << "handle 1 over the black pen";
    EXPECT_EQ(px(image, {298, 98}), kPaper);

    view->SelectShape(b, true);
    image = shown();
    EXPECT_EQ(px(image, {98, 98}), kPaperInverted);
    EXPECT_EQ(px(image, {298, 98}), kPaperInverted) << "every selected object shows where it is";

    view->SetActive(false);
    image = shown();
    EXPECT_EQ(px(image, {98, 98}), kPaper);
    EXPECT_EQ(px(image, {298, 98}), kPaper);
}

TEST_F(EditingView, MovedObjectLeavesNoTrace)
{
    CDrawObj* obj = addObject({100, 100, 200, 200});
    view->SelectShape(obj);
    shown();
    drag({150, 150}, {450, 350});
    const QImage image = shown();
    EXPECT_EQ(px(image, {98, 98}), kPaper);
    EXPECT_EQ(px(image, {150, 150}), kPaper);
    EXPECT_EQ(px(image, {450, 350}), kRectangleFill);
}

TEST_F(EditingView, RubberBandIsDrawnWhileDraggedAndGoneAfter)
{
    QTest::mousePress(port(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    QTest::mouseMove(port(), QPoint(150, 140));
    QTest::mouseMove(port(), QPoint(200, 180));
    QImage image = shown();
    EXPECT_EQ(px(image, {100, 100}), kPaperInverted);
    EXPECT_EQ(px(image, {101, 100}), kPaper) << "dotted";
    EXPECT_EQ(px(image, {199, 150}), kPaper);
    EXPECT_EQ(px(image, {199, 151}), kPaperInverted);
    QTest::mouseRelease(port(), Qt::LeftButton, Qt::NoModifier, QPoint(200, 180));
    image = shown();
    EXPECT_EQ(px(image, {100, 100}), kPaper);
    EXPECT_EQ(px(image, {199, 151}), kPaper);
}

TEST_F(EditingView, ProjectDocumentShowsOnlyTheSurroundAndTakesNoTools)
{
    CDrawDoc* project = app->ProjectDoc();
    ASSERT_NE(project, nullptr);
    CDrawView projectView(*app, project, false);
    projectView.resize(600, 400);
    projectView.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&projectView));
    const QImage image = projectView.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (const Point p : {Point{5, 5}, Point{14, 300}, Point{300, 200}})
        EXPECT_EQ(px(image, p), kGrey);
    CEditTool::s_nCurShape = 2;
    QTest::mousePress(projectView.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    QTest::mouseRelease(projectView.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(200, 200));
    EXPECT_TRUE(project->m_objects.empty());
}

TEST_F(EditingView, ScrolledViewWorksInDocumentCoordinates)
{
    view->horizontalScrollBar()->setValue(100);
    view->verticalScrollBar()->setValue(50);
    ASSERT_EQ(view->ClientToDocPoint({100, 100}), (Point{200, 150}));
    EXPECT_EQ(view->DocToClientRect({300, 250, 200, 150}), (Rect{100, 100, 200, 200}));
    CEditTool::s_nCurShape = 2;
    drag({100, 100}, {200, 200});
    ASSERT_EQ(doc->m_objects.size(), 1u);
    EXPECT_EQ(doc->m_objects.front()->m_rcPosition, (Rect{300, 250, 200, 150}));
    EXPECT_EQ(px(shown(), {150, 150}), kRectangleFill);
}

TEST_F(EditingView, OtherMarginsAreRebasedBeforeThePaint)
{
    CDrawObj* obj = addObject({100, 100, 200, 200});
    doc->SnapshotAndSetModified();
    app->m_nMarginX = 0;
    app->m_nMarginY = 0;
    view->viewport()->repaint();
    EXPECT_EQ(obj->m_rcPosition, (Rect{62, 62, 162, 162}));
    EXPECT_EQ(doc->m_undoRing[static_cast<std::size_t>(doc->m_nUndoSlot)].front()->m_rcPosition,
              (Rect{62, 62, 162, 162}));
    EXPECT_EQ(doc->m_nMarginX, 0);
}

TEST_F(EditingView, ContextMenuOffersTheEditEntriesThroughTheCommands)
{
    std::vector<int> ran;
    CDrawView::Hooks hooks;
    hooks.commandEnabled = [](int id) { return id != cmd::Paste.key.id; };
    hooks.runCommand = [&](int id) { ran.push_back(id); };
    view->SetHooks(hooks);

    std::unique_ptr<QMenu> menu(view->CreateContextMenu(nullptr));
    ASSERT_NE(menu, nullptr);
    const QList<QAction*> actions = menu->actions();
    const auto entries = viewContextMenuEntries();
    ASSERT_EQ(actions.size(), static_cast<qsizetype>(entries.size()));
    EXPECT_EQ(actions[0]->text(), QString::fromUtf8(u8"剪切(&T)"));
    EXPECT_EQ(actions[7]->text(), QString::fromUtf8(u8"生成位图(&b)..."));
    EXPECT_FALSE(actions[2]->isEnabled()) << "paste greyed by its rule";
    actions[5]->trigger();
    EXPECT_EQ(ran, std::vector<int>{cmd::LockSelection.key.id});

    app->m_bCompiling = 1;
    EXPECT_EQ(view->CreateContextMenu(nullptr), nullptr);
    app->m_bCompiling = 0;
}

TEST_F(EditingView, CaretTimerTicksEvery400msOnlyForTheActiveView)
{
    ASSERT_NE(view->caretTimer(), nullptr);
    EXPECT_EQ(view->caretTimer()->interval(), 400);
    EXPECT_TRUE(view->caretTimer()->isActive());
    int ticks = 0;
    CDrawView::Hooks hooks;
    hooks.caretTick = [&] { ++ticks; };
    view->SetHooks(hooks);
    view->OnCaretTimer();
    view->SetActive(false);
    view->OnCaretTimer();
    EXPECT_EQ(ticks, 1);
}

TEST_F(EditingView, CursorPositionIsReportedFromTheCanvasOrigin)
{
    std::vector<Point> reported;
    CDrawView::Hooks hooks;
    hooks.cursorPosition = [&](Point p) { reported.push_back(p); };
    view->SetHooks(hooks);
    QTest::mouseMove(port(), QPoint(138, 88));
    ASSERT_FALSE(reported.empty());
    EXPECT_EQ(reported.back(), (Point{100, 50}));
}

TEST_F(EditingView, RunModeViewMakesNothingAndResetsTheTool)
{
    CDrawDoc* sim = app->FindDocByTitle(CEditorApp::kSimulatorTitle);
    ASSERT_NE(sim, nullptr);
    CDrawView runView(*app, sim, true);
    runView.resize(900, 600);
    runView.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&runView));
    EXPECT_TRUE(runView.IsRunMode());
    EXPECT_EQ(runView.CreateContextMenu(nullptr), nullptr);
    CEditTool::s_nCurShape = 2;
    QTest::mousePress(runView.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    QTest::mouseRelease(runView.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(200, 200));
    EXPECT_TRUE(sim->m_objects.empty());
    EXPECT_EQ(CEditTool::s_nCurShape, 0);
    runView.viewport()->repaint();
    ASSERT_NE(app->m_pRunBackDC, nullptr);
    const Rect bezel = BezelRect(DeviceRect(runView.PageMargins(), {app->m_nResWidth, app->m_nResHeight}));
    EXPECT_EQ(app->m_pRunBackDC->width(), bezel.right) << "the device, not the doubled scroll range";
    EXPECT_EQ(app->m_pRunBackDC->getPixel(5, 5), rgb(0, 0, 255));
}

} // namespace
} // namespace qv::test
