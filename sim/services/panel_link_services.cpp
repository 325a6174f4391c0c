// Services of the 8051 program that reach other parts of the simulator: the run-mode view
// (refresh, timer 0), the text-output buffers, the saved-variables file, sound and pictures,
// and the PLC links' write requests.
#include "model/app/emulator_flags.h"
#include "model/app/emulator_paint_gate.h"
#include "sim/services/mc8051_request.h"
#include "sim/services/panel_service_state.h"
#include "sim/vtf/saved_vars.h"

namespace qv::sim {
namespace {

void appendText(PanelServiceState& state, int buffer, std::uint8_t byte)
{
    TextOutBuffer& out = state.text[static_cast<std::size_t>(buffer)];
    if (out.length < TextOutBuffer::kSize)
        out.bytes[static_cast<std::size_t>(out.length++)] = byte;
    out.lastAppend = state.pass;
}

// Port value 1 is link 1; any other value is link 2.
int linkOfPort(std::uint8_t port) { return port == 1 ? 1 : 2; }

} // namespace

void ServeRefreshMode(PanelServiceState& state, Mc8051Request& request)
{
    Mc8051ViewLink* view = state.context.view;
    const bool wait = request.c1() == 1;
    if (view)
        view->setAutoRefresh(wait);
    if (!wait)
        return;
    EmulatorPaintGate& gate = state.context.paintGate ? *state.context.paintGate : MC8051PaintGate();
    gate.waitForPaint([view] { return view && view->requestRunModePaint(); }, MC8051StopRequest);
}

void ServeTimer0Period(PanelServiceState& state, Mc8051Request& request)
{
    if (state.context.timer0Pending)
        state.context.timer0Pending->store(0);
    if (state.context.view)
        state.context.view->setTimer0Period(request.p1());
}

void ServeTextToPort1(PanelServiceState& state, Mc8051Request& request) { appendText(state, 0, request.c1()); }
void ServeTextToPort2(PanelServiceState& state, Mc8051Request& request) { appendText(state, 1, request.c1()); }

void ServeSaveVariables(PanelServiceState& state, Mc8051Request& request)
{
    const std::uint8_t slot = request.c1();
    if (slot == 0 || !state.context.live)
        return;
    request.setC1(SaveVarToFlash(state.context.projectDir, slot, request.p1(), request.p2(), *state.context.live) ? 1 : 0);
}

void ServeLoadVariables(PanelServiceState& state, Mc8051Request& request)
{
    const auto& c = state.context;
    const bool loaded = c.live && c.displayed && LoadVarToFlash(c.projectDir, request.c1(), *c.displayed, *c.live);
    request.setC1(loaded ? 1 : 0);
}

void ServeSound(PanelServiceState& state, Mc8051Request& request)
{
    if (!state.context.media)
        return;
    const bool progress = request.c1() == 3;
    const bool changed = state.context.media->serveSound(request);
    if ((progress || changed) && state.context.memoryDirty)
        state.context.memoryDirty->store(1);
}

void ServePicture(PanelServiceState& state, Mc8051Request& request)
{
    if (state.context.media && state.context.media->servePicture(request) && state.context.memoryDirty)
        state.context.memoryDirty->store(1);
}

void ServePlcWrite(PanelServiceState& state, Mc8051Request& request)
{
    Mc8051PlcRequests* plc = state.context.plc;
    const bool queued = plc && plc->QueueSerialWrite(linkOfPort(request.c1()), request.byte(0xC2), request.byte(0xC3),
                                                     request.p2(), request.p3());
    request.setC1(queued ? 1 : 0);
}

void ServePlcBusy(PanelServiceState& state, Mc8051Request& request)
{
    Mc8051PlcRequests* plc = state.context.plc;
    request.setC1(plc && plc->IsSerialRequestBusy(linkOfPort(request.c1())) ? 1 : 0);
}

} // namespace qv::sim
