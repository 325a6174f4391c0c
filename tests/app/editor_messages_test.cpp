// What the main window says as a new user meets it: Qt's own buttons in Chinese, a long
// name refused in Chinese in a box that fits the screen, and the port panes after the
// project closes.
#include "app/mainframe/prog_status_bar.h"
#include "app/startup/message_box.h"
#include "platform/qt/qt_translations.h"
#include "app/windowdialogs/screen_dialog.h"
#include "model/tree/tree_menus.h"
#include "platform/qt/qtext.h"
#include "tests/app/editor_window_fixture.h"
#include "tests/app/modal_driver.h"
#include "tests/app/screenshots.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

namespace qv::test {
namespace {

QString u(const char8_t* text) { return QString::fromUtf8(text); }

class EditorMessages : public EditorWindowFixture<> {
protected:
    void SetUp() override
    {
        showMainWindow(1000, 700);
        ASSERT_NO_FATAL_FAILURE(openProjectOf({"win0.drw"}, 320, 240));
    }
    void TearDown() override { closeMainWindow(); }

    // Shows `gbk` as the program shows its messages; `look` sees the box before it is closed.
    void showMessage(std::string_view gbk, std::function<void(QMessageBox&)> look)
    {
        whenModal<QMessageBox>([look](QMessageBox& box) {
            look(box);
            box.button(QMessageBox::Ok)->click();
        });
        showMessageBox(frame.get(), gbk, QMessageBox::Information);
    }
};

TEST_F(EditorMessages, StandardButtonsSpeakChinese)
{
    ASSERT_TRUE(installQtTranslations(qtApp())) << "Qt's zh_CN catalogue is installed by the setup script";
    QString ok;
    showMessage("工程已保存", [&](QMessageBox& box) { ok = box.button(QMessageBox::Ok)->text(); });
    EXPECT_EQ(ok, u(u8"确定"));
    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), u(u8"取消"));
}

TEST_F(EditorMessages, LongScreenNameIsRefusedInChineseAndLongMessagesWrap)
{
    const QString longName(300, QLatin1Char('a'));
    bool refusedAndStillOpen = false;
    whenModal<CScreenDlg>([&](CScreenDlg& dlg) {
        dlg.nameEdit()->setText(longName);
        dlg.accept();
        refusedAndStillOpen = dlg.isVisible();
        dlg.reject();
    });
    frame->RefreshCommands();
    ASSERT_TRUE(frame->commands().trigger(cmd::TreeNewScreen));
    EXPECT_TRUE(refusedAndStillOpen);
    ASSERT_FALSE(prompts.messages.empty());
    EXPECT_NE(prompts.messages.back().find("名字太长"), std::string::npos);
    EXPECT_EQ(app->ProjectDoc()->m_screenNames.size(), 1u) << "nothing was added";

    // A message holding a long name without spaces wraps inside a box narrower than the screen.
    const std::string message = "画面“" + std::string(300, 'b') + "”已存在!!!";
    int boxWidth = 0;
    QString shown;
    showMessage(message, [&](QMessageBox& box) {
        boxWidth = box.width();
        shown = box.text();
        saveScreenshot(box, "long_message");
    });
    EXPECT_LT(boxWidth, frame->screen()->availableGeometry().width());
    EXPECT_LE(boxWidth, 700);
    shown.remove(QChar(0x200B));
    EXPECT_EQ(shown, toQString(message)) << "the whole text stays, only break points are added";
}

TEST_F(EditorMessages, ClosingTheProjectTakesThePortPanesBack)
{
    app->m_reports.post(ReportStatus{CProgStatusBar::SerialPort1, "9600波特率，串口1COM1已连接"});
    app->m_reports.post(ReportStatus{CProgStatusBar::SerialPort2, "串口2COM2已连接"});
    frame->DrainReports();
    CProgStatusBar* status = frame->progStatusBar();
    ASSERT_EQ(status->PaneText(CProgStatusBar::SerialPort1), u(u8"9600波特率，串口1COM1已连接"));

    frame->RefreshCommands();
    ASSERT_TRUE(frame->commands().trigger(cmd::ProjectClose)); // 关闭工程
    ASSERT_EQ(app->ProjectDoc(), nullptr);
    frame->DrainReports();
    EXPECT_EQ(status->PaneText(CProgStatusBar::SerialPort1), u(u8"串口1未连接"));
    EXPECT_EQ(status->PaneText(CProgStatusBar::SerialPort2), u(u8"串口2未连接"));
}

} // namespace
} // namespace qv::test
