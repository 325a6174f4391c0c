#include "sim/runtime/sim_runtime.h"

#include <chrono>

#include "compiler/hex/intel_hex.h"
#include "model/app/editor_app.h"
#include "model/app/emulator_flags.h"
#include "model/document/draw_doc.h"
#include "model/vars/hmi_vars.h"
#include "platform/files/atomic_file.h"
#include "platform/files/confined_folder.h"
#include "platform/files/stored_path.h"
#include "sim/plc/protocol_drivers.h"
#include "sim/plc/request_registration.h"
#include "sim/runtime/control_runtime.h"
#include "sim/sound/sound_service.h"
#include "sim/vtf/saved_vars.h"

namespace qv::sim {
namespace {

constexpr const char* kUserCodeFile = "\\MC8051\\MC8051.hex";
constexpr const char* kNoMemory = "计算机内存不足\r\n";
constexpr int kMinCodeBytes = 4;

// The PLC link times of a port: communication delay, time-out, acknowledge delay (5 ms units).
struct PortTimeSlots {
    std::size_t protocol, commDelay, timeout, ackDelay;
};
constexpr PortTimeSlots kPortTimes[2] = {{settings::kProtocol1, settings::kPlcLink1, settings::kPlcLink1 + 4,
                                          settings::kPlcLink1 + 8},
                                         {settings::kProtocol2, settings::kPlcLink2, settings::kPlcLink2 + 4,
                                          settings::kPlcLink2 + 8}};

class SteadyClock final : public MonotonicClock {
public:
    std::int64_t nowMs() const override
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
};


Mc8051PanelContext panelContext(CEditorApp& app)
{
    Mc8051PanelContext context;
    context.live = &app.m_VarMemRun;
    context.displayed = &app.m_VarMem;
    context.memoryDirty = &app.m_bSimRepaint;
    context.timer0Pending = &app.m_nTimer0Pending;
    return context;
}

ControlRunContext runContext(CEditorApp& app)
{
    ControlRunContext ctx;
    ctx.live = &app.m_VarMemRun;
    ctx.displayed = &app.m_VarMem;
    ctx.variable = [&app](std::int32_t row, std::int32_t& address, std::uint8_t& type) {
        GetVariableAddress(app, row, address, type);
    };
    ctx.setInitialValue = [&app](std::int32_t row, std::string text) {
        CDrawDoc* project = app.ProjectDoc();
        if (project && row >= 0 && static_cast<std::size_t>(row) < project->m_varTable.initValue.size())
            project->m_varTable.initValue[static_cast<std::size_t>(row)] = std::move(text);
    };
    ctx.marginX = app.m_nMarginX.load();
    ctx.marginY = app.m_nMarginY.load();
    return ctx;
}

} // namespace

const MonotonicClock& steadyClock()
{
    static const SteadyClock clock;
    return clock;
}

SimRuntime::SimRuntime(CEditorApp& app, const MonotonicClock& clock)
    : app_(app), clock_(clock), panel_(panelContext(app)), plc_(std::make_unique<plc::AppPlcLink>(app, block_)),
      linkRequests_(plc::MakePlcRequests(plc_->links()))
{
    plcRequests_ = linkRequests_.get();
    // Bytes the ports receive reach the user's program through the panel's ring.
    plc_->setRing(&panel_.ring());
    portWriter_ = plc_.get();
    // A file of the project refused by the simulator's services is named in the output bar.
    reporterToken_ = setRefusalReporter([&reports = app_.m_reports](const std::string& line) { reports.appendText(line + "\r\n"); });
}

void SimRuntime::PollPlcPorts() { plc_->poll(clock_.nowMs()); }

void SimRuntime::ReleaseProjectPorts() { plc_->releasePorts(); }

void SimRuntime::OnSerialByte(std::uint8_t byte, int com)
{
    plc::EmulatorGate gate;
    // The CPU exists before the running flag is set, so reading it after the flag is safe.
    gate.running = MC8051Running.load() != 0;
    if (gate.running)
        gate.interruptEnable = InterruptEnable();
    plc_->onSerialByte(byte, com, gate);
}

SimRuntime::~SimRuntime()
{
    StopUserCode();
    clearRefusalReporter(reporterToken_); // unless another runtime installed its own since
}

void SimRuntime::SetPlcRequests(Mc8051PlcRequests* plc) { plcRequests_ = plc ? plc : linkRequests_.get(); }

void SimRuntime::preparePanelServices()
{
    Mc8051PanelContext context = panelContext(app_);
    context.projectDir = app_.m_strProjectDir;
    context.view = view_;
    context.media = media_;
    context.plc = plcRequests_;
    // The project document owns the ports; closing it stops the user code first.
    CDrawDoc* project = app_.ProjectDoc();
    textPorts_ = project ? std::make_unique<ComPortTextPorts>(&project->m_ComPort1, &project->m_ComPort2) : nullptr;
    context.textPorts = textPorts_.get();
    panel_.state().context = std::move(context);
}

void SimRuntime::BeginObjects()
{
    for (auto& table : tables_)
        table.clear();
    registration_.reset();
    objectContext_.reset();
    const CDrawDoc* project = app_.ProjectDoc();
    if (!project)
        return;
    objectContext_ = runContext(app_);
    plc::RegistrationContext& ctx = registration_.emplace();
    for (int port = 0; port < 2; ++port) {
        const PortTimeSlots& slots = kPortTimes[port];
        ctx.ports[static_cast<std::size_t>(port)] = {
            project->SettingI32(slots.protocol), static_cast<std::uint8_t>(project->SettingI32(slots.commDelay)),
            static_cast<std::uint8_t>(project->SettingI32(slots.ackDelay)),
            static_cast<std::uint16_t>(project->SettingI32(slots.timeout))};
    }
    ctx.tables = &tables_;
    ctx.addressOf = [this](std::int32_t row) {
        std::int32_t address = -1;
        std::uint8_t type = 0;
        GetVariableAddress(app_, row, address, type);
        return address;
    };
}

void SimRuntime::RegisterObjectRequests(CDrawObj& obj)
{
    if (registration_)
        plc::RegisterPlcRequests(obj.Kind(), obj.m_Params, *registration_);
}

void SimRuntime::PrepareObject(CDrawObj& obj)
{
    if (objectContext_)
        PrepareRunTime(obj, *objectContext_);
}

void SimRuntime::FinishObjects()
{
    if (objectContext_)
        forEachOpenProjectWindow(app_, [&](CDrawDoc& doc) {
            for (const auto& obj : doc.m_objects)
                FillDemoSamples(*obj, *objectContext_);
        });
    lastAnimateMs_ = -1;
    if (registration_)
        for (const std::string& line : registration_->lines)
            app_.m_reports.appendText(line + "\r\n");
    registration_.reset();
    objectContext_.reset();
}

void SimRuntime::LoadSavedVars() { LoadVarToFlash(app_.m_strProjectDir, 0, app_.m_VarMem, app_.m_VarMemRun); }

void SimRuntime::LoadProtocolDrivers()
{
    const CDrawDoc* project = app_.ProjectDoc();
    plc::DriverSources sources;
    sources.projectDir = app_.m_strProjectDir;
    if (project)
        sources.protocols = {project->SettingI32(settings::kProtocol1), project->SettingI32(settings::kProtocol2)};
    sources.tables = &tables_;
    std::vector<std::string> lines;
    // The links are locked while their records change under them.
    plc_->links().rebuild([&] { lines = plc::LoadProtocolDrivers(sources, block_); });
    for (const std::string& line : lines)
        app_.m_reports.appendText(line + "\r\n");
}

std::vector<std::uint8_t> SimRuntime::ProtocolBlockImage() const { return block_.imageBytes(); }

void SimRuntime::StopUserCode()
{
    CloseSound();
    // The runner's stop sets the stop request and joins: one thread at most, never two.
    runner_.reset();
    MC8051Running = 0;
}

void SimRuntime::RestartUserCode()
{
    StopUserCode();
    app_.m_nTimer0Pending = 0;
    MC8051StopRequest = 0;

    const auto path = resolveStoredPath(app_.m_strProjectDir, kUserCodeFile);
    std::string text;
    if (!path || !readWholeFile(*path, text))
        return;
    auto image = std::make_unique<CodeImage>();
    if (hex::ReadIntelHex(text, *image) < kMinCodeBytes)
        return;
    if (!cpu_)
        cpu_ = std::make_unique<Mc8051Cpu>(app_.m_VarMemRun, &app_.m_bSimRepaint);
    cpu_->loadCode(*image);
    cpu_->powerOn();
    preparePanelServices();
    forgetReportedRefusals(); // each run names what it is refused once
    if (onUserCodeStart)
        onUserCodeStart();
    runner_ = std::make_unique<Mc8051Runner>(*cpu_, *services_, &app_.m_nTimer0Pending);
    try {
        if (runner_->start())
            return;
    } catch (const std::system_error&) {
    }
    runner_.reset();
    MC8051Running = 0;
    app_.m_reports.appendText(kNoMemory);
}

template <class Fn>
void SimRuntime::forShownObjects(Fn&& fn)
{
    CDrawDoc* doc = app_.FindCurrentSubWindowDoc();
    if (!doc)
        doc = app_.FindCurrentScreenDoc();
    if (!doc)
        return;
    for (const auto& obj : doc->m_objects)
        fn(*obj);
}

void SimRuntime::AnimateObjects()
{
    const std::int64_t now = clock_.nowMs();
    const std::int64_t elapsed = lastAnimateMs_ < 0 ? 0 : now - lastAnimateMs_;
    lastAnimateMs_ = now;
    const ControlRunContext ctx = runContext(app_);
    bool changed = false;
    forShownObjects([&](CDrawObj& obj) { changed = StepAnimation(obj, ctx, elapsed) || changed; });
    if (changed)
        app_.m_bSimRepaint = 1;
}

void SimRuntime::BlinkInputCaret()
{
    bool changed = false;
    forShownObjects([&](CDrawObj& obj) { changed = ToggleCaret(obj, app_.m_ptCaret.x, app_.m_ptCaret.y) || changed; });
    if (changed)
        app_.m_bSimRepaint = 1;
}

} // namespace qv::sim
