// The editing keys act on the drawing only when an editing view has the focus: typed into
// the project tree or the output bar, they leave the screen as it was.
#include "app/edit/shape_clipboard.h"
#include "app/mainframe/docking_bars.h"
#include "app/tools/edit_tool.h"
#include "app/view/draw_view.h"
#include "tests/app/editor_window_fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <optional>
#include <string>
#include <tuple>

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
            ASSERT_TRUE(frame->commands().trigger({cmd::Owner::View, 57634}));
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

} // namespace
} // namespace qv::test
