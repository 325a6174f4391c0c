// The project tree in the real main window: a project named in "latest.txt" opens into the
// tree, clicks on labels bring the window's frame to the front, and the context menus run
// the commands on the project (real mouse events, offscreen).
#include "app/mainframe/docking_bars.h"
#include "app/mainframe/main_frame.h"
#include "app/projecttree/project_tree.h"
#include "app/projecttree/tree_host.h"
#include "app/shell/main_frame_setup.h"
#include "model/tree/tree_menus.h"
#include "platform/qt/qtext.h"
#include "tests/app/qt_app.h"
#include "tests/model/tree_fixture.h"

#include <QMenu>
#include <QTest>
#include <QTreeWidgetItemIterator>

using namespace qv;
using namespace qv::test;

namespace {

class TreeWidgetFixture : public TreeFixture {
protected:
    // Opens "demo" the way the program starts: the latest project, then the window shows.
    void start(const std::vector<std::string>& screens, const std::vector<std::string>& subs = {})
    {
        qtApp();
        const fs::path hmi = makeProject(screens, subs);
        ASSERT_TRUE(writeFile(base() / "latest.txt", hmi.string()));
        app = std::make_unique<CEditorApp>(base());
        app->SetPrompt(&prompts);
        app->InitDocTemplates();
        frame = createMainFrame(*app);
        tree = dynamic_cast<CProjectTree*>(frame->projectBar()->treeWidget());
        if (!tree)
            tree = installProjectTree(*app, *frame);
        auto scripted = std::make_unique<ScriptedDialogs>();
        script = scripted.get();
        tree->SetDialogs(std::move(scripted));
        shown = &tree->model();
        ASSERT_TRUE(app->OpenLatestProject(3));
        frame->resize(900, 600);
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
        prompts.messages.clear();
    }

    void TearDown() override
    {
        frame.reset();
        app.reset();
    }

    QTreeWidgetItem* item(TreeItemKind kind, int index = -1) { return tree->itemFor({kind, index}); }

    void click(QTreeWidgetItem* it, Qt::MouseButton button = Qt::LeftButton)
    {
        ASSERT_NE(it, nullptr);
        tree->scrollToItem(it);
        QTest::mouseClick(tree->viewport(), button, {}, tree->labelRect(it).center());
    }

    std::string activeTitle() const
    {
        const CSplitFrame* active = frame->ActiveDocumentWindow();
        return active ? active->info().title : std::string();
    }

    QAction* menuAction(int command)
    {
        QMenu* menu = tree->contextMenu();
        if (!menu)
            return nullptr;
        for (QAction* a : menu->actions())
            if (a->data().toInt() == command)
                return a;
        return nullptr;
    }

    std::unique_ptr<CMainFrame> frame;
    CProjectTree* tree = nullptr;
    ScriptedDialogs* script = nullptr;
};

} // namespace

TEST_F(TreeWidgetFixture, LatestProjectShowsItsTreeAndTheSimulatorInFront)
{
    start({"win0.drw"});
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* root = tree->topLevelItem(0);
    EXPECT_EQ(root->text(0), QString::fromUtf8(u8"工程‘demo’"));
    ASSERT_NE(item(TreeItemKind::Screen, 0), nullptr);
    EXPECT_EQ(item(TreeItemKind::Screen, 0)->text(0), QStringLiteral("0:win0.drw"));
    EXPECT_EQ(item(TreeItemKind::Screen, 0)->parent()->text(0), QString::fromUtf8(u8"画面"));
    EXPECT_EQ(item(TreeItemKind::Simulator)->text(0), QString::fromUtf8(u8"模拟LCD/VGA显示屏"));
    EXPECT_TRUE(root->isExpanded());
    EXPECT_EQ(activeTitle(), CEditorApp::kSimulatorTitle);
}

TEST_F(TreeWidgetFixture, ClickingALabelBringsItsWindowToTheFront)
{
    start({"win0.drw", "win1.drw"}, {"pop.dlg"});
    click(item(TreeItemKind::Screen, 1));
    EXPECT_EQ(activeTitle(), "win1.drw");
    click(item(TreeItemKind::SubWindow, 0));
    EXPECT_EQ(activeTitle(), "pop.dlg");
    // Right of the label is no click on it.
    QTreeWidgetItem* first = item(TreeItemKind::Screen, 0);
    const QRect label = tree->labelRect(first);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, QPoint(label.right() + 40, label.center().y()));
    EXPECT_EQ(activeTitle(), "pop.dlg");
    click(item(TreeItemKind::Simulator));
    EXPECT_EQ(activeTitle(), CEditorApp::kSimulatorTitle);

    app->m_bCompiling = 1;
    click(item(TreeItemKind::Screen, 0));
    EXPECT_EQ(activeTitle(), CEditorApp::kSimulatorTitle) << "nothing opens while compiling";
    app->m_bCompiling = 0;
}

TEST_F(TreeWidgetFixture, ContextMenusRunTheCommandsAndTheTreeFollows)
{
    start({"a.drw", "b.drw", "c.drw"}, {"串口1无响应.dlg"});

    click(item(TreeItemKind::SubWindowsFolder), Qt::RightButton);
    ASSERT_NE(tree->contextMenu(), nullptr);
    EXPECT_EQ(tree->contextMenu()->actions().size(), 5);
    EXPECT_FALSE(menuAction(tree_cmd::DeleteSubWindow)->isEnabled());
    EXPECT_FALSE(menuAction(tree_cmd::SubWindowProperties)->isEnabled());
    script->sub = {ScriptedDialogs::subNamed("pop", 200, 100, 10, 10, false)};
    menuAction(tree_cmd::NewSubWindow)->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return item(TreeItemKind::SubWindow, 1) != nullptr; }));
    EXPECT_EQ(item(TreeItemKind::SubWindow, 1)->text(0), QStringLiteral("1:pop.dlg"));
    EXPECT_TRUE(tree->currentItem() == item(TreeItemKind::SubWindow, 1)) << "the new window is selected";

    // Drawn red: the system sub-window; black: the user's.
    EXPECT_EQ(item(TreeItemKind::SubWindow, 0)->foreground(0).color(), QColor(255, 0, 0));
    EXPECT_NE(item(TreeItemKind::SubWindow, 1)->foreground(0).color(), QColor(255, 0, 0));

    click(item(TreeItemKind::SubWindow, 0), Qt::RightButton);
    menuAction(tree_cmd::DeleteSubWindow)->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !prompts.messages.empty(); }));
    EXPECT_EQ(prompts.messages, std::vector<std::string>{"禁止删除<串口1无响应.dlg>"});

    click(item(TreeItemKind::Screen, 1), Qt::RightButton);
    menuAction(tree_cmd::DeleteScreen)->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return item(TreeItemKind::Screen, 2) == nullptr; }));
    EXPECT_EQ(item(TreeItemKind::Screen, 1)->text(0), QStringLiteral("1:c.drw"));
    EXPECT_EQ(frame->FindDocumentWindow("b.drw"), nullptr) << "its frame closed with its document";
    expectInStep();

    click(item(TreeItemKind::Simulator), Qt::RightButton);
    EXPECT_TRUE(tree->contextMenu() == nullptr || !tree->contextMenu()->isVisible()) << "the simulator has no menu";
}

TEST_F(TreeWidgetFixture, TheCommandTableRunsTheTreesScreenCommands)
{
    start({"win0.drw"});
    script->screen = {ScriptedDialogs::screenNamed("next")};
    EXPECT_TRUE(frame->commands().trigger(cmd::TreeNewScreen));
    EXPECT_EQ(item(TreeItemKind::Screen, 1)->text(0), QStringLiteral("1:next.drw"));
    EXPECT_NE(frame->FindDocumentWindow("next.drw"), nullptr);
}

// One window's add, rename or removal changes the drawn tree in place: after each the items
// are those the model lists (numbers, names, red system windows), the folders stay open and
// the selection stays on its window.
TEST_F(TreeWidgetFixture, OneWindowsChangeIsDrawnInPlaceAsTheModelListsIt)
{
    start({"a.drw", "b.drw"}, {"pop.dlg"});
    ProjectTreeModel& model = tree->model();
    const auto expectDrawnAsListed = [&](const char* step) {
        std::vector<TreeItemRef> drawn;
        for (QTreeWidgetItemIterator it(tree); *it; ++it) {
            const TreeItemRef ref = tree->refOf(*it);
            drawn.push_back(ref);
            EXPECT_EQ((*it)->text(0), toQString(model.ItemText(ref))) << step;
            EXPECT_EQ((*it)->foreground(0).color() == QColor(255, 0, 0), model.IsSystemItem(ref)) << step;
            EXPECT_FALSE((*it)->icon(0).isNull()) << step;
        }
        EXPECT_EQ(drawn, model.Items()) << step;
        EXPECT_TRUE(tree->itemFor({TreeItemKind::ScreensFolder, -1})->isExpanded()) << step;
        EXPECT_TRUE(tree->itemFor({TreeItemKind::SubWindowsFolder, -1})->isExpanded()) << step;
        EXPECT_EQ(tree->refOf(tree->currentItem()), model.Selected()) << step;
    };
    // A full redraw makes new items: a mark on the old root shows none happened.
    constexpr int kMarkRole = Qt::UserRole + 40;
    tree->topLevelItem(0)->setData(0, kMarkRole, 1);

    const struct {
        const char* step;
        void (*change)(ProjectTreeModel&);
    } steps[] = {
        {"select b", [](ProjectTreeModel& m) { m.Select({TreeItemKind::Screen, 1}); }},
        {"add c", [](ProjectTreeModel& m) { m.AppendWindow(WindowKind::Screen, "c.drw"); }},
        {"add a system sub-window", [](ProjectTreeModel& m) { m.AppendWindow(WindowKind::SubWindow, "串口1无响应.dlg"); }},
        {"remove a: b and c move up", [](ProjectTreeModel& m) { m.RemoveWindow(WindowKind::Screen, 0); }},
        {"rename the system one to a user's", [](ProjectTreeModel& m) { m.RenameWindow(WindowKind::SubWindow, 1, "q.dlg"); }},
        {"rename pop to a system one", [](ProjectTreeModel& m) { m.RenameWindow(WindowKind::SubWindow, 0, "串口2无响应.dlg"); }},
        {"remove the selected b", [](ProjectTreeModel& m) { m.RemoveWindow(WindowKind::Screen, 0); }},
        {"remove the last screen", [](ProjectTreeModel& m) { m.RemoveWindow(WindowKind::Screen, 0); }},
        {"add into the empty folder", [](ProjectTreeModel& m) { m.AppendWindow(WindowKind::Screen, "d.drw"); }},
    };
    for (const auto& s : steps) {
        s.change(model);
        expectDrawnAsListed(s.step);
    }
    EXPECT_EQ(tree->topLevelItem(0)->data(0, kMarkRole).toInt(), 1) << "no step redrew the whole tree";
    EXPECT_EQ(model.Selected(), (TreeItemRef{TreeItemKind::ScreensFolder, -1}));
}
