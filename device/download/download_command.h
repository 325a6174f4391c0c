#pragma once
// The two download commands (the menu's and Ctrl+D's): the options, the preparation of the
// application, the panel's busy and device-information queries in the selected device's
// own form, the log line, then the worker.
#include "device/download/download_options.h"
#include "device/download/download_worker.h"
#include "device/tasks/device_command_services.h"

#include <optional>

namespace qv::device {

// What the command needs of the application.
class DownloadCommandHost {
public:
    virtual ~DownloadCommandHost() = default;
    // The options dialog (it rescans the devices and may change the selection); nullopt
    // when cancelled. `preset` holds the command's presets.
    virtual std::optional<DownloadOptionValues> askOptions(const DownloadOptionValues& preset) = 0;
    // Brings the project to the front, stops the simulator's user code and sound.
    virtual void prepare() = 0;
    // The project's part of the job: folder, FDisk files, PLC block.
    virtual void fillJob(DownloadJob& job) = 0;
    // The device information as the panel sent it.
    virtual void storeDeviceInfo(const DeviceInfo&) {}
};

enum class DownloadStart { Cancelled, Refused, Busy, NoDevice, NoReply, Started, NoThread };

// `quick`: Ctrl+D, the dialog confirms itself with the resolution check preset on.
DownloadStart runDownloadCommand(DownloadCommandHost& host, DownloadWorker& worker, const DeviceCommandServices& s,
                                 bool quick);

// The device-information line of the output bar.
std::string deviceInfoLine(const DeviceInfo& info);

} // namespace qv::device
