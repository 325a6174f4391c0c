// The views in the main window: every document frame holds a CDrawView (the simulator's in
// run mode), the tool commands select tools and carry the radio mark, the numeric input tool
// waits for the keypad windows, and a closed document leaves its view without it.
#include "app/shell/main_frame_setup.h"
#include "app/drawing_tools/edit_tool.h"
#include "app/view/draw_view.h"
#include "model/app/editor_app.h"
#include "tests/app/editor_window_fixture.h"

#include <QAction>
#include <QMdiArea>

namespace qv::test {
namespace {

namespace fs = std::filesystem;

class ViewsInTheMainWindow : public EditorWindowFixture<> {
protected:
    void SetUp() override
    {
        showMainWindow(1100, 760);
        ASSERT_NO_FATAL_FAILURE(openProjectOf({"win0.drw", "数字键盘.dlg"}, 0, 0));
        CEditTool::s_nCurShape = 0;
    }

    void TearDown() override
    {
        CEditTool::s_nCurShape = 0;
        closeMainWindow();
    }

    CDrawView* viewOf(const std::string& title) const
    {
        CSplitFrame* f = frame->FindDocumentWindow(title);
        return f != nullptr ? dynamic_cast<CDrawView*>(f->widget()) : nullptr;
    }

    QAction* action(cmd::CommandKey key) const { return frame->commands().action(key); }
};

TEST_F(ViewsInTheMainWindow, EveryDocumentFrameHoldsItsView)
{
    for (CSplitFrame* f : frame->DocumentWindows()) {
        auto* view = dynamic_cast<CDrawView*>(f->widget());
        ASSERT_NE(view, nullptr) << f->info().title;
        EXPECT_EQ(view->GetDocument(), f->info().document);
        EXPECT_EQ(view->IsRunMode(), f->info().runMode);
    }
    ASSERT_NE(viewOf(CEditorApp::kSimulatorTitle), nullptr);
    EXPECT_TRUE(viewOf(CEditorApp::kSimulatorTitle)->IsRunMode());
}

TEST_F(ViewsInTheMainWindow, ToolCommandsSelectToolsWithTheRadioMark)
{
    frame->ActivateDocumentWindow(frame->FindDocumentWindow("win0.drw"));
    frame->RefreshCommands();
    EXPECT_TRUE(action(cmd::ToolSelect)->isChecked());
    ASSERT_TRUE(frame->commands().trigger(cmd::ToolRect));
    EXPECT_EQ(CEditTool::s_nCurShape, 2);
    frame->RefreshCommands();
    EXPECT_TRUE(action(cmd::ToolRect)->isChecked());
    EXPECT_FALSE(action(cmd::ToolSelect)->isChecked());
    EXPECT_FALSE(action(cmd::ToolNumericInput)->isEnabled()) << "input boxes go in the keypad windows only";

    ASSERT_TRUE(frame->commands().trigger(cmd::ToolSelect));
    EXPECT_EQ(CEditTool::s_nCurShape, 0);

    frame->ActivateDocumentWindow(frame->FindDocumentWindow("数字键盘.dlg"));
    frame->RefreshCommands();
    EXPECT_TRUE(action(cmd::ToolNumericInput)->isEnabled());

    frame->ActivateDocumentWindow(frame->FindDocumentWindow(CEditorApp::kSimulatorTitle));
    frame->RefreshCommands();
    EXPECT_FALSE(action(cmd::ToolRect)->isEnabled()) << "no drawing in the simulator";
    EXPECT_TRUE(action(cmd::ToolSelect)->isEnabled());
}

TEST_F(ViewsInTheMainWindow, OnlyTheActiveFramesViewIsActive)
{
    frame->ActivateDocumentWindow(frame->FindDocumentWindow("win0.drw"));
    QCoreApplication::processEvents();
    EXPECT_TRUE(viewOf("win0.drw")->IsActive());
    EXPECT_FALSE(viewOf("数字键盘.dlg")->IsActive());
    frame->ActivateDocumentWindow(frame->FindDocumentWindow("数字键盘.dlg"));
    QCoreApplication::processEvents();
    EXPECT_FALSE(viewOf("win0.drw")->IsActive());
    EXPECT_TRUE(viewOf("数字键盘.dlg")->IsActive());
}

TEST_F(ViewsInTheMainWindow, AClosingDocumentLeavesItsViewFirst)
{
    CDrawView* view = viewOf("win0.drw");
    ASSERT_NE(view, nullptr);
    QPointer<CDrawView> guard(view);
    CDrawDoc* doc = app->FindDocByTitle("win0.drw");
    ASSERT_TRUE(app->m_pWindowTemplate->CloseDocument(doc));
    ASSERT_FALSE(guard.isNull()) << "the frame goes later, with the event loop";
    EXPECT_EQ(guard->GetDocument(), nullptr);
    guard->viewport()->repaint();   // paints the surround only, touching no document
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
}

} // namespace
} // namespace qv::test
