// The edit and layout commands as the main window offers them: bound to the active view,
// greyed and enabled by the selection and the clipboard, and run through their actions.
#include "app/edit/shape_clipboard.h"
#include "app/shell/main_frame_setup.h"
#include "app/tools/edit_tool.h"
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

    bool enabled(int id)
    {
        frame->RefreshCommands();
        return frame->commands().action({cmd::Owner::View, id})->isEnabled();
    }
    bool run(int id) { return frame->commands().trigger({cmd::Owner::View, id}); }

    CDrawView* view = nullptr;
    CDrawDoc* doc = nullptr;
};

TEST_F(EditInTheMainWindow, CopyPasteUndoThroughTheCommands)
{
    CDrawObj* a = doc->AddObject(std::make_unique<CDrawRect>(Rect{50, 50, 90, 90}));
    CDrawObj* b = doc->AddObject(std::make_unique<CDrawRect>(Rect{100, 50, 140, 90}));
    doc->SnapshotAndSetModified();   // as the drawing tool leaves them
    EXPECT_FALSE(enabled(57634)) << "nothing selected: no copy";
    EXPECT_FALSE(enabled(57637)) << "no shapes on the clipboard: no paste";
    view->SelectShape(a);
    view->SelectShape(b, true);
    EXPECT_FALSE(enabled(32785)) << "stacking wants exactly one";
    EXPECT_TRUE(enabled(32799)) << "align wants two or more";

    ASSERT_TRUE(enabled(57634));
    ASSERT_TRUE(run(57634));
    ASSERT_TRUE(enabled(57637));
    ASSERT_TRUE(run(57637));
    EXPECT_EQ(doc->m_objects.size(), 4u);
    ASSERT_TRUE(enabled(57643));
    ASSERT_TRUE(run(57643));
    EXPECT_EQ(doc->m_objects.size(), 2u) << "undo takes the paste back";
    ASSERT_TRUE(enabled(57642));
    ASSERT_TRUE(run(57642));
    EXPECT_EQ(view->m_selList.size(), 2u);
    ASSERT_TRUE(run(57632));
    EXPECT_TRUE(doc->m_objects.empty());
}

} // namespace
} // namespace qv::test
