#pragma once
// The simulator run time behind the application's SimulationServices: the PLC protocol block
// and the request tables, the controls' run-time state, and the user code's emulator (one
// runner thread at most: a restart joins the old thread before the new one starts).
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "model/app/simulation_services.h"
#include "sim/mc8051/mc8051_cpu.h"
#include "sim/mc8051/mc8051_runner.h"
#include "sim/plc/plc_block.h"
#include "sim/plc/request_registration.h"
#include "sim/runtime/control_runtime.h"
#include "sim/plc/plc_app_link.h"
#include "sim/plc/mc8051_plc_requests.h"
#include "sim/services/com_port_text.h"
#include "sim/services/panel_services.h"

namespace qv {
class CEditorApp;
}

namespace qv::sim {

class PortWriter;

// Milliseconds of a monotonic clock; tests pass their own.
class MonotonicClock {
public:
    virtual ~MonotonicClock() = default;
    virtual std::int64_t nowMs() const = 0;
};
const MonotonicClock& steadyClock();

class SimRuntime final : public SimulationServices {
public:
    explicit SimRuntime(CEditorApp& app, const MonotonicClock& clock = steadyClock());
    ~SimRuntime() override;
    SimRuntime(const SimRuntime&) = delete;
    SimRuntime& operator=(const SimRuntime&) = delete;

    void BeginObjects() override;
    void RegisterObjectRequests(CDrawObj& obj) override;
    void PrepareObject(CDrawObj& obj) override;
    void FinishObjects() override;
    void LoadSavedVars() override;
    void LoadProtocolDrivers() override;
    std::vector<std::uint8_t> ProtocolBlockImage() const override;
    void RestartUserCode() override;
    void StopUserCode() override;
    void AnimateObjects() override;
    void BlinkInputCaret() override;
    void OnSerialByte(std::uint8_t byte, int com) override;
    void PollPlcPorts() override;
    void ReleaseProjectPorts() override;

    plc::PlcProtocolBlock& Block() { return block_; }
    std::array<plc::PlcRequestTable, 2>& RequestTables() { return tables_; }
    // What the panel offers the emulator (serial ring, services); the next restart takes it.
    // By default the panel's own services, whose serial ring the ports' received pairs go to;
    // each start points them at the open project (folder, ports) and the seams set below.
    // Null returns to them.
    void SetEmulatorServices(Mc8051Services* services) { services_ = services ? services : &panel_; }
    // The seams of the panel's services; null: the service does nothing (the PLC requests
    // go to the PLC links). Set them while no user code runs; the next start takes them.
    void SetViewLink(Mc8051ViewLink* view) { view_ = view; }
    Mc8051ViewLink* GetViewLink() const { return view_; }
    void SetMediaServices(Mc8051MediaServices* media) { media_ = media; }
    // Where a port of the touch-controller protocol sends its bytes (a monitor thread calls
    // it); null drops them.
    void SetTouchSink(plc::TouchByteSink* sink) { plc_->setTouchSink(sink); }
    void SetPlcRequests(Mc8051PlcRequests* plc);
    // Called on every start of the user code, before its thread runs (the sound service
    // takes the project's folder here).
    std::function<void()> onUserCodeStart;
    // Plays "images\Sound\蜂鸣器.wav" once per run-mode press (null: silent).
    std::function<void()> keyClick;
    // Where run-time variable changes go: the PLC links unless another writer is installed
    // (null: nowhere).
    void SetPortWriter(PortWriter* writer) { portWriter_ = writer; }
    PortWriter* GetPortWriter() const { return portWriter_; }
    // True while a runner thread exists (joined or not).
    bool HasUserCodeThread() const { return runner_ && runner_->joinable(); }
    // The emulated interrupt-enable register (0 without user code).
    std::uint8_t InterruptEnable() const { return cpu_ ? cpu_->interruptEnable() : 0; }

private:
    // The objects of the shown ordinary sub-window, else of the current screen.
    template <class Fn>
    void forShownObjects(Fn&& fn);

    CEditorApp& app_;
    const MonotonicClock& clock_;
    plc::PlcProtocolBlock block_;
    std::array<plc::PlcRequestTable, 2> tables_;
    // The rebuild's walk in progress: the registration (none without a project) and the
    // controls' run context.
    std::optional<plc::RegistrationContext> registration_;
    std::optional<ControlRunContext> objectContext_;
    // Points the panel's services at the open project and the seams.
    void preparePanelServices();

    Mc8051PanelServices panel_;
    Mc8051Services* services_ = &panel_;
    Mc8051ViewLink* view_ = nullptr;
    Mc8051MediaServices* media_ = nullptr;
    Mc8051PlcRequests* plcRequests_ = nullptr;
    std::unique_ptr<ComPortTextPorts> textPorts_;
    std::unique_ptr<Mc8051Cpu> cpu_;
    std::unique_ptr<Mc8051Runner> runner_;
    std::int64_t lastAnimateMs_ = -1;
    std::unique_ptr<plc::AppPlcLink> plc_;
    // The user program's PLC requests served by the links (the default of SetPlcRequests).
    std::unique_ptr<Mc8051PlcRequests> linkRequests_;
    PortWriter* portWriter_ = nullptr;
    std::uint64_t reporterToken_ = 0; // the refusal reporter this runtime installed
};

} // namespace qv::sim
