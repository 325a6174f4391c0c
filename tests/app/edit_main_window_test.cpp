// The edit and layout commands as the main window offers them: bound to the active view,
// greyed and enabled by the selection and the clipboard, and run through their actions.
#include "app/edit/shape_clipboard.h"
#include "app/shell/main_frame_setup.h"
#include "app/drawing_tools/edit_tool.h"
#include "app/view/draw_view.h"
#include "model/app/editor_app.h"
#include "tests/app/editor_window_fixture.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>

namespace qv::test {
namespace {

namespace fs = std::filesystem;

class EditInTheMainWindow : public EditorWindowFixture<> {
protected:
    void SetUp() override
    {
        guiApp();
        QGuiApplication::clipboard()->clear();
        showMainWindow(1100, 760);
        ASSERT_NO_FATAL_FAILURE(openProjectOf({"win0.drw"}, 320, 240));
        CEditTool::s_nCurShape = 0;
        frame->ActivateDocumentWindow(frame->FindDocumentWindow("win0.drw"));
        view = dynamic_cast<CDrawView*>(frame->FindDocumentWindow("win0.drw")->widget());
        ASSERT_NE(view, nullptr);
        doc = view->GetDocument();
    }

    void TearDown() override { closeMainWindow(); }

    bool enabled(cmd::CommandKey key)
    {
        frame->RefreshCommands();
        return frame->commands().action(key)->isEnabled();
    }
    bool run(cmd::CommandKey key) { return frame->commands().trigger(key); }

    CDrawView* view = nullptr;
    CDrawDoc* doc = nullptr;
};

TEST_F(EditInTheMainWindow, CopyPasteUndoThroughTheCommands)
{
    CDrawObj* a = doc->AddObject(std::make_unique<CDrawRect>(Rect{50, 50, 90, 90}));
    CDrawObj* b = doc->AddObject(std::make_unique<CDrawRect>(Rect{100, 50, 140, 90}));
    doc->SnapshotAndSetModified();   // as the drawing tool leaves them
    EXPECT_FALSE(enabled(cmd::Copy)) << "nothing selected: no copy";
    EXPECT_FALSE(enabled(cmd::Paste)) << "no shapes on the clipboard: no paste";
    view->SelectShape(a);
    view->SelectShape(b, true);
    EXPECT_FALSE(enabled(cmd::StackToFront)) << "stacking wants exactly one";
    EXPECT_TRUE(enabled(cmd::AlignLeft)) << "align wants two or more";

    ASSERT_TRUE(enabled(cmd::Copy));
    ASSERT_TRUE(run(cmd::Copy));
    ASSERT_TRUE(enabled(cmd::Paste));
    ASSERT_TRUE(run(cmd::Paste));
    EXPECT_EQ(doc->m_objects.size(), 4u);
    ASSERT_TRUE(enabled(cmd::Undo));
    ASSERT_TRUE(run(cmd::Undo));
    EXPECT_EQ(doc->m_objects.size(), 2u) << "undo takes the paste back";
    ASSERT_TRUE(enabled(cmd::SelectAll));
    ASSERT_TRUE(run(cmd::SelectAll));
    EXPECT_EQ(view->m_selList.size(), 2u);
    ASSERT_TRUE(run(cmd::Clear));
    EXPECT_TRUE(doc->m_objects.empty());
}

} // namespace
} // namespace qv::test
