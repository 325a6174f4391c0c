// The dialogs as the main window opens them: the variable manager's batch add, the project
// path in "工程属性" under a Chinese folder, the new-project dialog's groups and size refusal,
// the PLC map's width, and the table page's number fields. Each dialog is saved as a picture.
#include "app/bindings/download/download_commands_binding.h"
#include "app/mainframe/docking_bars.h"
#include "app/mainframe/property_sheet.h"
#include "app/projecttree/project_tree.h"
#include "app/drawing_tools/edit_tool.h"
#include "app/view/draw_view.h"
#include "model/shape/shape_kind.h"
#include "tests/app/editor_window_fixture.h"
#include "tests/app/modal_driver.h"
#include "tests/app/screenshots.h"
#include "config/ui/hmi_var_manager_dlg.h"
#include "config/ui/plc_map_dlg.h"
#include "config/ui/var_small_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTableWidget>

#include <fstream>

namespace qv::test {
namespace {

namespace fs = std::filesystem;

QString u(const char8_t* text) { return QString::fromUtf8(text); }

// The field a form row labelled `label` holds.
QLineEdit* fieldOf(QWidget& dialog, const QString& label)
{
    for (QLabel* l : dialog.findChildren<QLabel*>())
        if (l->text() == label)
            return qobject_cast<QLineEdit*>(l->buddy());
    return nullptr;
}

// Presses OK and returns the text of the refusal it brings up ("" when none comes).
QString refusalOf(QPushButton* ok)
{
    QString text;
    whenModal<QMessageBox>([&](QMessageBox& box) {
        text = box.text();
        box.accept();
    });
    ok->click();
    return text;
}

class EditorDialogs : public EditorWindowFixture<> {
protected:
    void open(const fs::path& folder = {})
    {
        showMainWindow(1100, 760);
        ASSERT_NO_FATAL_FAILURE(openProjectOf({"win0.drw"}, 320, 240, folder));
        // The simulator's window opens last; the commands wait for an editing window.
        frame->ActivateDocumentWindow(frame->FindDocumentWindow("win0.drw"));
        frame->RefreshCommands();
    }
    void TearDown() override { closeMainWindow(); }
    bool run(cmd::CommandKey key)
    {
        frame->RefreshCommands();
        return frame->commands().trigger(key);
    }
};

TEST_F(EditorDialogs, BatchAddOfThreeAddsThreeRows)
{
    ASSERT_NO_FATAL_FAILURE(open());
    whenModal<CDlgHmiVarManager>([this](CDlgHmiVarManager& manager) {
        whenModal<CHmiVarDlg>([](CHmiVarDlg& dlg) {
            dlg.nameEdit()->setText(QStringLiteral("m_Temp"));
            dlg.typeCombo()->setCurrentText(QStringLiteral("unsigned short"));
            dlg.initEdit()->setText(QStringLiteral("10"));
            dlg.severalCheck()->setChecked(true);
            dlg.countSpin()->setValue(3);
            saveScreenshot(dlg, "hmi_variable_dialog");
            dlg.accept();
        });
        manager.button(CDlgHmiVarManager::Button::Add)->click();
        saveScreenshot(manager, "hmi_variable_manager");
        manager.reject();
    });
    const HmiVarTable& table = app->ProjectDoc()->m_varTable;
    const std::size_t before = table.size();
    ASSERT_TRUE(run(cmd::HmiVariables));
    ASSERT_EQ(table.size(), before + 3);
    const std::pair<const char*, const char*> rows[] = {{"m_Temp", "10"}, {"m_Temp_1", "11"}, {"m_Temp_2", "12"}};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(table.name[before + i], rows[i].first);
        EXPECT_EQ(table.initValue[before + i], rows[i].second);
        EXPECT_EQ(table.type[before + i], "unsigned short");
    }
}

// Paths shown to the user read as the host writes them: "工程属性"'s project path, the
// project window's caption and the download dialog's user code file (its name as on disk).
TEST_F(EditorDialogs, ProjectPathUnderAChineseFolderReadsRight)
{
    const fs::path folder = dir.path() / fs::path(u8"例子") / fs::path(u8"示例工程");
    ASSERT_NO_FATAL_FAILURE(open(folder));
    const QString shownFolder = QString::fromStdString(folder.generic_string());
    QString shown;
    whenModal<QDialog>([&](QDialog& sheet) {
        for (QLineEdit* e : sheet.findChildren<QLineEdit*>())
            if (e->isReadOnly() && e->text().startsWith(shownFolder))
                shown = e->text();
        saveScreenshot(sheet, "project_properties");
        sheet.reject();
    });
    ASSERT_TRUE(run(cmd::SystemSettings));
    EXPECT_EQ(shown, shownFolder + u(u8"/示例工程"));

    auto* tree = dynamic_cast<CProjectTree*>(frame->projectBar()->widget());
    ASSERT_NE(tree, nullptr);
    QTreeWidgetItem* root = tree->itemFor({TreeItemKind::Root, -1});
    ASSERT_NE(root, nullptr);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->labelRect(root).center());
    frame->RefreshCommands();
    ASSERT_NE(frame->ProjectDocumentWindow(), nullptr);
    EXPECT_EQ(frame->ProjectDocumentWindow()->windowTitle(), shownFolder + u(u8"/示例工程.hmi"));

    fs::create_directories(folder / "MC8051");
    std::ofstream(folder / "MC8051" / "MC8051.hex") << ":00000001FF\n";
    EXPECT_EQ(UserCodeFileShown(folder), shownFolder + u(u8"/MC8051/MC8051.hex"));
}

TEST_F(EditorDialogs, NewProjectDialogGroupsItsFieldsAndRefusesSizesOutOfRange)
{
    ASSERT_NO_FATAL_FAILURE(open());
    struct SizeCase {
        const char8_t* field;
        const char* typed;
    };
    const SizeCase cases[] = {{u8"显示器高度:", "0"}, {u8"显示器宽度:", "8193"}, {u8"显示器高度:", ""}};
    QStringList groups;
    QStringList refusals;
    bool stillOpen = true;
    QString heightAfter;
    whenModal<QDialog>([&](QDialog& dlg) {
        for (QGroupBox* g : dlg.findChildren<QGroupBox*>())
            groups << g->title();
        saveScreenshot(dlg, "new_project");
        auto* ok = dlg.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        for (const SizeCase& c : cases) {
            QLineEdit* edit = fieldOf(dlg, u(c.field));
            ASSERT_NE(edit, nullptr);
            const QString before = edit->text();
            edit->setText(QString::fromLatin1(c.typed));
            refusals << refusalOf(ok);
            stillOpen = stillOpen && dlg.isVisible();
            edit->setText(before);
        }
        QLineEdit* height = fieldOf(dlg, u(u8"显示器高度:"));
        QTest::keyClicks(height, QStringLiteral("x"));
        heightAfter = height->text();
        EXPECT_GE(dlg.width(), dlg.minimumSizeHint().width());
        dlg.reject();
    });
    ASSERT_TRUE(run(cmd::ProjectNew));
    EXPECT_EQ(groups, (QStringList{u(u8"工程路径"), u(u8"显示器分辨率")}));
    EXPECT_TRUE(stillOpen) << "a refused size keeps the dialog open";
    EXPECT_EQ(refusals, (QStringList{u(u8"“显示器高度”：请填入一个在1和8192之间的整数。"),
                                     u(u8"“显示器宽度”：请填入一个在1和8192之间的整数。"),
                                     u(u8"“显示器高度”：请填入一个在1和8192之间的整数。")}));
    EXPECT_EQ(heightAfter, QStringLiteral("768")) << "letters are not taken";
    EXPECT_EQ(app->ProjectDoc()->m_nWindowHeight, 240) << "the open project is untouched";
}

TEST_F(EditorDialogs, PlcMapShowsAllItsColumns)
{
    ASSERT_NO_FATAL_FAILURE(open());
    for (int protocol : {1, 6}) {
        CDlgPlcMap dlg(app.get(), app->m_strProjectDir, 1, protocol, frame.get());
        dlg.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
        EXPECT_EQ(dlg.list()->horizontalScrollBar()->maximum(), 0) << "protocol " << protocol;
        if (protocol == 1)
            saveScreenshot(dlg, "plc_map");
    }
}

TEST_F(EditorDialogs, TablePageTakesDigitsOnlyAndNamesTheFieldOutOfRange)
{
    ASSERT_NO_FATAL_FAILURE(open());
    auto* view = dynamic_cast<CDrawView*>(frame->FindDocumentWindow("win0.drw")->widget());
    ASSERT_NE(view, nullptr);
    frame->ActivateDocumentWindow(frame->FindDocumentWindow("win0.drw"));
    CEditTool::s_nCurShape = 0;
    auto table = std::make_unique<CDrawRect>(Rect{60, 60, 200, 160});
    table->SetKind(ShapeKind::Table);
    CDrawObj* obj = view->GetDocument()->AddObject(std::move(table));
    view->SelectShape(obj);

    QString rowsAfterLetters;
    QString refusal;
    bool stillOpen = false;
    whenModal<CMyPropertySheet>([&](CMyPropertySheet& sheet) {
        QLineEdit* rows = fieldOf(sheet, u(u8"行数:"));
        QLineEdit* width = fieldOf(sheet, u(u8"线宽:"));
        ASSERT_NE(rows, nullptr);
        ASSERT_NE(width, nullptr);
        rows->setText(QStringLiteral("3"));
        rows->setFocus();
        rows->end(false);
        QTest::keyClicks(rows, QStringLiteral("a1b"));
        rowsAfterLetters = rows->text();
        width->setText(QStringLiteral("0"));
        saveScreenshot(sheet, "table_properties");
        refusal = refusalOf(sheet.buttons()->button(QDialogButtonBox::Ok));
        stillOpen = sheet.isVisible();
        sheet.reject();
    });
    ASSERT_TRUE(run(cmd::Properties));
    EXPECT_EQ(rowsAfterLetters, QStringLiteral("31"));
    EXPECT_EQ(refusal, u(u8"“线宽”：请填入一个在1和255之间的整数。"));
    EXPECT_TRUE(stillOpen);
}

// The first start on a copy of the shipped base folder: the sample project's first screen
// with its controls, saved as a picture for review.
TEST_F(EditorDialogs, MainWindowShowsTheSampleProject)
{
    fs::copy(sourceDir() / "base", dir.path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    showMainWindow(1280, 800);
    ASSERT_TRUE(app->OpenLatestProject(3));
    CSplitFrame* screen = frame->FindDocumentWindow("win0.drw");
    ASSERT_NE(screen, nullptr);
    frame->ActivateDocumentWindow(screen);
    int controls = 0;
    for (const auto& obj : dynamic_cast<CDrawView*>(screen->widget())->GetDocument()->m_objects)
        controls += obj->m_bControl ? 1 : 0;
    EXPECT_GE(controls, 3) << "a button, numbers and a bit switch";
    ASSERT_TRUE(QTest::qWaitForWindowExposed(screen));
    QCoreApplication::processEvents();
    saveScreenshot(*frame, "main_window_sample_project");
}

} // namespace
} // namespace qv::test
