#pragma once
// The PLC links joined to the application: settings and ports from the project document, the
// tick on the view's timers, received bytes from the ports' monitor threads, run-time changes
// through the port writer, and the no-response windows. GUI work of the monitor threads (a
// panel write that changes the shown screen) goes to the GUI thread as a repaint request,
// whose paint switches the screen (CEditorApp::SyncScreenVariables).
#include <atomic>
#include <memory>

#include "sim/plc/com_port_io.h"
#include "sim/plc/plc_links.h"
#include "sim/plc/serial_dispatch.h"
#include "sim/plc/touch_byte_sink.h"
#include "sim/runtime/var_write.h"

namespace qv {
class CEditorApp;
}

namespace qv::sim::plc {

class AppPlcLink final : public PlcEvents, public PortWriter {
public:
    AppPlcLink(CEditorApp& app, PlcProtocolBlock& block);

    PlcLinks& links() { return links_; }
    ComPortIo& ports() { return io_; }

    // GUI thread: the project's settings and connected ports taken again, then one tick.
    void refreshSettings();
    // The project's ports are going: the links write to none until the next refresh.
    void releasePorts();
    void poll(std::int64_t nowMs);
    // Monitor threads: a received byte of COM `com`.
    void onSerialByte(std::uint8_t byte, int com, EmulatorGate gate);
    // The ring the user's program reads (null: none).
    void setRing(SerialRxRing* ring) { ring_.store(ring); }
    // Null: touch bytes are dropped. Clear it before the sink goes.
    void setTouchSink(TouchByteSink* sink) { touch_.store(sink); }

    // PortWriter
    void OnVarWrite(std::int64_t address, std::uint32_t length, std::span<const std::uint8_t> data) override;
    // PlcEvents
    void noResponse(int link, bool show) override;
    void panelWrite(int link, std::uint32_t address, std::uint32_t length) override;
    void reportLine(std::string line) override;
    void touchByte(std::uint8_t byte) override;

private:
    int currentScreen() const;

    CEditorApp& app_;
    ComPortIo io_;
    PlcLinks links_;
    std::atomic<SerialRxRing*> ring_{nullptr};
    std::atomic<TouchByteSink*> touch_{nullptr};
    std::atomic<int> screen_{0xFF};
};

} // namespace qv::sim::plc
