#include "sim/runtime/run_timers.h"

#include <algorithm>

#include "model/app/editor_app.h"
#include "model/document/draw_doc.h"
#include "model/project/system_windows.h"
#include "model/vars/hmi_vars.h"
#include "model/vars/system_vars.h"
#include "sim/vtf/saved_vars.h"

namespace qv::sim {
namespace {

constexpr std::uint8_t kTimer0Enable = 0x82; // EA + ET0
constexpr std::string_view kClockSettingScreen = syswin::SystemSettings;

} // namespace

RunTimers::RunTimers(CEditorApp& app, const MonotonicClock& clock)
    : app_(app), clock_(clock), lastInputMs_(clock.nowMs())
{
}

void RunTimers::InputSeen()
{
    lastInputMs_ = clock_.nowMs();
    app_.m_nIdleTicks = 0;
}

std::optional<int> RunTimers::Timer0Tick()
{
    const int asked = app_.m_nTimer0Request.load();
    if (asked != app_.m_nTimer0Period.load()) {
        app_.m_nTimer0Period = asked;
        app_.m_nTimer0Pending = 0;
        return std::max(asked, kTimer0FastestMs);
    }
    const std::uint8_t ie = interruptEnable ? interruptEnable() : 0;
    if ((ie & kTimer0Enable) == kTimer0Enable)
        ++app_.m_nTimer0Pending;
    else
        app_.m_nTimer0Pending = 0;
    return std::nullopt;
}

bool RunTimers::Timer1Tick()
{
    app_.AnimateObjects();
    const bool repaint = app_.m_bSimRepaint.exchange(0) != 0;
    const CDrawDoc* project = app_.ProjectDoc();
    if (!project || project->SettingI32(settings::kIdleReturnOn) == 0)
        return repaint;
    const std::int64_t now = clock_.nowMs();
    const std::int64_t seconds = std::max(0, project->SettingI32(settings::kIdleReturnSeconds));
    if (now - lastInputMs_ < seconds * 1000)
        return repaint;
    lastInputMs_ = now;
    const auto address = SystemVarAddress(app_, SystemVar::HuaMian, 1);
    if (!address)
        return repaint;
    const auto screen = static_cast<std::uint8_t>(project->SettingI32(settings::kIdleReturnScreen));
    app_.m_VarMemRun.writeByte(*address, screen);
    if (app_.m_VarMem.readByte(*address) != screen) {
        app_.m_VarMem.writeByte(*address, screen);
        OnScreenVarChanged(app_);
        return true;
    }
    return repaint;
}

bool RunTimers::Timer2Tick()
{
    if (const CDrawDoc* project = app_.ProjectDoc()) {
        const std::int32_t start = project->SettingI32(settings::kPromRamStart);
        const std::int32_t length = project->SettingI32(settings::kPromRamLength);
        if (length != 0 && start >= 0)
            SaveVarToFlash(app_.m_strProjectDir, 0, start, length, app_.m_VarMemRun);
    }
    if (app_.m_strSimScreen == kClockSettingScreen)
        return false;
    WriteClockVariables(app_, app_.m_PanelClock.now());
    return true;
}

void RunTimers::Timer3Tick()
{
    app_.BlinkInputCaret();
    app_.PollPlcPorts();
}

void RunTimers::Timer5Tick() { app_.PollPlcPorts(); }

} // namespace qv::sim
