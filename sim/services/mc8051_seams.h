#pragma once
// What the 8051 program's services need from the rest of the simulator. Each is an interface
// its owner implements: the run-mode view, the sound and picture services, the PLC links and
// the project document's ports. A missing one (null) makes its services do nothing.
#include <cstdint>
#include <span>

namespace qv::sim {

class Mc8051Request;

// The run-mode view.
class Mc8051ViewLink {
public:
    virtual ~Mc8051ViewLink() = default;
    // Service 1: whether each paint first copies the live bank over the displayed one.
    virtual void setAutoRefresh(bool on) = 0;
    // Posts a repaint of the run-mode view that shows the live bank and then calls
    // MC8051PaintGate().paintDone(). False when no run-mode view is shown (nothing will paint).
    virtual bool requestRunModePaint() = 0;
    // Service 3: the period in ms timer 0 restarts with at its next tick.
    virtual void setTimer0Period(int milliseconds) = 0;
};

// Sound (service 65), picture (service 97), the per-pass sound progress and the close.
// All run on the emulator thread.
class Mc8051MediaServices {
public:
    virtual ~Mc8051MediaServices() = default;
    // Each answers in the request and returns true when it changed the variable memory.
    virtual bool serveSound(Mc8051Request& request) = 0;
    virtual bool servePicture(Mc8051Request& request) = 0;
    // While true the loop calls checkSoundProgress every kSoundCheckPasses passes with the
    // number of passes since the last call: a status query per instruction would slow a
    // speaking program down to a crawl.
    static constexpr std::uint64_t kSoundCheckPasses = 4096;
    virtual bool soundInProgress() const = 0;
    virtual void checkSoundProgress(std::uint64_t passes) = 0;
    // The run's last act, and what simulation start, compile and download call.
    virtual void CloseSound() = 0;
};

// The PLC links' run-time write requests. `link` is 1 (serial port 1) or 2 (serial port 2).
class Mc8051PlcRequests {
public:
    virtual ~Mc8051PlcRequests() = default;
    // Queues a write of `count` registers from the variable memory at `memoryAddress` to the
    // station's `registerAddress` in the link's request slot, marked with the link number,
    // with the port's time-out and delays. False when the slot is busy or the port's protocol
    // is not Modbus RTU master.
    virtual bool QueueSerialWrite(int link, std::uint8_t station, std::uint8_t count, std::uint16_t registerAddress,
                                  std::uint16_t memoryAddress) = 0;
    virtual bool IsSerialRequestBusy(int link) = 0;
};

// Where the text the program prints (services 5 and 6) is sent: port 1 or 2.
class Mc8051TextPorts {
public:
    virtual ~Mc8051TextPorts() = default;
    virtual void writeText(int port, std::span<const std::uint8_t> bytes) = 0;
};

} // namespace qv::sim
