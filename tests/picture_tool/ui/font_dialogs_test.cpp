// The font choice and the font maker offscreen.
#include "platform/files/atomic_file.h"
#include "platform/qt/qtext.h"
#include "tests/fixtures/temp_dir.h"
#include "picture_tool/ui/font_choice_dlg.h"
#include "picture_tool/ui/font_maker_dlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

#include "tests/app/qt_app.h"

namespace qv::picture_tool {
namespace {

QApplication& app()
{
    return test::qtApp();
}

TEST(FontChoiceDialog, ShowsThePreviousChoiceAndItsModeCaption)
{
    app();
    const FontSelection previous = chooseFonts({1138});
    CFontChoiceDlg plain(previous, false, {});
    EXPECT_TRUE(plain.box(1138)->isChecked());
    EXPECT_TRUE(plain.box(1106)->isChecked()); // the mouse font also chose the 16 x 16 pair
    EXPECT_FALSE(plain.box(1104)->isChecked());
    EXPECT_EQ(plain.windowTitle(), toQString("字库选择"));
    EXPECT_FALSE(plain.makerButton()->isEnabled());
    plain.box(1104)->setChecked(true);
    EXPECT_EQ(plain.ticked(), (std::set<int>{1104, 1106, 1138}));
    CFontChoiceDlg mass({}, true, {});
    EXPECT_EQ(mass.windowTitle(), toQString("生成量产文件"));
    EXPECT_EQ(mass.okButton()->text(), toQString("生成量产文件"));
}

TEST(FontMakerDialog, PutsTheCellInFrontOfTheChosenFile)
{
    app();
    ::setenv("QV_NONINTERACTIVE", "1", 1);
    test::TempDir dir;
    std::filesystem::create_directories(dir / "zk");
    ASSERT_TRUE(writeFileAtomically(dir / "zk" / "29.zk", "ab"));
    CFontMakerDlg dlg(dir.path());
    std::vector<QString> said;
    dlg.showMessage = [&](const QString& t) { said.push_back(t); };
    EXPECT_EQ(dlg.fileList()->count(), 31);
    dlg.fileList()->setCurrentRow(1);
    dlg.widthEdit()->setText(QStringLiteral("70000"));
    dlg.heightEdit()->setText(QStringLiteral("16"));
    dlg.makeButton()->click();
    dlg.widthEdit()->setText(QStringLiteral("8"));
    dlg.makeButton()->click();
    ASSERT_EQ(said.size(), 2u);
    EXPECT_EQ(said[1], toQString("创建成功!!!"));
    std::string bytes;
    ASSERT_TRUE(readWholeFile(dir / "zk" / "29.zk", bytes));
    EXPECT_EQ(bytes, std::string("\x08\x00\x10\x00" "ab", 6));
}

} // namespace
} // namespace qv::picture_tool
