#include "device/tasks/device_commands.h"

#include "device/commands/panel_commands.h"
#include "device/link/panel_connection.h"
#include "device/tasks/device_texts.h"

#include <memory>

namespace qv::device {
namespace {

enum class OpenFail { Line, Message };

// Opens the command's device, or reports why not: a device held by an operation is
// refused; one that does not open is "USB未连接" as a line or a message box.
std::unique_ptr<PanelConnection> openFor(const Device& device, const DeviceCommandServices& s, OpenFail how)
{
    if (device && s.list != nullptr && s.list->IsHeld(*device)) {
        s.output(text::kDeviceHeld);
        return nullptr;
    }
    std::string why;
    std::unique_ptr<PanelConnection> c;
    if (device && s.host != nullptr)
        c = PanelConnection::open(*s.host, *device, &why);
    if (!c) {
        if (how == OpenFail::Line)
            s.output(text::kUsbNotConnected);
        else
            s.message(text::kUsbNotConnected);
        if (!why.empty())
            s.output(device->node + ": " + why + "\r\n");
    }
    return c;
}

} // namespace

void SyncPanelClockWith(const Device& device, const DeviceCommandServices& s)
{
    // The panel never gets a second above 58: from :58 on, sleep into the next minute.
    std::int64_t now = s.wall->localSeconds();
    for (PanelTime t = panelTimeFromSeconds(now); t.second > 57; t = panelTimeFromSeconds(now)) {
        s.wait->sleepFor(std::chrono::seconds(60 - t.second));
        now = s.wall->localSeconds();
    }
    auto c = openFor(device, s, OpenFail::Line);
    if (!c)
        return;
    const bool sent = SendPanelClock(c->framing(), panelTimeFromSeconds(now));
    c.reset();
    s.message(sent ? text::kClockSynced : text::kUsbError);
}

bool TestFlashOn(PanelFraming& link, const DeviceCommandServices& s)
{
    if (RunFlashTest(link, *s.wait) == 1) {
        s.output(text::kFlashOkLine);
        return true;
    }
    s.message(text::kFlashFailed);
    return false;
}

bool TestFlashWith(const Device& device, const DeviceCommandServices& s)
{
    auto c = openFor(device, s, OpenFail::Line);
    return c && TestFlashOn(c->framing(), s);
}

void ClearFlashProjectWith(const Device& device, const DeviceCommandServices& s)
{
    if (TestFlashWith(device, s))
        s.message(text::kFlashOk);
}

void BeepWith(const Device& device, std::uint32_t coefficient, const DeviceCommandServices& s)
{
    auto c = openFor(device, s, OpenFail::Message);
    if (c && !SendBuzzerCoefficient(c->framing(), coefficient))
        s.message(text::kUsbError);
}

} // namespace qv::device
