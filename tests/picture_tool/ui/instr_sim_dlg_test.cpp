// The display-instruction dialog offscreen: the hex text of every entry's defaults, numbers
// in two bytes, a pty peer on a mapped COM port that receives the bytes and answers with
// touch reports and sound codes, the panel's USB link, and no port at all.
#include "device/virtual_panel/sim_usb_host.h"
#include "platform/qt/qtext.h"
#include "tests/fixtures/temp_dir.h"
#include "tests/platform/serial_pty_fixture.h"
#include "picture_tool/ui/instr_sim_dlg.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "tests/app/qt_app.h"

namespace qv::picture_tool {
namespace {

QApplication& app()
{
    return test::qtApp();
}

// Runs the event loop until `done` holds or a generous limit passes.
bool waitFor(const std::function<bool()>& done)
{
    for (int i = 0; i < 2000 && !done(); ++i)
        QTest::qWait(5);
    return done();
}

struct InstrFixture : ::testing::Test {
    test::TempDir folder;
    std::vector<QString> messages;
    std::vector<std::filesystem::path> waves;
    void SetUp() override
    {
        app();
        ::setenv("QV_NONINTERACTIVE", "1", 1);
        ::setenv("QV_EZUSB_IDS", "5345:1256", 1); // the simulated panels' ids
        test::mapComPorts({});
    }
    void TearDown() override { qv::test::mapNoComPorts(); }
    std::unique_ptr<CInstrSimDlg> open(usb::UsbHost* host = nullptr, int baudIndex = 0)
    {
        auto dlg = std::make_unique<CInstrSimDlg>(baudIndex, host, folder.path());
        dlg->showMessage = [this](const QString& t) { messages.push_back(t); };
        dlg->playSound = [this](const std::filesystem::path& p) { waves.push_back(p); };
        return dlg;
    }
};

TEST_F(InstrFixture, EveryEntrysDefaultsGiveTheExactHexText)
{
    const std::vector<std::pair<int, std::string>> cases{
        {0, "8100FF FF FF 00 00 00 00 00 00 00 48 65 6C 6C 6F 20 31 32 33 84"},
        {1, "8101FF FF FF 00 00 00 00 00 00 00 48 65 6C 6C 6F 20 31 32 33 84"},
        {2, "8102FF FF FF 00 00 00 00 00 00 00 48 65 6C 6C 6F 20 31 32 33 84"},
        {3, "8110FF FF FF 00 00 00 00 00 00 00 00 00 84"},
        {4, "8111FF FF FF 00 00 00 00 00 00 00 00 00 84"},
        {5, "8112FF FF FF 00 00 00 00 00 00 00 00 00 84"},
        {6, "812000 00 00 00 00 00 84"},
        {7, "812100 00 00 00 00 00 00 01 05 84"},
        {8, "812200 00 00 00 00 00 00 01 05 84"},
        {9, "8130FF FF FF 00 00 00 00 02 00 02 00 02 84"},
        {10, "8131FF FF FF 00 05 00 05 01 00 01 00 84"},
        {11, "8132FF FF FF 01 00 01 00 02 00 02 00 84"},
        {12, "813300 FF 00 01 00 01 00 01 00 01 00 84"},
        {13, "8134FF FF FF 02 00 02 00 01 00 01 00 84"},
        {14, "8135FF 00 00 84"},
    };
    auto dlg = open();
    EXPECT_EQ(dlg->instructionCombo()->count(), 15);
    EXPECT_EQ(dlg->instructionCombo()->currentIndex(), 6); // the entry shown first
    for (const auto& [entry, hex] : cases) {
        dlg->instructionCombo()->setCurrentIndex(entry);
        EXPECT_EQ(dlg->codeEdit()->text().toStdString(), hex) << entry;
    }
    dlg->instructionCombo()->setCurrentIndex(14);
    EXPECT_TRUE(dlg->valueEdit(0)->isHidden());
    dlg->instructionCombo()->setCurrentIndex(7);
    EXPECT_FALSE(dlg->valueEdit(4)->isHidden());
    EXPECT_EQ(dlg->valueLabel(4)->text(), toQString("时间间隔"));
}

TEST_F(InstrFixture, EditsRebuildTheTextAndRefuseWhatTheWireCannotCarry)
{
    auto dlg = open();
    dlg->valueEdit(2)->setText(QStringLiteral("300"));
    EXPECT_EQ(dlg->codeEdit()->text(), QStringLiteral("812000 00 00 00 03 00 84"));
    dlg->valueEdit(0)->setText(QStringLiteral("25600"));
    EXPECT_FALSE(dlg->codeEdit()->text().startsWith(QStringLiteral("81")));
    dlg->valueEdit(0)->setText(QStringLiteral("0"));
    dlg->instructionCombo()->setCurrentIndex(14);
    dlg->colourEdit(5)->setText(QStringLiteral("256"));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], toQString("输入的颜色值不能超过255!!"));
    EXPECT_TRUE(dlg->colourEdit(5)->text().isEmpty());
    EXPECT_EQ(dlg->codeEdit()->text(), QStringLiteral("813500 00 00 84"));
    dlg->pickColour = [] { return std::optional(QColor(1, 2, 3)); };
    dlg->pickButton(1)->click();
    EXPECT_EQ(dlg->codeEdit()->text(), QStringLiteral("813503 02 01 84"));
}

TEST_F(InstrFixture, WithoutPortOrUsbConnectSaysSo)
{
    auto dlg = open();
    EXPECT_EQ(dlg->portCombo()->count(), 0);
    EXPECT_FALSE(dlg->sendButton()->isEnabled());
    dlg->connectButton()->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], toQString("电脑无串口或USB没连接！！"));
    EXPECT_FALSE(dlg->connected());
}

TEST_F(InstrFixture, PtyPeerGetsTheBytesAndItsRepliesPlayAndShowTouches)
{
    test::PtyPeer peer;
    test::mapComPorts({{3, peer.path()}});
    auto dlg = open(nullptr, 2);
    EXPECT_EQ(dlg->baud(), 115200);
    ASSERT_EQ(dlg->portCombo()->count(), 1);
    EXPECT_EQ(dlg->portCombo()->currentText(), QStringLiteral("COM3"));
    dlg->connectButton()->click();
    ASSERT_TRUE(dlg->connected()) << (messages.empty() ? "" : messages.back().toStdString());
    EXPECT_EQ(dlg->connectButton()->text(), toQString("断开连接"));
    EXPECT_FALSE(dlg->portCombo()->isEnabled());
    dlg->valueEdit(2)->setText(QStringLiteral("300"));
    dlg->sendButton()->click();
    EXPECT_EQ(peer.receive(9, std::chrono::seconds(10)),
              (std::vector<unsigned char>{0x81, 0x20, 0, 0, 0, 0, 3, 0, 0x84}));

    // Four bytes without the lead byte change nothing; a sound code plays inside a report.
    peer.send({1, 2, 3, 4, 0xF4, 1, 0xB3, 2, 40});
    ASSERT_TRUE(waitFor([&] { return dlg->yLabel()->text() != toQString("Y：    "); }));
    EXPECT_EQ(dlg->xLabel()->text(), toQString("X：") + QString::number(100 + 0xB3));
    EXPECT_EQ(dlg->yLabel()->text(), toQString("Y：240"));
    ASSERT_EQ(waves.size(), 1u);
    EXPECT_EQ(waves[0], folder / "4.wav");

    const std::vector<std::pair<std::uint8_t, std::string>> sounds{
        {0xB0, "0.wav"}, {0xB1, "1.wav"}, {0xB2, "3.wav"}, {0xB3, "4.wav"}, {0xB4, "2.wav"},
        {0xB5, "GameOver.wav"}, {0xB6, "GameStart.wav"}, {0xBA, reinterpret_cast<const char*>(u8"碰撞.wav")}};
    waves.clear();
    for (const auto& [code, file] : sounds)
        peer.send({code});
    ASSERT_TRUE(waitFor([&] { return waves.size() == sounds.size(); }));
    for (std::size_t i = 0; i < sounds.size(); ++i)
        EXPECT_EQ(waves[i], folder / sounds[i].second) << i;

    dlg->connectButton()->click();
    EXPECT_FALSE(dlg->connected());
    EXPECT_EQ(dlg->connectButton()->text(), toQString("连接设备"));
}

TEST_F(InstrFixture, PanelUsbLinkTakesTheBytesAsRawData)
{
    device::virtual_panel::SimUsbHost host;
    device::virtual_panel::SimPanelSettings s;
    s.kind = usb::UsbKind::EzUsb;
    auto panel = host.add(s);
    auto dlg = open(&host);
    ASSERT_EQ(dlg->portCombo()->count(), 1);
    EXPECT_EQ(dlg->portCombo()->currentText(), QStringLiteral("EZUSB-0"));
    dlg->connectButton()->click();
    dlg->instructionCombo()->setCurrentIndex(14);
    dlg->sendButton()->click();
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(panel->events().raw, (std::vector<std::uint8_t>{0x81, 0x35, 0xFF, 0, 0, 0x84}));
}

} // namespace
} // namespace qv::picture_tool
