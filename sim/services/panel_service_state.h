#pragma once
// What the 8051 program's service routines share: the simulator's parts they reach, the two
// text-output buffers and the loop pass being served.
#include <array>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <span>

#include "model/vars/var_bank.h"
#include "sim/disk/simulated_disks.h"
#include "sim/services/mc8051_seams.h"

namespace qv {
class EmulatorPaintGate;
}

namespace qv::sim {

class Mc8051Request;

struct Mc8051PanelContext {
    VarBank* live = nullptr;      // the emulator's external data
    VarBank* displayed = nullptr; // what the view shows (service 17 loads into both)
    std::atomic<int>* memoryDirty = nullptr;   // set by the services that change memory
    std::atomic<int>* timer0Pending = nullptr; // the tick count the runner watches
    std::filesystem::path projectDir;
    EmulatorPaintGate* paintGate = nullptr; // null: the application's gate
    Mc8051ViewLink* view = nullptr;
    Mc8051MediaServices* media = nullptr;
    Mc8051PlcRequests* plc = nullptr;
    Mc8051TextPorts* textPorts = nullptr;
};

// One 512-byte text-output buffer of services 5 and 6.
struct TextOutBuffer {
    static constexpr int kSize = 512;
    std::array<std::uint8_t, kSize> bytes{};
    int length = 0;
    std::uint64_t lastAppend = 0; // pass of the last append
};

struct PanelServiceState {
    Mc8051PanelContext context;
    std::array<TextOutBuffer, 2> text;
    std::uint64_t pass = 0;
    SimulatedDisks disks;
};

// A service routine: reads its parameters from the request and answers into it.
using Mc8051ServiceRoutine = void (*)(PanelServiceState& state, Mc8051Request& request);

struct Mc8051ServiceEntry {
    std::uint8_t code;
    Mc8051ServiceRoutine run;
    bool setsDirty; // the variable memory counts as changed afterwards
};

// Every service the panel offers, one row each; other codes are cleared without effect.
std::span<const Mc8051ServiceEntry> mc8051ServiceTable();
// The row of `code`, or null.
const Mc8051ServiceEntry* findMc8051Service(std::uint8_t code);

// The routines, by the file that holds them.
// number_services.cpp
void ServeIntegerToText(PanelServiceState&, Mc8051Request&);     // 32
void ServeFormatNumber(PanelServiceState&, Mc8051Request&);      // 33
void ServeCopyText(PanelServiceState&, Mc8051Request&);          // 34
void ServeMoveMemory(PanelServiceState&, Mc8051Request&);        // 35
void ServeVariableArithmetic(PanelServiceState&, Mc8051Request&); // 39
void ServeSecondsToTime(PanelServiceState&, Mc8051Request&);     // 40
void ServePolarToPoint(PanelServiceState&, Mc8051Request&);      // 48
void ServeScaleByFloat(PanelServiceState&, Mc8051Request&);      // 98
// panel_link_services.cpp
void ServeRefreshMode(PanelServiceState&, Mc8051Request&);   // 1
void ServeTimer0Period(PanelServiceState&, Mc8051Request&);  // 3
void ServeTextToPort1(PanelServiceState&, Mc8051Request&);   // 5
void ServeTextToPort2(PanelServiceState&, Mc8051Request&);   // 6
void ServeSaveVariables(PanelServiceState&, Mc8051Request&); // 16
void ServeLoadVariables(PanelServiceState&, Mc8051Request&); // 17
void ServeSound(PanelServiceState&, Mc8051Request&);         // 65
void ServePlcWrite(PanelServiceState&, Mc8051Request&);      // 80
void ServePlcBusy(PanelServiceState&, Mc8051Request&);       // 81
void ServePicture(PanelServiceState&, Mc8051Request&);       // 97
// disk_services.cpp
void ServeOpenRecordFile(PanelServiceState&, Mc8051Request&);   // 18
void ServeCloseRecordFile(PanelServiceState&, Mc8051Request&);  // 19
void ServeAppendRecord(PanelServiceState&, Mc8051Request&);     // 20
void ServeReadRecord(PanelServiceState&, Mc8051Request&);       // 21
void ServeRecordCount(PanelServiceState&, Mc8051Request&);      // 22
void ServeRewriteRecord(PanelServiceState&, Mc8051Request&);    // 23
void ServeDeleteRecord(PanelServiceState&, Mc8051Request&);     // 24
void ServeOpenFile(PanelServiceState&, Mc8051Request&);         // 25
void ServeCloseFile(PanelServiceState&, Mc8051Request&);        // 26
void ServeSeekFile(PanelServiceState&, Mc8051Request&);         // 27
void ServeFileSize(PanelServiceState&, Mc8051Request&);         // 28
void ServeWriteFile(PanelServiceState&, Mc8051Request&);        // 29
void ServeReadFile(PanelServiceState&, Mc8051Request&);         // 30
void ServeDeleteFile(PanelServiceState&, Mc8051Request&);       // 31

} // namespace qv::sim
