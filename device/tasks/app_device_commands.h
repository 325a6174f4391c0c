#pragma once
// The device commands of CEditorApp: the scan and the choice of a device happen where the
// command is given (the GUI thread, which shows the choice), the exchange on the command
// worker with the device chosen then.
#include "device/tasks/device_command_services.h"
#include "device/tasks/device_command_thread.h"
#include "device/tasks/device_commands.h"
#include "model/app/device_commands.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace qv {
class CEditorApp;
}

namespace qv::device {

class AppDeviceCommands final : public DeviceCommands {
public:
    // `choose` runs the device choice when a scan finds two or more panels.
    AppDeviceCommands(CEditorApp& app, DeviceCommandServices services,
                      std::function<void(UsbDeviceList&)> choose);
    ~AppDeviceCommands() override;

    void SyncPanelClock() override;
    int TestFlash() override; // on the calling thread (the download worker)
    void ClearFlashProject() override;
    // The buzzer dialog's trial on the device chosen when the dialog opened.
    void Beep(std::uint32_t coefficient);

    // EnumDevicesAndSelect with the notes in the output bar.
    void EnumDevicesAndSelect();
    DeviceCommandThread& worker() { return worker_; }
    const DeviceCommandServices& services() const { return services_; }

private:
    // The scan and the choice here, then the exchange on the worker.
    void scanThenExchange(std::function<void(const Device&, const DeviceCommandServices&)> exchange);
    void startExchange(std::function<void(const Device&, const DeviceCommandServices&)> exchange);
    CEditorApp& app_;
    DeviceCommandServices services_;
    std::function<void(UsbDeviceList&)> choose_;
    DeviceCommandThread worker_;
};

} // namespace qv::device
