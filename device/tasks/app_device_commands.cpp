#include "device/tasks/app_device_commands.h"

#include "device/list/device_scan.h"
#include "device/list/ezusb_ids.h"
#include "device/tasks/device_commands.h"
#include "device/tasks/device_texts.h"
#include "model/app/editor_app.h"

namespace qv::device {

AppDeviceCommands::AppDeviceCommands(CEditorApp& app, DeviceCommandServices services,
                                     std::function<void(UsbDeviceList&)> choose)
    : app_(app), services_(std::move(services)), choose_(std::move(choose))
{
    services_.list = &app_.m_UsbDevices;
    if (services_.reports == nullptr)
        services_.reports = &app_.m_reports;
    app_.SetDeviceCommands(this);
}

AppDeviceCommands::~AppDeviceCommands()
{
    if (app_.GetDeviceCommands() == this)
        app_.SetDeviceCommands(nullptr);
    worker_.join();
}

void AppDeviceCommands::EnumDevicesAndSelect()
{
    const ScanNotes notes =
        device::EnumDevicesAndSelect(*services_.host, app_.m_UsbDevices, EzUsbPanelIds(), choose_);
    for (const std::string& line : notes.lines)
        services_.output(line);
}

void AppDeviceCommands::startExchange(std::function<void(const Device&, const DeviceCommandServices&)> exchange)
{
    const Device device = app_.m_UsbDevices.Selected();
    if (!worker_.start([device, exchange = std::move(exchange), s = services_] { exchange(device, s); }))
        services_.output(text::kCommandRunning);
}

void AppDeviceCommands::scanThenExchange(std::function<void(const Device&, const DeviceCommandServices&)> exchange)
{
    if (worker_.running()) {
        services_.output(text::kCommandRunning);
        return;
    }
    EnumDevicesAndSelect();
    startExchange(std::move(exchange));
}

void AppDeviceCommands::SyncPanelClock()
{
    scanThenExchange(SyncPanelClockWith);
}

int AppDeviceCommands::TestFlash()
{
    return TestFlashWith(app_.m_UsbDevices.Selected(), services_) ? 1 : 0;
}

void AppDeviceCommands::ClearFlashProject()
{
    scanThenExchange(ClearFlashProjectWith);
}

void AppDeviceCommands::Beep(std::uint32_t coefficient)
{
    startExchange([coefficient](const Device& d, const DeviceCommandServices& s) { BeepWith(d, coefficient, s); });
}

} // namespace qv::device
