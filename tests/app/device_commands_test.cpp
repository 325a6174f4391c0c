// The device commands on the real main window against simulated panels (QV_SIM_PANELS):
// the device choice, the clock and the buzzer trial, with real clicks.
#include "device/list/program_host.h"
#include "device/virtual_panel/sim_usb_host.h"
#include "device/tasks/device_texts.h"
#include "device/ui/buzzer_test_dlg.h"
#include "device/ui/device_select_dlg.h"
#include "app/mainframe/docking_bars.h"
#include "compiler/ui/compile_confirm_dialog.h"
#include "tests/app/editor_window_fixture.h"
#include "tests/app/small_project.h"

#include <QComboBox>
#include <QSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <cstdlib>

namespace qv::test {
namespace {

using cmd::Owner;

class DeviceCommandsOnTheWindow : public EditorWindowFixture<> {
protected:
    ~DeviceCommandsOnTheWindow() override
    {
        closeMainWindow();
        ::unsetenv(device::virtual_panel::kSimPanelsEnv);
        device::ResetProgramUsbHost();
    }
    // The program reads the panels of this case before its window is built.
    void start(const char* panels)
    {
        ::setenv(device::virtual_panel::kSimPanelsEnv, panels, 1);
        device::ResetProgramUsbHost();
        showMainWindow(640, 480);
        host = dynamic_cast<device::virtual_panel::SimUsbHost*>(&device::ProgramUsbHost());
        ASSERT_NE(host, nullptr);
    }
    std::shared_ptr<device::virtual_panel::SimPanel> panel(const std::string& name)
    {
        for (auto& p : host->panels())
            if (p->settings().name == name)
                return p;
        return nullptr;
    }
    template <class Dialog>
    void whenShown(std::function<void(Dialog&)> act)
    {
        QTimer::singleShot(0, [act] {
            if (auto* d = qobject_cast<Dialog*>(QApplication::activeModalWidget()))
                act(*d);
        });
    }
    bool said(const char* gbk)
    {
        return waitFor([&] {
            for (const std::string& m : prompts.messages)
                if (m == gbk)
                    return true;
            return false;
        });
    }
    device::virtual_panel::SimUsbHost* host = nullptr;
};

TEST_F(DeviceCommandsOnTheWindow, ClockGoesToThePanelChosenInTheDialog)
{
    ASSERT_NO_FATAL_FAILURE(start("hid,name=a;hid,name=b"));
    QStringList entries;
    whenShown<CDlgDeviceSelect>([&](CDlgDeviceSelect& d) {
        for (int i = 0; i < d.deviceCombo()->count(); ++i)
            entries << d.deviceCombo()->itemText(i);
        d.deviceCombo()->setCurrentIndex(1);
        d.accept();
    });
    ASSERT_TRUE(frame->commands().trigger(cmd::SyncClock));
    EXPECT_EQ(entries.size(), 2);
    ASSERT_TRUE(said(device::text::kClockSynced));
    EXPECT_TRUE(panel("b")->events().clock.has_value());
    EXPECT_FALSE(panel("a")->events().clock.has_value());
}

TEST_F(DeviceCommandsOnTheWindow, BuzzerTrialSendsTheTypedCoefficient)
{
    ASSERT_NO_FATAL_FAILURE(start("hid,name=only"));
    whenShown<CDlgBuzzerTest>([](CDlgBuzzerTest& d) {
        d.coefficientEdit()->selectAll();
        QTest::keyClicks(d.coefficientEdit(), QStringLiteral("1000"));
        QTest::mouseClick(d.beepButton(), Qt::LeftButton);
        d.reject();
    });
    ASSERT_TRUE(frame->commands().trigger(cmd::BuzzerTest));
    ASSERT_TRUE(waitFor([&] { return panel("only")->events().buzzer.has_value(); }));
    EXPECT_EQ(panel("only")->events().buzzer, 1000u);
}

TEST_F(DeviceCommandsOnTheWindow, NoPanelSaysUsbNotConnected)
{
    ASSERT_NO_FATAL_FAILURE(start(""));
    ASSERT_TRUE(frame->commands().trigger(cmd::ClearFlash));
    ASSERT_TRUE(waitFor([&] { return frame->outputBar()->text().contains(QString::fromUtf8(u8"USB未连接")); }));
}

TEST_F(DeviceCommandsOnTheWindow, CompileOptionsTakeTheLastBuzzerTrial)
{
    ASSERT_NO_FATAL_FAILURE(start("hid,name=only"));
    const std::filesystem::path hmi = writeSmallProject(dir.path());
    ASSERT_FALSE(HasFailure());
    ASSERT_TRUE(app->OpenProjectFile(hmi));
    int offered = 0;
    whenShown<CDlgCompileConfirm>([&](CDlgCompileConfirm& confirm) {
        EXPECT_TRUE(confirm.buzzerTestButton()->isEnabled());
        whenShown<CDlgBuzzerTest>([](CDlgBuzzerTest& d) {
            d.coefficientEdit()->selectAll();
            QTest::keyClicks(d.coefficientEdit(), QStringLiteral("321"));
            QTest::mouseClick(d.beepButton(), Qt::LeftButton);
            d.reject();
        });
        QTest::mouseClick(confirm.buzzerTestButton(), Qt::LeftButton); // "测试获取"
        offered = confirm.buzzerSpin()->value();
        confirm.reject();
    });
    frame->RefreshCommands();
    ASSERT_TRUE(frame->commands().trigger(cmd::CompileProject));
    EXPECT_EQ(offered, 321);
    ASSERT_TRUE(waitFor([&] { return panel("only")->events().buzzer.has_value(); }));
    EXPECT_EQ(panel("only")->events().buzzer, 321u);
}

} // namespace
} // namespace qv::test
