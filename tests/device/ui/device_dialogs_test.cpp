// The device dialogs on the offscreen platform, driven by real events.
#include "device/list/device_scan.h"
#include "device/tasks/app_device_commands.h"
#include "device/tasks/device_texts.h"
#include "device/ui/buzzer_test_dlg.h"
#include "device/ui/device_select_dlg.h"
#include "device/ui/result_sound_dlg.h"
#include "model/app/editor_app.h"
#include "tests/app/qt_app.h"
#include "tests/device/sim_link_fixture.h"
#include "tests/fixtures/temp_dir.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

namespace qv::device::test {
namespace {

TEST(CDlgDeviceSelect, ListsTheScannedPanelsAndStoresTheChoiceAtOnce)
{
    qv::test::qtApp();
    virtual_panel::SimUsbHost host;
    host.add(settingsOfKind(usb::UsbKind::EzUsb, "ez"));
    host.add(settingsOfKind(usb::UsbKind::Hid, "hid"));
    host.add(settingsOfKind(usb::UsbKind::Disk, "disk"));
    UsbDeviceList list;
    QStringList shown;
    EnumDevicesAndSelect(host, list, {{0x04B4, 0x8613}}, [&](UsbDeviceList& l) {
        CDlgDeviceSelect dialog(l);
        dialog.show();
        QComboBox* combo = dialog.deviceCombo();
        for (int i = 0; i < combo->count(); ++i)
            shown << combo->itemText(i);
        EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8(u8"设备选择"));
        EXPECT_EQ(combo->currentIndex(), 0);
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Down);
        QTest::keyClick(combo, Qt::Key_Down);
        EXPECT_EQ(l.Get().selected, 2) << "stored before the dialog closes";
        dialog.close();
    });
    EXPECT_EQ(shown, (QStringList{QString::fromUtf8(u8"01号设备(自定义类驱动)"), QString::fromUtf8(u8"02号设备(免驱动)"),
                                  QString::fromUtf8(u8"03号设备(免驱动)")}));
    EXPECT_EQ(list.Selected()->node, "disk");
}

TEST(CDlgBuzzerTest, SendsATypedCoefficientInItsRangeAndRefusesAnyOther)
{
    qv::test::qtApp();
    std::vector<int> sent;
    CDlgBuzzerTest dialog([&](int c) { sent.push_back(c); });
    dialog.show();
    EXPECT_EQ(dialog.coefficientEdit()->text(), QStringLiteral("10"));
    struct Case {
        const char* typed;
        const char8_t* refusal; // nullptr: sent
    };
    const Case cases[] = {
        {"1", nullptr},
        {"1000", nullptr},
        {"0", u8"请填入一个在1和1000之间的整数。"},
        {"1001", u8"请填入一个在1和1000之间的整数。"},
        {"2000", u8"请填入一个在1和1000之间的整数。"},
        {"-5", u8"请填入一个在1和1000之间的整数。"},
        {"x7", u8"请输入一个整数。"},
        {"500", nullptr},
    };
    QString shown;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        const std::size_t before = sent.size();
        const int last = dialog.m_nCoefficient;
        dialog.coefficientEdit()->selectAll();
        QTest::keyClicks(dialog.coefficientEdit(), QString::fromLatin1(c.typed));
        // The warning box is modal: read and close it when it shows.
        shown.clear();
        QTimer::singleShot(0, [&shown] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown = box->text();
                box->close();
            }
        });
        QTest::mouseClick(dialog.beepButton(), Qt::LeftButton);
        QCoreApplication::processEvents(); // the timer of a case without a box runs now
        if (c.refusal == nullptr) {
            EXPECT_EQ(shown, QString());
            ASSERT_EQ(sent.size(), before + 1);
            EXPECT_EQ(sent.back(), QString::fromLatin1(c.typed).toInt());
            EXPECT_EQ(dialog.m_nCoefficient, sent.back()) << "the last value tried, for the compile options";
        } else {
            EXPECT_EQ(shown, QString::fromUtf8(reinterpret_cast<const char*>(c.refusal)));
            EXPECT_EQ(sent.size(), before) << "nothing reaches the panel";
            EXPECT_EQ(dialog.m_nCoefficient, last);
        }
    }
}

struct RecordingPlayer final : ResultSoundPlayer {
    void PlayWave(const std::filesystem::path& file) override { played.push_back(file); }
    std::vector<std::filesystem::path> played;
};

struct FakeTicker final : ResultSoundTicker {
    void start(int ms, std::function<void()> t) override
    {
        interval = ms;
        tick = std::move(t);
    }
    void stop() override { tick = nullptr; }
    int interval = 0;
    std::function<void()> tick;
};

TEST(CDlgResultSound, RepeatsTheResultsWaveEveryThreeSeconds)
{
    qv::test::qtApp();
    qv::test::TempDir base;
    struct Case {
        unsigned char result;
        const char8_t* wave; // nullptr: silent
    };
    const Case cases[] = {{1, u8"任务完成.wav"}, {0, u8"任务失败.wav"}, {2, nullptr}};
    for (const Case& c : cases) {
        RecordingPlayer player;
        auto ticker = std::make_unique<FakeTicker>();
        FakeTicker* fake = ticker.get();
        CDlgResultSound dialog(player, base.path(), std::move(ticker));
        dialog.m_result = c.result;
        dialog.show();
        EXPECT_EQ(fake->interval, 3000);
        ASSERT_TRUE(fake->tick);
        fake->tick();
        fake->tick();
        if (c.wave == nullptr) {
            EXPECT_TRUE(player.played.empty());
        } else {
            const auto expected = base.path() / u8"images" / u8"Sound" / c.wave;
            EXPECT_EQ(player.played, std::vector<std::filesystem::path>(3, expected));
        }
        dialog.reject();
        EXPECT_FALSE(fake->tick) << "closing stops the repeats";
    }
}

TEST(DeviceCommandsInTheGui, EventsAreHandledWhileAPanelIsSilent)
{
    qv::test::qtApp();
    qv::test::TempDir base;
    CEditorApp app(base.path());
    virtual_panel::SimUsbHost host;
    auto panel = host.add(settingsOfKind(usb::UsbKind::Hid));
    panel->injectFault(0, virtual_panel::SimFault::Hang); // the scan's probe opens without a transfer
    std::vector<std::string> messages;
    DeviceCommandServices services;
    services.host = &host;
    services.messageBox = [&](const std::string& text) { messages.push_back(text); };
    AppDeviceCommands commands(app, services, nullptr);

    app.ClearFlashProject(); // scan here, exchange on the worker: returns at once
    EXPECT_TRUE(commands.worker().running());
    // The GUI thread goes on: a queued event and a click are handled while the panel is silent.
    bool timerRan = false;
    QTimer::singleShot(0, [&] { timerRan = true; });
    QPushButton button;
    bool clicked = false;
    QObject::connect(&button, &QPushButton::clicked, [&] { clicked = true; });
    button.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel->hanging(); }, 10000));
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return timerRan; }, 10000));
    EXPECT_TRUE(clicked);
    EXPECT_TRUE(commands.worker().running());
    app.SyncPanelClock(); // a second command waits for the first
    panel->releaseHang();
    commands.worker().join();
    app.m_reports.drain([](Report& r) {
        if (auto* c = std::get_if<ReportCall>(&r))
            c->run();
    });
    EXPECT_EQ(messages, std::vector<std::string>{text::kFlashFailed});
}

} // namespace
} // namespace qv::device::test
