#include "sim/plc/plc_app_link.h"

#include "model/app/editor_app.h"
#include "model/document/draw_doc.h"
#include "model/params/block_bytes.h"
#include "model/vars/hmi_vars.h"
#include "model/vars/system_vars.h"
#include "config/settings/com_set_page.h"

namespace qv::sim::plc {
namespace {

constexpr const char* kNoResponseWindow[2] = {"串口1无响应.dlg", "串口2无响应.dlg"};
constexpr int kUploadOnHmiChange = 4;

} // namespace

AppPlcLink::AppPlcLink(CEditorApp& app, PlcProtocolBlock& block)
    : app_(app), links_(block, app.m_VarMemRun, app.m_VarMem, io_, *this)
{
}

void AppPlcLink::refreshSettings()
{
    CDrawDoc* project = app_.ProjectDoc();
    PlcSettings s = links_.settings();
    if (!project) {
        s.ports = {};
        s.connected = {false, false};
        releasePorts();
        links_.setSettings(s);
        return;
    }
    s.ports[0] = {project->SettingI32(settings::kProtocol1), project->SettingI32(settings::kProtocolParam1),
                  project->m_serial.station1};
    s.ports[1] = {project->SettingI32(settings::kProtocol2), project->SettingI32(settings::kProtocolParam2),
                  project->m_serial.station2};
    s.com = {project->m_serial.com1, project->m_serial.com2};
    s.connected = {project->m_bPort1Connected != 0, project->m_bPort2Connected != 0};
    s.uploadOnChange = project->SettingI32(settings_page::kUploadModeOffset) == kUploadOnHmiChange;
    s.silentAtZero = project->SettingI32(settings::kNoCommAtSlaveZero) != 0;
    s.dynamicStation = project->SettingI32(settings::kDynamicSlaveAddress) != 0;
    s.stationOffset = project->SettingI32(settings::kSlaveAddressOffset);
    const auto u16 = [&](std::size_t at) {
        return static_cast<std::uint16_t>(blockReadU(project->m_ProjectSettings, static_cast<int>(at), 2));
    };
    s.slaveHmiBase = u16(settings::kSlaveHmiStart);
    s.slaveRegisterBase = u16(settings::kSlaveRegisterStart);
    s.singleRegisterFunction6 = (app_.m_nSerialOption.load() & 1) != 0;
    s.switchAddresses = {SystemVarAddress(app_, SystemVar::HuaMian, 1).value_or(-1),
                         SystemVarAddress(app_, SystemVar::ChildWindow, 1).value_or(-1)};
    io_.setPort(1, s.connected[0] ? &project->m_ComPort1 : nullptr);
    io_.setPort(2, s.connected[1] ? &project->m_ComPort2 : nullptr);
    links_.setSettings(s);
    screen_.store(FindWindowIndex(app_, app_.m_strSimScreen));
}

void AppPlcLink::releasePorts()
{
    io_.setPort(1, nullptr);
    io_.setPort(2, nullptr);
}

void AppPlcLink::poll(std::int64_t nowMs)
{
    refreshSettings();
    links_.tick(nowMs, screen_.load());
}

void AppPlcLink::onSerialByte(std::uint8_t byte, int com, EmulatorGate gate)
{
    DispatchSerialByte(links_, ring_.load(), gate, byte, com);
}

int AppPlcLink::currentScreen() const { return screen_.load(); }

void AppPlcLink::OnVarWrite(std::int64_t address, std::uint32_t length, std::span<const std::uint8_t> data)
{
    links_.onVarWrite(address, length, data, currentScreen());
}

void AppPlcLink::noResponse(int link, bool show)
{
    // The tick runs on the GUI thread, which owns the shown-window strings.
    const std::string name = kNoResponseWindow[link == 2 ? 1 : 0];
    if (show) {
        if (FindWindowIndex(app_, name) == 0xFF)
            return;
        app_.m_strSimSysWindow = name;
    } else if (app_.m_strSimSysWindow == name) {
        app_.m_strSimSysWindow.clear();
    } else {
        return;
    }
    app_.m_szKeypadText.fill(0);
    app_.m_nKeypadLength = 0;
    app_.m_bSimRepaint = 1;
}

void AppPlcLink::panelWrite(int, std::uint32_t, std::uint32_t)
{
    // The next paint on the GUI thread compares m_HuaMian / m_ChildWindow and switches.
    app_.m_bSimRepaint = 1;
}

void AppPlcLink::touchByte(std::uint8_t byte)
{
    if (TouchByteSink* sink = touch_.load())
        sink->touchByte(byte);
}

void AppPlcLink::reportLine(std::string line) { app_.m_reports.appendText(line + "\r\n"); }

} // namespace qv::sim::plc
