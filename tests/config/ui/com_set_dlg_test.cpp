// The "工程属性" sheet over an open project, driven through its widgets: the panel fields, the
// two dialogs of the other-settings buttons, OK refusals that keep the sheet open, Cancel that
// stores nothing, and the online connection of both ports on pseudo-terminals.
#include "tests/app/modal_driver.h"
#include "tests/app/qt_app.h"
#include "tests/model/project_fixture.h"
#include "tests/platform/serial_pty_fixture.h"

#include "model/document/draw_doc.h"
#include "config/settings/other_settings.h"
#include "config/settings/project_properties.h"
#include "config/settings/protocol_numbers.h"
#include "config/ui/com_set_dlg.h"
#include "config/ui/other_settings_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>

#include <gtest/gtest.h>
#include <map>
#include <stdlib.h>

namespace qv::test {
namespace {

using namespace settings_page;

QString q(const char8_t* text) { return QString::fromUtf8(text); }

class ComSetSheet : public ProjectTest {
protected:
    ComSetSheet()
    {
        qtApp();
        mapComPorts({{1, link1.path()}, {2, link2.path()}, {4, "/nonexistent/quorvane-tty"}});
        folder = newProject("set");
        project = folder / "set.hmi";
        drainStatus();
    }
    ~ComSetSheet() override
    {
        app->CloseAllDocuments();
        drainStatus();
        qv::test::mapNoComPorts();
    }

    // Runs the sheet over the project; `drive` plays the user while it is open.
    void runSheet(std::function<void(CDlgCOMSET&)> drive)
    {
        whenModal<CDlgCOMSET>([this, drive](CDlgCOMSET& dlg) {
            dlg.showMessage = [this](const QString& text) { messages.push_back(text); };
            drive(dlg);
        });
        OnProjectProperties(*app, nullptr);
    }

    // Opens the dialog of a port's other-settings button and plays the user in it.
    template <class Dialog>
    void inOtherDialog(CDlgCOMSET& sheet, int port, std::function<void(Dialog&)> drive)
    {
        whenModal<Dialog>([this, drive](Dialog& dlg) {
            dlg.showMessage = [this](const QString& text) { messages.push_back(text); };
            drive(dlg);
        });
        sheet.port(port).other->click();
    }

    // The status texts posted since the last call, by pane.
    std::vector<std::pair<int, std::string>> drainStatus()
    {
        std::vector<std::pair<int, std::string>> out;
        app->m_reports.drain([&](Report& r) {
            if (auto* s = std::get_if<ReportStatus>(&r))
                out.emplace_back(s->pane, s->gbk);
            else if (auto* c = std::get_if<ReportCall>(&r))
                c->run();
        });
        return out;
    }

    PtyPeer link1, link2;
    fs::path folder, project;
    std::vector<QString> messages;
};

// In a locale that groups digits ("19.200" in German) the baud rate still takes digits only:
// a grouped number would pass the field and be read as 0.
TEST_F(ComSetSheet, BaudRateTakesOnlyDigitsInAGroupingLocale)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const struct {
        const char* text;
        bool acceptable;
    } cases[] = {{"19.200", false}, {"9,600", false}, {"19200", true}, {"4000001", false}};
    runSheet([&](CDlgCOMSET& dlg) {
        for (const auto& c : cases) {
            dlg.port(0).baud->setText(QString::fromLatin1(c.text));
            EXPECT_EQ(dlg.port(0).baud->hasAcceptableInput(), c.acceptable) << c.text;
        }
        dlg.reject();
    });
    QLocale::setDefault(before);
}

TEST_F(ComSetSheet, BadInputIsRefusedWithTheSheetOpenAndStoresNothing)
{
    const std::string before = readText(project);
    const struct {
        const char* what;
        std::function<void(CDlgCOMSET&)> enter;
        const char8_t* message;
    } cases[] = {
        {"FX at 19200 baud",
         [](CDlgCOMSET& d) {
             d.port(0).protocol->setCurrentIndex(protocol::MitsubishiFx);
             d.port(0).baud->setText(QStringLiteral("19200"));
             d.port(0).dataBits->setCurrentIndex(1);
             d.port(0).parity->setCurrentIndex(2);
         },
         u8"串口1选择的三菱FX系列PLC的通信格式必须是：9600波特率，7位数据位，1位停止位，偶校验"},
        {"empty password", [](CDlgCOMSET& d) { d.panelNumber(0)->clear(); },
         u8"“工程密码”：请填入一个在0和999999999之间的整数。"},
        {"empty password, then another protocol",
         [](CDlgCOMSET& d) {
             d.panelNumber(0)->clear();
             d.port(0).protocol->setCurrentIndex(protocol::ModbusMaster);
         },
         u8"“工程密码”：请填入一个在0和999999999之间的整数。"},
        {"idle seconds 70000",
         [](CDlgCOMSET& d) {
             d.idleReturnCheck()->setChecked(true);
             d.panelNumber(1)->setText(QStringLiteral("70000"));
         },
         u8"“时间（秒）”：请填入一个在0和65535之间的整数。"},
        {"screen 256", [](CDlgCOMSET& d) { d.panelNumber(2)->setText(QStringLiteral("256")); },
         u8"“画面号”：请填入一个在0和255之间的整数。"},
        {"baud 0 on port 1", [](CDlgCOMSET& d) { d.port(0).baud->setText(QStringLiteral("0")); },
         u8"“波特率”：请填入一个在1和4000000之间的整数。"},
        {"no baud on port 2", [](CDlgCOMSET& d) { d.port(1).baud->clear(); },
         u8"“波特率”：请填入一个在1和4000000之间的整数。"},
        {"Modbus slave at device address 999",
         [](CDlgCOMSET& d) {
             d.port(0).protocol->setCurrentIndex(protocol::ModbusSlave);
             d.port(0).address->setValue(999);
         },
         u8"“设备地址”：请填入一个在0和247之间的整数。"},
        {"panel protocol at device address 256",
         [](CDlgCOMSET& d) {
             d.port(1).protocol->setCurrentIndex(protocol::PanelBinary);
             d.port(1).address->setValue(256);
         },
         u8"“设备地址”：请填入一个在0和255之间的整数。"},
    };
    for (const auto& c : cases) {
        messages.clear();
        bool stayedOpen = false;
        runSheet([&](CDlgCOMSET& dlg) {
            c.enter(dlg);
            dlg.accept();
            stayedOpen = dlg.isVisible() && dlg.result() != QDialog::Accepted;
            dlg.reject();
        });
        EXPECT_TRUE(stayedOpen) << c.what;
        ASSERT_EQ(messages.size(), 1u) << c.what;
        EXPECT_EQ(messages[0], q(c.message)) << c.what;
    }
    EXPECT_EQ(readText(project), before);
}

// A changed resolution rescales every window and saves it at once, which cannot be undone:
// OK asks first. Cancel on the real question keeps the sheet open and every file as it was;
// Yes rescales.
TEST_F(ComSetSheet, AResolutionChangeAsksBeforeRescalingTheWindows)
{
    CDrawDoc* window = app->FindWindowDocByFileName("win0.drw");
    ASSERT_NE(window, nullptr);
    auto rect = std::make_unique<CDrawRect>(Rect{138, 138, 338, 238});
    rect->SetKind(ShapeKind::Rectangle);
    window->AddObject(std::move(rect));
    window->SetModifiedFlag();
    ASSERT_TRUE(app->SaveAllDocumentsAndResetUndo());
    const auto filesNow = [&] {
        std::map<fs::path, std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            if (entry.is_regular_file())
                files[entry.path()] = readText(entry.path());
        return files;
    };
    const auto before = filesNow();
    ASSERT_TRUE(before.count(folder / "window" / "win0.drw"));

    QString asked;
    bool stayedOpen = false;
    runSheet([&](CDlgCOMSET& dlg) {
        dlg.widthSpin()->setValue(1);
        whenModal<QMessageBox>([&](QMessageBox& box) {
            asked = box.text();
            box.button(QMessageBox::Cancel)->click();
        });
        dlg.accept();
        stayedOpen = dlg.isVisible() && dlg.result() != QDialog::Accepted;
        dlg.reject();
    });
    EXPECT_TRUE(asked.contains(q(u8"分辨率由800X480改为1X480"))) << asked.toStdString();
    EXPECT_TRUE(asked.contains(q(u8"不能撤销"))) << asked.toStdString();
    EXPECT_TRUE(stayedOpen);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(app->ProjectDoc()->m_nWindowWidth, 800);
    EXPECT_TRUE(filesNow() == before) << "Cancel on the question changes no file";

    // Yes: the windows take the new resolution and are saved.
    runSheet([&](CDlgCOMSET& dlg) {
        dlg.widthSpin()->setValue(400);
        whenModal<QMessageBox>([](QMessageBox& box) { box.button(QMessageBox::Yes)->click(); });
        dlg.accept();
    });
    EXPECT_EQ(app->ProjectDoc()->m_nWindowWidth, 400);
    EXPECT_NE(readText(folder / "window" / "win0.drw"), before.at(folder / "window" / "win0.drw"));
    CDrawDoc* rescaled = app->FindWindowDocByFileName("win0.drw");
    ASSERT_NE(rescaled, nullptr);
    ASSERT_FALSE(rescaled->m_objects.empty());
    EXPECT_LT(rescaled->m_objects.back()->m_rcPosition.normalized().width(), 200) << "rescaled with its window";
}

TEST_F(ComSetSheet, OtherSettingsRefuseAnOddHmiStartAndAReachPastTheMemory)
{
    const struct {
        const char* what;
        int protocol;
        bool copy;
        int field;
        const char* text;
        const char8_t* message;
    } cases[] = {
        {"HMI start 101", protocol::ModbusSlave, false, HmiStart, "101", u8"<HMI变量首地址>必须是能被2整除的数"},
        {"copy 65000 + 1000", protocol::HmiVarCopy, true, CopyCount, "1000",
         u8"“拷贝字节数”：请填入一个在1和536之间的整数。"},
    };
    for (const auto& c : cases) {
        messages.clear();
        bool stayedOpen = false;
        runSheet([&](CDlgCOMSET& sheet) {
            sheet.port(1).protocol->setCurrentIndex(c.protocol);
            if (c.copy)
                inOtherDialog<CDlgHmiVarCopySet>(sheet, 1, [&](CDlgHmiVarCopySet& d) {
                    d.customRangeCheck()->setChecked(true);
                    d.field(CopyStart)->setText(QStringLiteral("65000"));
                    d.field(c.field)->setText(QString::fromLatin1(c.text));
                    d.accept();
                    stayedOpen = d.isVisible();
                    d.reject();
                });
            else
                inOtherDialog<CDlgOtherSet>(sheet, 1, [&](CDlgOtherSet& d) {
                    d.field(c.field)->setText(QString::fromLatin1(c.text));
                    d.accept();
                    stayedOpen = d.isVisible();
                    d.reject();
                });
            sheet.reject();
        });
        EXPECT_TRUE(stayedOpen) << c.what;
        ASSERT_EQ(messages.size(), 1u) << c.what;
        EXPECT_EQ(messages[0], q(c.message)) << c.what;
    }
}

// Changes the panel fields and both dialogs' values, then closes the sheet with `accept`.
void changeEverything(CDlgCOMSET& sheet, std::function<void(QDialog&)> closeSheet,
                      std::function<void(CDlgCOMSET&, int, std::function<void(CDlgHmiVarCopySet&)>)> inCopy,
                      std::function<void(CDlgCOMSET&, int, std::function<void(CDlgOtherSet&)>)> inOther)
{
    sheet.panelNumber(0)->setText(QStringLiteral("4321"));
    sheet.calibrationCheck()->setChecked(true);
    sheet.idleReturnCheck()->setChecked(true);
    sheet.panelNumber(1)->setText(QStringLiteral("600"));
    sheet.panelNumber(2)->setText(QStringLiteral("3"));
    sheet.port(0).protocol->setCurrentIndex(protocol::HmiVarCopy);
    inCopy(sheet, 0, [](CDlgHmiVarCopySet& d) {
        d.customRangeCheck()->setChecked(true);
        d.field(CopyStart)->setText(QStringLiteral("64"));
        d.field(CopyCount)->setText(QStringLiteral("42"));
        d.accept();
    });
    sheet.port(1).protocol->setCurrentIndex(protocol::ModbusSlave);
    inOther(sheet, 1, [](CDlgOtherSet& d) {
        d.dynamicCheck()->setChecked(true);
        d.noCommCheck()->setChecked(true);
        d.field(AddressOffset)->setText(QStringLiteral("300"));
        d.field(HmiStart)->setText(QStringLiteral("100"));
        d.field(RegisterStart)->setText(QStringLiteral("7"));
        d.accept();
    });
    closeSheet(sheet);
}

TEST_F(ComSetSheet, CancelAfterEveryChangeLeavesTheProjectAsItWas)
{
    const std::string before = readText(project);
    const ProjectSettings settings = app->ProjectDoc()->m_ProjectSettings;
    runSheet([this](CDlgCOMSET& sheet) {
        changeEverything(
            sheet, [](QDialog& d) { d.reject(); },
            [this](CDlgCOMSET& s, int p, auto drive) { inOtherDialog<CDlgHmiVarCopySet>(s, p, drive); },
            [this](CDlgCOMSET& s, int p, auto drive) { inOtherDialog<CDlgOtherSet>(s, p, drive); });
    });
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(readText(project), before);
    EXPECT_EQ(app->ProjectDoc()->m_ProjectSettings, settings);
}

TEST_F(ComSetSheet, OkStoresEveryFieldAtItsSlotAndSaves)
{
    runSheet([this](CDlgCOMSET& sheet) {
        changeEverything(
            sheet, [](QDialog& d) { d.accept(); },
            [this](CDlgCOMSET& s, int p, auto drive) { inOtherDialog<CDlgHmiVarCopySet>(s, p, drive); },
            [this](CDlgCOMSET& s, int p, auto drive) { inOtherDialog<CDlgOtherSet>(s, p, drive); });
    });
    EXPECT_TRUE(messages.empty()) << messages.front().toStdString();
    const auto stored = load(project);
    const CDrawDoc& d = *stored;
    const struct {
        std::size_t offset;
        int value;
    } ints[] = {
        {212, 4321}, {144, 1}, {276, 1},  {280, 600}, {284, 3}, {248, 1},
        {252, 64},   {256, 42}, {232, 1}, {228, 1},   {236, 300},
        {112, 12}, {116, 68}, // the copy protocol; 42 + 24, raised to a multiple of 4
        {120, 8}, // the Modbus slave
    };
    for (const auto& i : ints)
        EXPECT_EQ(d.SettingI32(i.offset), i.value) << i.offset;
    EXPECT_EQ(d.m_ProjectSettings[288] | d.m_ProjectSettings[289] << 8, 100);
    EXPECT_EQ(d.m_ProjectSettings[290] | d.m_ProjectSettings[291] << 8, 7);
}

TEST_F(ComSetSheet, OkWithoutChangesLeavesEveryStoredByte)
{
    CDrawDoc& doc = *app->ProjectDoc();
    // Values the widgets cannot show as they are: kept because the user left them alone.
    doc.SetSettingI32(kIdleReturnSeconds, 70000);
    doc.SetSettingI32(kNoPowerUpCalibration, 7);
    doc.SetSettingI32(kProjectPassword, -5);
    doc.m_ProjectSettings[70] = 12;
    const ProjectSettings before = doc.m_ProjectSettings;
    runSheet([](CDlgCOMSET& sheet) { sheet.accept(); });
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(doc.m_ProjectSettings, before);
}

TEST_F(ComSetSheet, IdleFieldsShowWithTheirCheck)
{
    runSheet([](CDlgCOMSET& sheet) {
        EXPECT_FALSE(sheet.panelNumber(1)->isVisible());
        sheet.idleReturnCheck()->setChecked(true);
        EXPECT_TRUE(sheet.panelNumber(1)->isVisible());
        EXPECT_TRUE(sheet.panelNumber(2)->isVisible());
        for (int i = 0; i < 4; ++i)
            EXPECT_FALSE(sheet.hiddenCombo(i)->isVisible());
        sheet.reject();
    });
}

TEST_F(ComSetSheet, OtherSettingsShowWhatTheProtocolUses)
{
    const struct {
        int protocol;
        bool times, ackEnabled, starts;
    } cases[] = {
        {protocol::MitsubishiFx, true, false, false},
        {protocol::SiemensPpi, true, true, false},
        {protocol::PanelBinary, false, false, false},
        {protocol::ModbusSlave, false, false, true},
    };
    for (const auto& c : cases) {
        runSheet([&](CDlgCOMSET& sheet) {
            sheet.port(0).protocol->setCurrentIndex(c.protocol);
            inOtherDialog<CDlgOtherSet>(sheet, 0, [&](CDlgOtherSet& d) {
                EXPECT_EQ(d.timeGroup()->isVisible(), c.times) << c.protocol;
                EXPECT_EQ(d.advancedButton()->isVisible(), c.times) << c.protocol;
                EXPECT_EQ(d.field(AckDelay)->isEnabled(), c.ackEnabled) << c.protocol;
                if (!c.ackEnabled) {
                    EXPECT_EQ(d.field(AckDelay)->text(), QStringLiteral("0"));
                }
                EXPECT_EQ(d.field(HmiStart)->isVisible(), c.starts) << c.protocol;
                EXPECT_FALSE(d.field(AddressOffset)->isVisible());
                d.dynamicCheck()->setChecked(true);
                EXPECT_TRUE(d.field(AddressOffset)->isVisible());
                EXPECT_TRUE(d.noCommCheck()->isVisible());
                d.reject();
            });
            sheet.reject();
        });
    }
}

TEST_F(ComSetSheet, CopyDialogFollowsTheUsedMemoryUntilACustomRange)
{
    const int used = FirstFreeVarByte(*app);
    runSheet([&](CDlgCOMSET& sheet) {
        sheet.port(1).protocol->setCurrentIndex(protocol::HmiVarCopy);
        EXPECT_EQ(sheet.port(1).length->value(), used + 24);
        EXPECT_FALSE(sheet.port(1).length->isEnabled());
        inOtherDialog<CDlgHmiVarCopySet>(sheet, 1, [&](CDlgHmiVarCopySet& d) {
            EXPECT_EQ(d.field(CopyCount)->text(), QString::number(used));
            EXPECT_FALSE(d.field(CopyCount)->isEnabled());
            d.customRangeCheck()->setChecked(true);
            d.field(CopyCount)->setText(QStringLiteral("100"));
            d.accept();
        });
        EXPECT_EQ(sheet.port(1).length->value(), 124);
        sheet.reject();
    });
}

TEST_F(ComSetSheet, ConnectAndDisconnectBothPortsReleaseTheDevice)
{
    for (int port = 0; port < 2; ++port) {
        const int com = port + 1;
        CDrawDoc& doc = *app->ProjectDoc();
        doc.DisconnectSerialPort(port); // a new project links port 1 at once
        drainStatus();
        runSheet([&](CDlgCOMSET& sheet) {
            sheet.port(port).com->setCurrentText(QStringLiteral("COM%1").arg(com));
            sheet.port(port).baud->setText(QStringLiteral("9600"));
            port == 0 ? sheet.OnPort1Connect() : sheet.OnPort2Connect();
            EXPECT_EQ(sheet.port(port).connect->text(), q(u8"断开"));
            EXPECT_FALSE(sheet.port(port).com->isEnabled());
            EXPECT_FALSE(sheet.port(port).baud->isEnabled());
            EXPECT_TRUE(doc.IsSerialPortConnected(port));
            sheet.port(port).connect->click();
            EXPECT_EQ(sheet.port(port).connect->text(), q(u8"连接"));
            EXPECT_TRUE(sheet.port(port).baud->isEnabled());
            sheet.reject();
        });
        EXPECT_FALSE(doc.IsSerialPortConnected(port)) << port;
        EXPECT_FALSE((port == 0 ? doc.m_ComPort1 : doc.m_ComPort2).IsOpen()) << port;
        // Released for real: another program may take the device now.
        CComPort other;
        EXPECT_TRUE(other.InitPort(nullptr, com, 9600, 'N', 8, 1, 0, 64)) << other.LastErrorText();
        other.ClosePort();
        const std::string name = std::to_string(port + 1);
        const auto texts = drainStatus();
        std::vector<std::pair<int, std::string>> expected;
        expected.emplace_back(port + 1, "9600波特率，串口" + name + "COM" + std::to_string(com) + "已连接");
        expected.emplace_back(port + 1, "9600波特率，串口" + name + "COM" + std::to_string(com) + "未连接");
        EXPECT_EQ(texts, expected) << port;
    }
}

TEST_F(ComSetSheet, AMissingPortSaysWhy)
{
    runSheet([this](CDlgCOMSET& sheet) {
        sheet.port(1).com->setCurrentText(QStringLiteral("COM4"));
        sheet.OnPort2Connect();
        EXPECT_EQ(sheet.port(1).connect->text(), q(u8"连接"));
        EXPECT_TRUE(sheet.port(1).com->isEnabled());
        sheet.reject();
    });
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].startsWith(q(u8"未发现串口!!!\n"))) << messages[0].toStdString();
    EXPECT_GT(messages[0].size(), q(u8"未发现串口!!!\n").size()); // with the reason
    EXPECT_FALSE(app->ProjectDoc()->IsSerialPortConnected(1));
}

} // namespace
} // namespace qv::test
