#include "device/tasks/device_command_services.h"

namespace qv::device {

void DeviceCommandServices::output(const std::string& gbk) const
{
    if (reports != nullptr)
        reports->appendText(gbk);
}

void DeviceCommandServices::message(const std::string& gbk) const
{
    if (reports != nullptr && messageBox)
        reports->post(ReportCall{[show = messageBox, gbk] { show(gbk); }});
}

} // namespace qv::device
