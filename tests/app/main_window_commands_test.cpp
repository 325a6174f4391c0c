// The real main window's commands: every entry of its menus and toolbars runs something,
// full-screen simulation, and the drawing menu's paper colour.
#include "app/commands/menu_layout.h"
#include "app/mainframe/main_frame.h"
#include "app/mainframe/palette_bar.h"
#include "app/mainframe/toolbar_layout.h"
#include "app/view/draw_view.h"
#include "tests/app/editor_window_fixture.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <optional>

namespace qv::test {
namespace {

namespace fs = std::filesystem;
using cmd::Owner;

// The colour dialog answers with `colour` (cancelled while unset).
class ColourPrompts : public ScriptedPrompts {
public:
    std::optional<std::uint32_t> ChooseColor(std::uint32_t) override { return colour; }
    std::optional<std::uint32_t> colour;
};

class MainWindowCommands : public EditorWindowFixture<ColourPrompts> {
protected:
    void SetUp() override
    {
        showMainWindow(1000, 700);
        ASSERT_NO_FATAL_FAILURE(openProjectOf({"a.drw"}, 320, 240));
        show("a.drw");
    }
    void TearDown() override { closeMainWindow(); }

    void show(const char* title) { frame->ActivateDocumentWindow(frame->FindDocumentWindow(title)); }
    bool enabled(cmd::CommandKey key)
    {
        frame->RefreshCommands();
        return frame->commands().action(key)->isEnabled();
    }
    bool run(cmd::CommandKey key) { return frame->commands().trigger(key); }
    std::string activeTitle() const { return frame->ActiveDocumentWindow()->info().title; }
};

TEST_F(MainWindowCommands, EveryMenuAndToolbarEntryHasAHandler)
{
    std::vector<std::span<const cmd::MenuEntry>> layouts;
    for (cmd::MenuBarId bar : {cmd::MenuBarId::NoDocument, cmd::MenuBarId::Document})
        for (const cmd::MenuDef& menu : cmd::menuBar(bar))
            layouts.push_back(menu.entries);
    for (const ToolbarDef& bar : dockedToolbars())
        layouts.push_back(bar.buttons);
    layouts.push_back(paletteToolbar().buttons);
    int listed = 0;
    for (std::size_t i = 0; i < layouts.size(); ++i) {
        const std::span<const cmd::MenuEntry> entries = layouts[i]; // the list grows below
        for (const cmd::MenuEntry& e : entries) {
            if (e.submenu != nullptr) {
                layouts.push_back(e.submenu->entries);
                continue;
            }
            // The recent-file item only stands in for the list the menu shows in its place.
            if (e.id == 0 || (e.owner == Owner::App && e.id == cmd::RecentFile.key.id))
                continue;
            ++listed;
            EXPECT_TRUE(frame->commands().isBound({e.owner, e.id})) << "no handler for command " << e.id;
        }
    }
    EXPECT_GT(listed, 100);
}

TEST_F(MainWindowCommands, FullScreenSimulationRestartsAndShowsTheSimulator)
{
    const cmd::CommandKey simulate = cmd::FullScreenSimulation;
    app->m_bCompiling = 1;
    EXPECT_FALSE(enabled(simulate)) << "grey while compiling";
    app->m_bCompiling = 0;
    ASSERT_TRUE(enabled(simulate));

    app->m_nTimer0Period = 7; // a restart from the saved values sets it back
    ASSERT_TRUE(run(simulate));
    EXPECT_TRUE(frame->IsFullScreen());
    EXPECT_TRUE(frame->isFullScreen());
    EXPECT_FALSE(frame->palette()->isVisible()) << "the simulation takes the screen without the palette";
    EXPECT_EQ(app->m_bShowBars.load(), 1);
    EXPECT_EQ(activeTitle(), CEditorApp::kSimulatorTitle);
    EXPECT_TRUE(frame->ActiveDocumentWindow()->info().runMode);
    EXPECT_FALSE(frame->ActiveDocumentWindow()->captionVisible());
    EXPECT_EQ(app->m_nTimer0Period.load(), 50);
    EXPECT_EQ(app->m_bLoadSavedVars.load(), 0);

    // Shift+Esc typed into the running simulator.
    auto* simView = dynamic_cast<CDrawView*>(frame->ActiveDocumentWindow()->widget());
    ASSERT_NE(simView, nullptr);
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    simView->setFocus();
    QTest::keyClick(simView, Qt::Key_Escape, Qt::ShiftModifier);
    EXPECT_FALSE(frame->IsFullScreen());
    EXPECT_TRUE(frame->menuBar()->isVisible());
    EXPECT_EQ(activeTitle(), CEditorApp::kSimulatorTitle);

    // From the running simulator: full screen again, but no restart.
    app->m_pFocusView = simView;
    app->m_nTimer0Period = 7;
    ASSERT_TRUE(run(simulate));
    EXPECT_TRUE(frame->IsFullScreen());
    EXPECT_EQ(app->m_nTimer0Period.load(), 7);
    // A second time leaves full screen, as the main window's toggle does.
    ASSERT_TRUE(run(simulate));
    EXPECT_FALSE(frame->IsFullScreen());
}

TEST_F(MainWindowCommands, BackgroundChangesThePaperUndoesSavesAndGreys)
{
    const cmd::CommandKey background = cmd::BackgroundColor;
    // Reached from the drawing menu.
    QAction* drawMenu = nullptr;
    for (QAction* a : frame->menuBar()->actions())
        if (a->text() == QString::fromUtf8(u8"绘图(&D)"))
            drawMenu = a;
    ASSERT_NE(drawMenu, nullptr);
    ASSERT_NE(drawMenu->menu(), nullptr);
    QAction* entry = frame->commands().action(background);
    EXPECT_TRUE(drawMenu->menu()->actions().contains(entry));
    EXPECT_EQ(entry->text(), QString::fromUtf8(u8"背景"));

    CDrawDoc* doc = app->FindDocByTitle("a.drw");
    ASSERT_NE(doc, nullptr);
    const std::uint32_t before = doc->m_paperColor;
    doc->SetModifiedFlag(false);

    ASSERT_TRUE(enabled(background));
    prompts.colour.reset(); // cancelled: nothing changes
    ASSERT_TRUE(run(background));
    EXPECT_EQ(doc->m_paperColor, before);
    EXPECT_FALSE(doc->IsModified());

    prompts.colour = 0x00123456;
    ASSERT_TRUE(run(background));
    EXPECT_EQ(doc->m_paperColor, 0x00123456u);
    EXPECT_TRUE(doc->IsModified());
    ASSERT_TRUE(enabled(cmd::Undo));
    ASSERT_TRUE(run(cmd::Undo));
    EXPECT_EQ(doc->m_paperColor, before) << "undo takes the colour back";
    ASSERT_TRUE(run(cmd::Redo));
    EXPECT_EQ(doc->m_paperColor, 0x00123456u) << "redo brings it again";

    ASSERT_TRUE(run(cmd::ProjectSave));
    CDrawDoc reopened;
    DocumentError error;
    ASSERT_TRUE(reopened.OnOpenDocument(dir.path() / "demo" / "window" / "a.drw", &error)) << error.messageGbk;
    EXPECT_EQ(reopened.m_paperColor, 0x00123456u);

    app->m_bCompiling = 1;
    EXPECT_FALSE(enabled(background)) << "compiling";
    app->m_bCompiling = 0;
    for (CSplitFrame* window : {frame->ProjectDocumentWindow(), frame->FindDocumentWindow(CEditorApp::kSimulatorTitle)}) {
        ASSERT_NE(window, nullptr);
        frame->ActivateDocumentWindow(window);
        EXPECT_FALSE(enabled(background)) << window->info().title;
    }
    show("a.drw");
    EXPECT_TRUE(enabled(background));
}

} // namespace
} // namespace qv::test
