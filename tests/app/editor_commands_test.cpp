// The editor's own commands through the real main window: lock and unlock every window, the
// recent projects in the menus, the control numbers' repaint, "配方管理", and the settings
// sheet's new fields reaching the compiled start map.
#include "app/bindings/editor/editor_commands.h"
#include "app/startup/profile.h"
#include "app/view/draw_view.h"
#include "compiler/image/image_layout.h"
#include "compiler/image/start_map.h"
#include "compiler/project/app_compile_input.h"
#include "tests/app/editor_window_fixture.h"
#include "tests/app/modal_driver.h"
#include "tests/model/project_fixture.h"
#include "config/settings/com_set_page.h"
#include "config/ui/com_set_dlg.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTest>

namespace qv::test {
namespace {

namespace fs = std::filesystem;

class EditorCommands : public EditorWindowFixture<> {
protected:
    void SetUp() override
    {
        showMainWindow(1000, 700);
        ASSERT_NO_FATAL_FAILURE(openProjectOf({"a.drw", "b.drw", "c.drw"}, 320, 240));
    }
    void TearDown() override { closeMainWindow(); }

    QAction* action(cmd::CommandKey key)
    {
        frame->RefreshCommands();
        return frame->commands().action(key);
    }
    CDrawDoc* window(const char* title) { return app->FindDocByTitle(title); }
};

TEST_F(EditorCommands, LockAndUnlockAllTouchOnlyTheWindowsWhoseFlagsChange)
{
    CDrawDoc* a = window("a.drw");
    CDrawDoc* b = window("b.drw");
    CDrawDoc* c = window("c.drw"); // no objects
    ASSERT_TRUE(a && b && c);
    a->AddObject(std::make_unique<CDrawRect>(Rect{10, 10, 40, 40}))->m_bLocked = 0;
    a->AddObject(std::make_unique<CDrawRect>(Rect{50, 10, 90, 40}))->m_bLocked = 1;
    b->AddObject(std::make_unique<CDrawRect>(Rect{10, 10, 40, 40}))->m_bLocked = 1;
    for (CDrawDoc* d : {a, b, c})
        d->SetModifiedFlag(false);

    const struct {
        cmd::CommandKey key;
        std::int32_t flag;
        bool aChanges, bChanges;
    } steps[] = {{cmd::LockProject, 1, true, false}, {cmd::UnlockProject, 0, true, true}, {cmd::UnlockProject, 0, false, false}};
    for (const auto& s : steps) {
        const int depthA = a->m_nUndoDepth, depthB = b->m_nUndoDepth, depthC = c->m_nUndoDepth;
        for (CDrawDoc* d : {a, b, c})
            d->SetModifiedFlag(false);
        QAction* act = action(s.key);
        ASSERT_TRUE(act->isEnabled()) << s.key.id;
        act->trigger();
        for (CDrawDoc* d : {a, b})
            for (const auto& obj : d->m_objects)
                EXPECT_EQ(obj->m_bLocked, s.flag) << s.key.id;
        EXPECT_EQ(a->IsModified(), s.aChanges) << s.key.id;
        EXPECT_EQ(b->IsModified(), s.bChanges) << s.key.id;
        EXPECT_FALSE(c->IsModified()) << s.key.id;
        EXPECT_EQ(a->m_nUndoDepth, depthA + (s.aChanges ? 1 : 0)) << s.key.id;
        EXPECT_EQ(b->m_nUndoDepth, depthB + (s.bChanges ? 1 : 0)) << s.key.id;
        EXPECT_EQ(c->m_nUndoDepth, depthC) << s.key.id;
    }
    for (std::atomic<int>* busy : {&app->m_bCompiling, &app->m_bDownloading}) {
        *busy = 1;
        EXPECT_FALSE(action(cmd::LockProject)->isEnabled());
        EXPECT_FALSE(action(cmd::UnlockProject)->isEnabled());
        *busy = 0;
    }
}

TEST_F(EditorCommands, ControlNumbersRepaintTheActiveWindow)
{
    CSplitFrame* win = frame->FindDocumentWindow("a.drw");
    ASSERT_NE(win, nullptr);
    frame->ActivateDocumentWindow(win);
    auto* view = dynamic_cast<CDrawView*>(win->widget());
    ASSERT_NE(view, nullptr);
    QCoreApplication::processEvents(); // the window's first paints go first

    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* e) override
        {
            paints += e->type() == QEvent::Paint ? 1 : 0;
            return false;
        }
    } counter;
    view->viewport()->installEventFilter(&counter);
    const bool before = app->m_bShowCtrlNumbers.load() != 0;
    QAction* act = action(cmd::ShowCtrlNumbers);
    ASSERT_TRUE(act->isEnabled());
    act->trigger();
    EXPECT_NE(app->m_bShowCtrlNumbers.load() != 0, before);
    EXPECT_TRUE(action(cmd::ShowCtrlNumbers)->isChecked() != before);
    EXPECT_TRUE(QTest::qWaitFor([&] { return counter.paints > 0; }, 20000));
    view->viewport()->removeEventFilter(&counter);
}

TEST_F(EditorCommands, RecipeManagerOpensAndChangesNothing)
{
    int opened = 0;
    bindRecipeManager(*frame, [&opened](QWidget* parent) {
        ++opened;
        QDialog dlg(parent);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dlg);
        QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
        whenModal<QDialog>([](QDialog& d) { d.accept(); });
        dlg.exec();
    });
    frame->ActivateDocumentWindow(frame->FindDocumentWindow("a.drw"));
    QAction* act = action(cmd::RecipeManager);
    ASSERT_TRUE(act->isEnabled());
    act->trigger();
    EXPECT_EQ(opened, 1);
    for (CDrawDoc* d : app->GetDocManager().AllDocuments())
        EXPECT_FALSE(d->IsModified()) << d->GetTitle();
    app->m_bCompiling = 1;
    EXPECT_FALSE(action(cmd::RecipeManager)->isEnabled());
    app->m_bCompiling = 0;
}

class RecentProjects : public EditorCommands {
protected:
    void SetUp() override
    {
        showMainWindow(1000, 700);
        // "other" is written and closed, then "demo" opened.
        ASSERT_NO_FATAL_FAILURE(openProjectOf({"win0.drw"}, 320, 240, dir.path() / "other"));
        app->CloseAllDocuments();
        ASSERT_NO_FATAL_FAILURE(openProjectOf({"win0.drw"}, 320, 240));
        app->SetProjectDialogs(&dialogs); // in place of the Qt ones the frame installed
        settings = std::make_unique<QSettings>(QString::fromStdString((dir.path() / "profile.ini").string()),
                                               QSettings::IniFormat);
        recent = std::make_unique<RecentFileList>(*settings);
        recent->add(QString::fromStdString(gone.string()));
        recent->add(QString::fromStdString(other.string()));
        installRecentFiles(*frame, *app, *recent);
    }
    void TearDown() override
    {
        closeMainWindow();
        recent.reset();
    }

    // Opens the menu that lists the recent files, as the user would, and returns its entries.
    QList<QAction*> menuEntries()
    {
        QAction* placeholder = frame->commands().action(cmd::RecentFile);
        for (QMenu* menu : frame->findChildren<QMenu*>()) {
            if (!menu->actions().contains(placeholder))
                continue;
            emit menu->aboutToShow();
            return frame->commands().menuEntryActions(menu);
        }
        ADD_FAILURE() << "no menu lists the recent files";
        return {};
    }

    const fs::path other = dir.path() / "other" / "other.hmi";
    const fs::path gone = dir.path() / "gone" / "gone.hmi";
    ScriptedProjectDialogs dialogs;
    std::unique_ptr<QSettings> settings;
    std::unique_ptr<RecentFileList> recent;
};

TEST_F(RecentProjects, EntriesOpenThroughTheSavePromptAndGoneOnesLeave)
{
    QList<QAction*> entries = menuEntries();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_TRUE(entries[0]->text().startsWith(QStringLiteral("&1 ")));
    EXPECT_TRUE(entries[0]->text().endsWith(QStringLiteral("other.hmi")));
    EXPECT_TRUE(entries[1]->isEnabled());

    // A gone project is named and leaves the list; the open project stays.
    const fs::path demo = app->m_strProjectPath;
    entries[1]->trigger();
    ASSERT_FALSE(prompts.messages.empty());
    EXPECT_NE(prompts.messages.back().find("gone.hmi"), std::string::npos);
    EXPECT_EQ(recent->entries().size(), 1);
    EXPECT_EQ(app->m_strProjectPath, demo);

    // The save prompt comes first: Cancel keeps everything.
    app->ProjectDoc()->SetModifiedFlag(true);
    dialogs.saveChoices.push_back(ProjectDialogs::Cancel);
    menuEntries()[0]->trigger();
    EXPECT_EQ(dialogs.saveQuestions, 1);
    EXPECT_EQ(app->m_strProjectPath, demo);

    dialogs.saveChoices.push_back(ProjectDialogs::DontSave);
    menuEntries()[0]->trigger();
    EXPECT_EQ(app->m_strProjectPath, other);
    EXPECT_EQ(recent->entries().size(), 1);

    // Greyed like "打开工程" while a compile or download runs.
    for (std::atomic<int>* busy : {&app->m_bCompiling, &app->m_bDownloading}) {
        *busy = 1;
        frame->RefreshCommands();
        for (QAction* e : menuEntries())
            EXPECT_FALSE(e->isEnabled());
        *busy = 0;
    }
}

TEST_F(EditorCommands, SettingsSheetFieldsReachTheStartMap)
{
    whenModal<CDlgCOMSET>([](CDlgCOMSET& sheet) {
        sheet.panelNumber(0)->setText(QStringLiteral("24680"));
        sheet.calibrationCheck()->setChecked(true);
        sheet.idleReturnCheck()->setChecked(true);
        sheet.panelNumber(1)->setText(QStringLiteral("65535"));
        sheet.panelNumber(2)->setText(QStringLiteral("7"));
        sheet.accept();
    });
    // The settings are not reachable from the simulator's run mode.
    frame->ActivateDocumentWindow(frame->FindDocumentWindow("a.drw"));
    QAction* act = action(cmd::SystemSettings);
    ASSERT_TRUE(act->isEnabled());
    act->trigger();
    CDrawDoc& doc = *app->ProjectDoc();
    doc.SetSettingI32(settings_page::kSlaveAddressOffset, 0x12345);
    doc.m_ProjectSettings[settings_page::kSlaveHmiStart] = 0x22;
    doc.m_ProjectSettings[settings_page::kSlaveHmiStart + 1] = 0x11;
    doc.m_ProjectSettings[settings_page::kSlaveRegisterStart] = 0x44;
    doc.m_ProjectSettings[settings_page::kSlaveRegisterStart + 1] = 0x33;

    const auto input = compile::takeCompileInput(*app);
    ASSERT_TRUE(input);
    std::vector<std::uint8_t> header(image::kHeaderAreaSize);
    image::StartMapValues values;
    values.input = &*input;
    image::fillStartMap(header, values);
    const std::size_t map = image::kHeaderAreaSize - 0x200;
    const struct {
        std::size_t at;
        int width;
        std::uint32_t value;
    } fields[] = {
        {0x0F0, 4, 1},      // "禁止上电5秒检测校准"
        {0x0F8, 4, 24680},  // "工程密码:"
        {0x118, 4, 0x12345},
        {0x128, 1, 1},      // idle return on
        {0x129, 1, 7},      // screen
        {0x12A, 2, 65535},  // seconds
        {0x12C, 2, 0x1122}, // the slave's HMI start
        {0x12E, 2, 0x3344}, // and its register start
    };
    for (const auto& f : fields) {
        std::uint32_t v = 0;
        for (int b = 0; b < f.width; ++b)
            v |= static_cast<std::uint32_t>(header[map + f.at + static_cast<std::size_t>(b)]) << (8 * b);
        EXPECT_EQ(v, f.value) << std::hex << f.at;
    }
}

} // namespace
} // namespace qv::test
