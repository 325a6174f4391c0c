// The editing keys act on the drawing only when an editing view has the focus: typed into
// the project tree or the output bar, they leave the screen as it was.
#include "app/edit/shape_clipboard.h"
#include "app/mainframe/docking_bars.h"
#include "app/projecttree/project_tree.h"
#include "app/drawing_tools/edit_tool.h"
#include "app/view/draw_view.h"
#include "tests/app/editor_window_fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace qv::test {
namespace {

enum class Focus { View, Tree, Output };

struct KeyCase {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    bool copyFirst;  // the clipboard holds the selection before the key (for paste)
};

const KeyCase kKeys[] = {
    {"Delete", Qt::Key_Delete, Qt::NoModifier, false},
    {"Ctrl+A", Qt::Key_A, Qt::ControlModifier, false},
    {"Ctrl+C", Qt::Key_C, Qt::ControlModifier, false},
    {"Ctrl+X", Qt::Key_X, Qt::ControlModifier, false},
    {"Ctrl+V", Qt::Key_V, Qt::ControlModifier, true},
    {"Left", Qt::Key_Left, Qt::NoModifier, false},
    {"Ctrl+Down", Qt::Key_Down, Qt::ControlModifier, false},
};

// What a key may change: the objects, where the first one is, the selection, shapes on the
// clipboard (the tree's own Ctrl+C copies its item's text, which is its business).
using DrawingState = std::tuple<std::size_t, Rect, std::size_t, std::optional<std::string>>;

class KeyRouting : public EditorWindowFixture<>, public ::testing::WithParamInterface<Focus> {
protected:
    void SetUp() override
    {
        showMainWindow(1100, 760);
        ASSERT_NO_FATAL_FAILURE(openProjectOf({"win0.drw"}, 320, 240));
        CEditTool::s_nCurShape = 0;
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
        frame->ActivateDocumentWindow(frame->FindDocumentWindow("win0.drw"));
        view = dynamic_cast<CDrawView*>(frame->FindDocumentWindow("win0.drw")->widget());
        ASSERT_NE(view, nullptr);
        doc = view->GetDocument();
    }
    void TearDown() override { closeMainWindow(); }

    void prepare(const KeyCase& c)
    {
        QGuiApplication::clipboard()->clear();
        view->SelectShape(nullptr);
        while (!doc->m_objects.empty())
            doc->RemoveObject(doc->m_objects.front().get());
        first = doc->AddObject(std::make_unique<CDrawRect>(Rect{80, 80, 120, 120}));
        doc->AddObject(std::make_unique<CDrawRect>(Rect{150, 80, 190, 120}));
        doc->SnapshotAndSetModified();
        view->SelectShape(first);
        if (c.copyFirst) {
            frame->RefreshCommands();
            ASSERT_TRUE(frame->commands().trigger(cmd::Copy));
        }
        QWidget* target = focusTarget(GetParam());
        target->setFocus();
        ASSERT_TRUE(waitFor([&] { return QApplication::focusWidget() == target; }));
        frame->RefreshCommands();
    }

    QWidget* focusTarget(Focus f) const
    {
        switch (f) {
        case Focus::View: return view;
        case Focus::Tree: return frame->projectBar()->widget();
        case Focus::Output: return frame->outputBar()->widget();
        }
        return nullptr;
    }

    DrawingState state() const
    {
        return {doc->m_objects.size(), doc->m_objects.empty() ? Rect{} : doc->m_objects.front()->m_rcPosition,
                view->m_selList.size(), edit::shapesFromClipboard()};
    }

    CDrawView* view = nullptr;
    CDrawDoc* doc = nullptr;
    CDrawObj* first = nullptr;
};

TEST_P(KeyRouting, EditingKeysActOnlyFromAnEditingView)
{
    for (const KeyCase& c : kKeys) {
        SCOPED_TRACE(c.name);
        ASSERT_NO_FATAL_FAILURE(prepare(c));
        const DrawingState before = state();
        QTest::keyClick(QApplication::focusWidget(), c.key, c.mods);
        QCoreApplication::processEvents();
        if (GetParam() == Focus::View)
            EXPECT_NE(state(), before) << "typed into the view, the key edits the drawing";
        else
            EXPECT_EQ(state(), before) << "typed elsewhere, the drawing stays as it was";
    }
}

INSTANTIATE_TEST_SUITE_P(FocusIn, KeyRouting, ::testing::Values(Focus::View, Focus::Tree, Focus::Output),
                         [](const auto& info) {
                             switch (info.param) {
                             case Focus::View: return "View";
                             case Focus::Tree: return "ProjectTree";
                             case Focus::Output: return "OutputBar";
                             }
                             return "";
                         });

// A click on another screen's item in the tree brings that screen to the front and leaves
// the focus in the tree: Delete and Ctrl+A typed next touch neither screen.
class TreeClickKeys : public EditorWindowFixture<> {
protected:
    void SetUp() override
    {
        showMainWindow(1100, 760);
        ASSERT_NO_FATAL_FAILURE(openProjectOf({"win0.drw", "win1.drw"}, 320, 240));
        CEditTool::s_nCurShape = 0;
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
        tree = dynamic_cast<CProjectTree*>(frame->projectBar()->widget());
        ASSERT_NE(tree, nullptr);
        // Each screen opened from the tree with an object selected; win0 ends in front.
        const std::pair<int, const char*> screens[] = {{1, "win1.drw"}, {0, "win0.drw"}};
        for (const auto& [index, name] : screens) {
            ASSERT_NO_FATAL_FAILURE(clickTree(index));
            CSplitFrame* window = frame->FindDocumentWindow(name);
            ASSERT_NE(window, nullptr);
            auto* v = dynamic_cast<CDrawView*>(window->widget());
            ASSERT_NE(v, nullptr);
            CDrawDoc* d = v->GetDocument();
            d->AddObject(std::make_unique<CDrawRect>(Rect{150, 80, 190, 120}));
            v->SelectShape(d->AddObject(std::make_unique<CDrawRect>(Rect{80, 80, 120, 120})));
            views.push_back(v);
        }
    }
    void TearDown() override { closeMainWindow(); }

    void clickTree(int screen)
    {
        QTreeWidgetItem* item = tree->itemFor({TreeItemKind::Screen, screen});
        ASSERT_NE(item, nullptr);
        tree->scrollToItem(item);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->labelRect(item).center());
        QCoreApplication::processEvents();
    }

    // Objects and selection of both screens.
    std::vector<std::size_t> state() const
    {
        std::vector<std::size_t> s;
        for (CDrawView* v : views)
            s.insert(s.end(), {v->GetDocument()->m_objects.size(), v->m_selList.size()});
        return s;
    }

    void typeEditingKeys()
    {
        frame->RefreshCommands();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QCoreApplication::processEvents();
    }

    CProjectTree* tree = nullptr;
    std::vector<CDrawView*> views; // win1's, then win0's
};

TEST_F(TreeClickKeys, KeysAfterAClickInTheTreeOrTheOutputBarLeaveEveryScreen)
{
    const auto before = state();
    ASSERT_NO_FATAL_FAILURE(clickTree(1));
    ASSERT_EQ(frame->ActiveDocumentWindow(), frame->FindDocumentWindow("win1.drw"));
    EXPECT_EQ(QApplication::focusWidget(), tree);
    typeEditingKeys();
    EXPECT_EQ(state(), before) << "typed after a click in the tree";

    QWidget* output = frame->outputBar()->widget();
    QTest::mouseClick(output, Qt::LeftButton, {}, QPoint(10, 10));
    ASSERT_TRUE(waitFor([&] { return QApplication::focusWidget() == output; }));
    typeEditingKeys();
    EXPECT_EQ(state(), before) << "typed after a click in the output bar";

    // The same keys typed into the screen in front still edit it.
    views.front()->setFocus();
    ASSERT_TRUE(waitFor([&] { return QApplication::focusWidget() == views.front(); }));
    frame->RefreshCommands();
    QTest::keyClick(views.front(), Qt::Key_Delete);
    EXPECT_EQ(views.front()->GetDocument()->m_objects.size(), 1u);
}

} // namespace
} // namespace qv::test
