// The property sheet offers only OK and Cancel; the folder picker answers 1 with a folder
// and 2 when cancelled.
#include "app/mainframe/folder_dialog.h"
#include "app/mainframe/property_sheet.h"
#include "tests/app/mainframe_fixture.h"
#include "tests/fixtures/temp_dir.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(PropertySheet, OffersOnlyOkAndCancelAndOpensTheChosenPage)
{
    test::guiApp();
    struct Case { int select; int shown; };
    for (Case c : {Case{1, 1}, Case{0, 0}, Case{7, 0}, Case{-1, 0}}) {
        CMyPropertySheet sheet(QString::fromUtf8(u8"工程属性"), nullptr, c.select);
        sheet.AddPage(new QLabel(QStringLiteral("one")), QStringLiteral("1"));
        sheet.AddPage(new QLabel(QStringLiteral("two")), QStringLiteral("2"));
        QTimer::singleShot(0, &sheet, [&] {
            EXPECT_EQ(sheet.tabs()->currentIndex(), c.shown) << c.select;
            sheet.buttons()->button(QDialogButtonBox::Ok)->click();
        });
        EXPECT_EQ(sheet.DoModal(), QDialog::Accepted);
        const auto buttons = sheet.buttons()->buttons();
        ASSERT_EQ(buttons.size(), 2);
        EXPECT_EQ(sheet.buttons()->standardButtons(), QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    }
}

TEST(FolderDialog, AnswersOkWithTheFolderAndCancelWithTwo)
{
    test::guiApp();
    test::TempDir dir;
    std::filesystem::create_directories(dir / "proj");
    const QString target = QString::fromStdString((dir / "proj").string());

    struct Case { bool accept; int result; };
    for (Case c : {Case{true, CFolderDialog::Ok}, Case{false, CFolderDialog::Cancel}}) {
        CFolderDialog picker(QString::fromUtf8(u8"选择文件夹"), QString::fromStdString(dir.path().string()));
        QTimer::singleShot(0, [&] {
            QFileDialog* dlg = picker.dialog();
            ASSERT_NE(dlg, nullptr);
            if (c.accept) {
                dlg->selectFile(target);
                static_cast<QDialog*>(dlg)->accept();
            } else {
                dlg->reject();
            }
        });
        EXPECT_EQ(picker.DoModal(), c.result);
        EXPECT_EQ(picker.GetFolderPath(), c.accept ? target : QString());
    }
}

} // namespace
} // namespace qv
