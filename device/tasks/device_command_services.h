#pragma once
// What the device commands use: where panels come from, the application's list, the clocks
// of their waits and where they report. Reports go through the queue, so the commands run
// on a worker and the GUI thread shows their lines and message boxes.
#include "device/link/wait_clock.h"
#include "model/app/usb_device_list.h"
#include "model/vars/panel_clock.h"
#include "platform/report/report_queue.h"
#include "platform/usb/usb_host.h"

#include <functional>
#include <string>

namespace qv::device {

struct DeviceCommandServices {
    usb::UsbHost* host = nullptr;
    UsbDeviceList* list = nullptr;
    WaitClock* wait = &SteadyWaitClock::instance();
    const WallClock* wall = &SystemWallClock::instance();
    ReportQueue* reports = nullptr;
    // Shows a message box; called on the thread that drains the queue.
    std::function<void(const std::string& gbk)> messageBox;

    void output(const std::string& gbk) const;
    void message(const std::string& gbk) const; // posted to the queue
};

} // namespace qv::device
