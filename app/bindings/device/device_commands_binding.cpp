#include "app/bindings/device/device_commands_binding.h"

#include "app/compile/compile_runner.h"
#include "app/mainframe/main_frame.h"
#include "app/bindings/simulator/sim_commands.h"
#include "device/list/program_host.h"
#include "device/tasks/app_device_commands.h"
#include "device/tasks/device_texts.h"
#include "device/ui/buzzer_test_dlg.h"
#include "device/ui/device_select_dlg.h"
#include "device/ui/fpga_update_dlg.h"
#include "model/app/editor_app.h"

#include <QObject>

#include <memory>

namespace qv {
namespace {

// Keeps the device commands as long as the frame lives (their worker is joined then).
class DeviceCommandsHolder final : public QObject {
public:
    DeviceCommandsHolder(CMainFrame& frame, CEditorApp& app) : QObject(&frame)
    {
        device::DeviceCommandServices s;
        s.host = &device::ProgramUsbHost();
        s.messageBox = [&app](const std::string& text) {
            const bool good = text == device::text::kClockSynced || text == device::text::kFlashOk;
            app.Prompt().ShowMessage(text, good ? UiPrompts::Icon::Information : UiPrompts::Icon::Warning);
        };
        CMainFrame* f = &frame;
        commands = std::make_unique<device::AppDeviceCommands>(app, s, [f](UsbDeviceList& list) {
            ChooseUsbDevice(list, f);
        });
        if (!device::ProgramUsbHostProblem().empty())
            app.m_reports.appendText("QV_SIM_PANELS: " + device::ProgramUsbHostProblem() + "\r\n");
    }
    std::unique_ptr<device::AppDeviceCommands> commands;
};

// The scan, then the buzzer dialog over the device chosen; the last coefficient tried.
int runBuzzerTest(device::AppDeviceCommands& commands, CMainFrame& frame)
{
    commands.EnumDevicesAndSelect();
    CDlgBuzzerTest dialog([&commands](int c) { commands.Beep(static_cast<std::uint32_t>(c)); }, &frame);
    dialog.exec();
    return dialog.m_nCoefficient;
}

// "升级VGA驱动": the scan, then the upgrade dialog over the device chosen.
void runFpgaUpdate(device::AppDeviceCommands& commands, CEditorApp& app, CMainFrame& frame)
{
    commands.EnumDevicesAndSelect();
    FpgaUpdateServices s;
    s.host = &device::ProgramUsbHost();
    s.list = &app.m_UsbDevices;
    s.baseDir = app.BaseDir();
    s.sound = &ApplicationResultSound();
    CDlgFpgaUpdate dialog(std::move(s), &frame);
    dialog.exec();
}

} // namespace

void installDeviceCommands(CMainFrame& frame, CEditorApp& app, CCompileRunner* compileRunner)
{
    auto* holder = new DeviceCommandsHolder(frame, app);
    device::AppDeviceCommands& commands = *holder->commands;
    CMainFrame* f = &frame;
    frame.commands().bind(cmd::SyncClock, [&app] { app.SyncPanelClock(); });
    frame.commands().bind(cmd::ClearFlash, [&app] { app.ClearFlashProject(); });
    frame.commands().bind(cmd::FpgaUpdate, [&commands, &app, f] { runFpgaUpdate(commands, app, *f); });
    frame.commands().bind(cmd::BuzzerTest, [&commands, f] { runBuzzerTest(commands, *f); });
    if (compileRunner != nullptr)
        compileRunner->SetBuzzerTest([&commands, f]() -> std::optional<int> { return runBuzzerTest(commands, *f); });
}

} // namespace qv
