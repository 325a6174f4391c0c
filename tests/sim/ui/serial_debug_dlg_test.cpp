// The serial debugging dialog against a pseudo-terminal pair standing in for the target.
#include "sim/ui/serial_debug_dlg.h"
#include "tests/app/qt_app.h"
#include "tests/model/project_fixture.h"
#include "tests/platform/serial_pty_fixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/inotify.h>

namespace qv::test {
namespace {

constexpr int kTargetCom = 7;
constexpr int kMissingCom = 8;

class SerialDebugDlgTest : public ProjectTest {
protected:
    SerialDebugDlgTest()
    {
        qtApp();
        newProject("debug");
        auto& project = *app->ProjectDoc();
        project.m_varTable.AppendRow("16", "unsigned short", "speed", "0", "");
        project.m_serial.com1 = kTargetCom;
        project.m_serial.station1 = 2;
        // COM10 is a plain file here, watched for any open.
        writeText(com10(), "");
        watch_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        ::inotify_add_watch(watch_, com10().c_str(), IN_OPEN);
        mapComPorts({{kTargetCom, peer.path()}, {kMissingCom, (base() / "no-such-tty").string()}, {10, com10().string()}});
    }
    ~SerialDebugDlgTest() override
    {
        ::close(watch_);
        qv::test::mapNoComPorts();
    }

    fs::path com10() const { return base() / "com10"; }
    bool Com10WasOpened() const
    {
        char buffer[4096];
        return ::read(watch_, buffer, sizeof buffer) > 0;
    }

    PtyPeer peer;
    int watch_ = -1;
};

TEST_F(SerialDebugDlgTest, SendsFramesAndShowsWhatComesBack)
{
    CSerialDebugDlg dlg(*app);
    std::vector<QString> messages;
    dlg.showMessage = [&](const QString& m) { messages.push_back(m); };
    EXPECT_EQ(dlg.variableCombo()->currentText(), QStringLiteral("speed"));
    EXPECT_EQ(dlg.portCombo()->currentText(), QStringLiteral("COM7"));
    EXPECT_FALSE(dlg.sendButton()->isEnabled());
    dlg.valueEdit()->setText(QStringLiteral("300"));
    EXPECT_EQ(dlg.frameEdit()->text(), QStringLiteral("81 00 02 10 00 00 00 02 00 2C 01 C2 00 "));

    QTest::mouseClick(dlg.connectButton(), Qt::LeftButton);
    ASSERT_TRUE(dlg.IsConnected()) << (messages.empty() ? std::string() : messages.back().toStdString());
    EXPECT_EQ(dlg.connectButton()->text(), QString::fromUtf8(u8"断开"));
    EXPECT_FALSE(dlg.baudEdit()->isEnabled());
    QTest::mouseClick(dlg.sendButton(), Qt::LeftButton);
    EXPECT_EQ(peer.receive(13, std::chrono::seconds(5)),
              (std::vector<unsigned char>{0x81, 0x00, 0x02, 0x10, 0, 0, 0, 0x02, 0x00, 0x2C, 0x01, 0xC2, 0x00}));

    dlg.commandCombo()->setCurrentIndex(1);
    EXPECT_TRUE(dlg.valueEdit()->isHidden());
    QTest::mouseClick(dlg.sendButton(), Qt::LeftButton);
    EXPECT_EQ(peer.receive(11, std::chrono::seconds(5)),
              (std::vector<unsigned char>{0x81, 0x01, 0x02, 0x10, 0, 0, 0, 0x02, 0x00, 0x96, 0x00}));

    peer.send({0x01, 0xAB, 0x7F});
    EXPECT_TRUE(QTest::qWaitFor([&] { return dlg.receivedEdit()->toPlainText() == QStringLiteral("01 AB 7F "); }, 5000))
        << dlg.receivedEdit()->toPlainText().toStdString();
    QTest::mouseClick(dlg.clearButton(), Qt::LeftButton);
    EXPECT_TRUE(dlg.receivedEdit()->toPlainText().isEmpty());
    EXPECT_TRUE(messages.empty());
}

// A value the variable's type cannot hold is refused with the range message and nothing is
// sent; the ends of the range go out. A refused frame that went out anyway would come before
// the next accepted one and spoil its comparison.
TEST_F(SerialDebugDlgTest, AValueOutsideTheVariablesTypeIsRefused)
{
    auto& table = app->ProjectDoc()->m_varTable;
    table.AppendRow("40", "unsigned char", "u8", "0", "");
    table.AppendRow("41", "signed char", "s8", "0", "");
    table.AppendRow("44", "signed int", "s32", "0", "");
    CSerialDebugDlg dlg(*app);
    std::vector<QString> messages;
    dlg.showMessage = [&](const QString& m) { messages.push_back(m); };
    QTest::mouseClick(dlg.connectButton(), Qt::LeftButton);
    ASSERT_TRUE(dlg.IsConnected());
    struct Case {
        const char* variable;
        const char* value;
        const char8_t* refusal; // nullptr: sent
    };
    const Case cases[] = {
        {"u8", "300", u8"请填入一个在0和255之间的整数。"},
        {"u8", "256", u8"请填入一个在0和255之间的整数。"},
        {"u8", "-1", u8"请填入一个在0和255之间的整数。"},
        {"u8", "", u8"请填入一个在0和255之间的整数。"},
        {"u8", "255", nullptr},
        {"s8", "-129", u8"请填入一个在-128和127之间的整数。"},
        {"s8", "128", u8"请填入一个在-128和127之间的整数。"},
        {"s8", "-128", nullptr},
        {"speed", "65536", u8"请填入一个在0和65535之间的整数。"},
        {"speed", "65535", nullptr},
        {"s32", "2147483648", u8"请填入一个在-2147483648和2147483647之间的整数。"},
        {"s32", "-2147483648", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.variable) + " " + c.value);
        messages.clear();
        dlg.variableCombo()->setCurrentText(QString::fromLatin1(c.variable));
        ASSERT_EQ(dlg.variableCombo()->currentText(), QString::fromLatin1(c.variable));
        dlg.valueEdit()->setText(QString::fromLatin1(c.value));
        const std::vector<std::uint8_t> frame = dlg.Frame();
        QTest::mouseClick(dlg.sendButton(), Qt::LeftButton);
        if (c.refusal) {
            EXPECT_EQ(messages, std::vector<QString>{QString::fromUtf8(reinterpret_cast<const char*>(c.refusal))});
        } else {
            EXPECT_TRUE(messages.empty());
            EXPECT_EQ(peer.receive(frame.size(), std::chrono::seconds(5)), std::vector<unsigned char>(frame.begin(), frame.end()));
        }
    }
}

TEST_F(SerialDebugDlgTest, ColourPickGivesTheRgb565Value)
{
    CSerialDebugDlg dlg(*app);
    dlg.pickColour = [] { return std::optional<QColor>(QColor(0x12, 0x34, 0x56)); };
    QTest::mouseClick(dlg.colourButton(), Qt::LeftButton);
    EXPECT_EQ(dlg.valueEdit()->text(), QStringLiteral("4522"));
    EXPECT_EQ(dlg.frameEdit()->text(), QStringLiteral("81 00 02 10 00 00 00 02 00 AA 11 50 01 "));
    dlg.pickColour = [] { return std::optional<QColor>(); }; // cancelled: nothing changes
    QTest::mouseClick(dlg.colourButton(), Qt::LeftButton);
    EXPECT_EQ(dlg.valueEdit()->text(), QStringLiteral("4522"));
}

TEST_F(SerialDebugDlgTest, AMissingPortSaysWhy)
{
    app->ProjectDoc()->m_serial.com1 = kMissingCom;
    CSerialDebugDlg dlg(*app);
    std::vector<QString> messages;
    dlg.showMessage = [&](const QString& m) { messages.push_back(m); };
    QTest::mouseClick(dlg.connectButton(), Qt::LeftButton);
    EXPECT_FALSE(dlg.IsConnected());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].startsWith(QString::fromUtf8(u8"未发现串口!!!\n"))) << messages[0].toStdString();
    EXPECT_GT(messages[0].size(), 9);
    EXPECT_EQ(dlg.connectButton()->text(), QString::fromUtf8(u8"连接"));
    EXPECT_FALSE(dlg.sendButton()->isEnabled());
}

TEST_F(SerialDebugDlgTest, ClosingWhileConnectedFreesThePort)
{
    {
        CSerialDebugDlg dlg(*app);
        QTest::mouseClick(dlg.connectButton(), Qt::LeftButton);
        ASSERT_TRUE(dlg.IsConnected());
        QTest::mouseClick(dlg.connectButton(), Qt::LeftButton); // disconnect ...
        EXPECT_FALSE(app->ProjectDoc()->m_ComPort1.IsOpen());
        QTest::mouseClick(dlg.connectButton(), Qt::LeftButton); // ... and again
        ASSERT_TRUE(dlg.IsConnected());
        dlg.reject();
    }
    EXPECT_EQ(app->ProjectDoc()->m_bPort1Connected, 0);
    EXPECT_FALSE(app->ProjectDoc()->m_ComPort1.IsOpen());
    CComPort other;
    EXPECT_TRUE(other.InitPort(nullptr, kTargetCom, 9600, 'N', 8, 1, CommEvent::RxChar, 64)) << other.LastErrorText();
    other.ClosePort();
    EXPECT_FALSE(Com10WasOpened());
}

} // namespace
} // namespace qv::test
