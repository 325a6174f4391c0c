// The simulation rebuild, in its fixed order: the request tables, the run-time input, the
// copy protocol's range, the variable memory with the controls' start values, the saved
// variables, the shown windows and, on a start request, the PLC drivers and the user code.
// What belongs to the simulator run time goes through the installed SimulationServices.
#include "model/app/editor_app.h"
#include "model/vars/hmi_vars.h"
#include "model/vars/system_vars.h"

#include <optional>

namespace qv {
namespace {

constexpr int kProtocolCopy = 12;
constexpr int kCopyFrameExtra = 24;
constexpr int kTimer0StartPeriodMs = 50;
constexpr std::size_t kTouchCalibrationRequest = 41;

// A copy protocol whose own range leaves the used memory copies the whole used memory.
void fitCopyRange(CEditorApp& app, CDrawDoc& project)
{
    const std::size_t protocolSlots[2] = {settings::kProtocol1, settings::kProtocol2};
    const std::size_t lengthSlots[2] = {settings::kProtocolParam1, settings::kProtocolParam2};
    // The used memory walks every object: only worked out for a port that copies.
    std::optional<std::int64_t> usedExtent;
    for (int port = 0; port < 2; ++port) {
        if (project.SettingI32(protocolSlots[port]) != kProtocolCopy)
            continue;
        if (!usedExtent)
            usedExtent = GetVariableMemorySize(app) / 2;
        const std::int64_t extent = *usedExtent;
        const bool custom = project.SettingI32(settings::kCopyCustomRange) != 0;
        const std::int64_t start = project.SettingI32(settings::kCopyStart);
        const std::int64_t length = project.SettingI32(settings::kCopyLength);
        if (custom && start >= 0 && length >= 0 && start + length <= extent)
            continue;
        if (custom)
            project.SetSettingI32(settings::kCopyStart, 0);
        project.SetSettingI32(settings::kCopyCustomRange, 0);
        project.SetSettingI32(settings::kCopyLength, static_cast<std::int32_t>(extent));
        project.SetSettingI32(lengthSlots[port], static_cast<std::int32_t>(extent + kCopyFrameExtra));
    }
}

} // namespace

void CEditorApp::ResetRunInputState()
{
    m_pInputTarget = nullptr;
    m_szKeypadText.fill(0);
    m_nKeypadLength = 0;
    m_nIdleTicks = 0;
}

void CEditorApp::ResetTextEntryState()
{
    m_bCapsLock = 0;
    m_bInsertMode = 0;
    m_bShiftLatch = 0;
    m_bPinyinMode = 0;
    m_szPinyin.fill(0);
    m_pPinyinCandidates = nullptr;
    m_nPinyinPage = 0;
}

void CEditorApp::RequestSimulationRebuild()
{
    if (!m_deferRebuild) {
        RebuildSimulation();
        return;
    }
    if (m_bRebuildPending)
        return;
    m_bRebuildPending = true;
    m_deferRebuild([this] {
        if (m_bRebuildPending)
            RebuildSimulation();
    });
}

void CEditorApp::SetRebuildDeferral(std::function<void(std::function<void()>)> defer)
{
    m_deferRebuild = std::move(defer);
    if (m_bRebuildPending)
        RebuildSimulation();
}

void CEditorApp::RebuildSimulation()
{
    m_bRebuildPending = false;
    m_nSerialOption = 1;
    if (m_simulation)
        m_simulation->BeginObjects();

    CDrawDoc* project = ProjectDoc();
    ResetRunInputState();
    if (project) {
        project->m_nUserLevel = 0;
        for (std::size_t i = 1; i <= 3; ++i)
            project->m_TouchCalibration[i] = 0;
        // The power-up calibration check of the settings page asks for the touch calibration
        // at the start of every run.
        project->m_TouchCalibration[kTouchCalibrationRequest] =
            project->SettingI32(settings::kNoPowerUpCalibration) != 0 ? 1 : 0;
        fitCopyRange(*this, *project);
    }
    m_AutoRefresh = 1;
    m_strSimScreen.clear();
    m_strSimSubWindow.clear();
    m_strSimSysWindow.clear();

    const bool start = m_bLoadSavedVars.load() != 0;
    RebuildObjectSteps steps;
    if (SimulationServices* simulation = m_simulation) {
        steps.before = [simulation](CDrawObj& obj) { simulation->RegisterObjectRequests(obj); };
        steps.after = [simulation](CDrawObj& obj) { simulation->PrepareObject(obj); };
    }
    const RebuildReport report = RebuildSimulationMemory(
        *this,
        [&] {
            if (m_simulation)
                m_simulation->FinishObjects();
            if (start && m_simulation)
                m_simulation->LoadSavedVars();
        },
        steps);
    for (const std::string& line : report.skipped)
        m_reports.appendText(line + "\r\n");
    ResetTextEntryState();

    if (!start)
        return;
    m_bLoadSavedVars = 0;
    m_nTimer0Pending = 0;
    m_nTimer0Request = kTimer0StartPeriodMs;
    m_nTimer0Period = kTimer0StartPeriodMs;
    if (!m_simulation)
        return;
    m_simulation->LoadProtocolDrivers();
    m_simulation->RestartUserCode();
}

void CEditorApp::LoadProtocolDrivers()
{
    if (m_simulation)
        m_simulation->LoadProtocolDrivers();
}

std::vector<std::uint8_t> CEditorApp::ProtocolBlockImage() const
{
    return m_simulation ? m_simulation->ProtocolBlockImage() : std::vector<std::uint8_t>{};
}

void CEditorApp::SyncScreenVariables()
{
    const struct {
        SystemVar var;
        void (*changed)(CEditorApp&);
    } kSwitches[] = {{SystemVar::HuaMian, OnScreenVarChanged}, {SystemVar::ChildWindow, OnSubWindowVarChanged}};
    for (const auto& s : kSwitches) {
        const auto address = SystemVarAddress(*this, s.var, 1);
        if (!address)
            continue;
        const auto live = m_VarMemRun.readByte(*address);
        if (!live || m_VarMem.readByte(*address) == live)
            continue;
        m_VarMem.writeByte(*address, *live);
        s.changed(*this);
    }
}

void CEditorApp::AnimateObjects()
{
    if (m_simulation)
        m_simulation->AnimateObjects();
}

void CEditorApp::BlinkInputCaret()
{
    if (m_simulation)
        m_simulation->BlinkInputCaret();
}

} // namespace qv
