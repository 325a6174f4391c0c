#pragma once
// The panel's services on a test project in a temporary folder: a CPU over its own banks, the
// runner, and recording stand-ins for the view, the PLC links and the ports.
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "model/app/emulator_flags.h"
#include "model/app/emulator_paint_gate.h"
#include "sim/services/panel_services.h"
#include "tests/fixtures/temp_dir.h"
#include "tests/sim/sdcc_program.h"

namespace qv::sim::test {

inline constexpr std::uint16_t kDoneAddress = 0x20F0; // 0xA5 when a program has finished

// C helpers every test program starts with: parameters, the call, memory and the end mark.
inline const char* kProgramPrelude = R"(
#include "sysvar_sdcc.h"
#define M8(a) (*(unsigned char volatile __xdata *)(a))
#define M16(a) (*(unsigned int volatile __xdata *)(a))
#define M32(a) (*(unsigned long volatile __xdata *)(a))
#define SETW(lo, hi, v) do { unsigned int w_ = (unsigned int)(v); lo = (unsigned char)w_; hi = (unsigned char)(w_ >> 8); } while (0)
#define P1(v) SETW(CmdAdr2, CmdAdr3, v)
#define P2(v) SETW(CmdAdr4, CmdAdr5, v)
#define P3(v) SETW(CmdAdr6, CmdAdr7, v)
#define P4(v) SETW(CmdAdr8, CmdAdr9, v)
#define P5(v) SETW(CmdAdr10, CmdAdr11, v)
#define P6(v) SETW(CmdAdr12, CmdAdr13, v)
#define P7(v) SETW(CmdAdr14, CmdAdr15, v)
#define LV(v) do { unsigned long l_ = (unsigned long)(v); P2(l_); P3(l_ >> 16); } while (0)
#define CALL(c) CmdAdr = (c)
#define DONE() do { M8(0x20F0) = 0xA5; while (1) {} } while (0)
)";

// A serial interrupt handler that keeps the n-th (COMNUM, SBUF) pair at 0x3000 + 2n; `count`
// says how many came.
inline const char* kSerialRecorder = R"(
volatile unsigned char count;
void serial(void) __interrupt(4)
{
    M8(0x3000 + 2 * count) = COMNUM;
    M8(0x3001 + 2 * count) = SBUF;
    count++;
}
)";

class FakeView : public Mc8051ViewLink {
public:
    std::atomic<int> autoRefresh{-1};
    std::atomic<int> period{-1};
    std::atomic<bool> shown{true};
    std::atomic<int> paintRequests{0};
    void setAutoRefresh(bool on) override { autoRefresh = on ? 1 : 0; }
    bool requestRunModePaint() override
    {
        ++paintRequests;
        return shown.load();
    }
    void setTimer0Period(int ms) override { period = ms; }
};

class RecordingText : public Mc8051TextPorts {
public:
    std::vector<std::vector<std::uint8_t>> writes[2];
    void writeText(int port, std::span<const std::uint8_t> bytes) override
    {
        writes[port - 1].emplace_back(bytes.begin(), bytes.end());
    }
};

struct PanelFixture {
    qv::test::TempDir project;
    std::unique_ptr<VarBank> ownLive;
    VarBank* live; // the program's variable memory: its own, or a bank the test shares with the PLC links
    std::unique_ptr<VarBank> shown = std::make_unique<VarBank>();
    std::atomic<int> dirty{0};
    std::atomic<int> timer0{0};
    FakeView view;
    RecordingText text;
    EmulatorPaintGate gate;
    Mc8051Cpu cpu{*live, &dirty};
    Mc8051PanelServices services{context()};
    Mc8051Runner runner{cpu, services, &timer0};

    explicit PanelFixture(VarBank* sharedLive = nullptr)
        : ownLive(sharedLive ? nullptr : std::make_unique<VarBank>()), live(sharedLive ? sharedLive : ownLive.get())
    {
        MC8051StopRequest.store(0);
        cpu.powerOn();
    }

    Mc8051PanelContext context()
    {
        Mc8051PanelContext c;
        c.live = live;
        c.displayed = shown.get();
        c.memoryDirty = &dirty;
        c.timer0Pending = &timer0;
        c.projectDir = project.path();
        c.paintGate = &gate;
        c.view = &view;
        c.textPorts = &text;
        return c;
    }

    void load(const std::string& body)
    {
        const std::filesystem::path dir = project.path();
        compileAndLoad(std::string(kProgramPrelude) + body, cpu, &dir);
    }

    // Runs the loop (on this thread) until the program marks itself done.
    bool runUntilDone(std::uint64_t limit = 20'000'000)
    {
        runner.resetForRun();
        live->setByteAt(kDoneAddress, 0);
        return runOnUntil(0xA5, limit);
    }

    // Goes on running the program where it stands until it puts `mark` at the end address.
    bool runOnUntil(std::uint8_t mark, std::uint64_t limit = 20'000'000)
    {
        for (std::uint64_t ran = 0; ran < limit; ran += 10'000) {
            runner.runPasses(10'000);
            if (live->byteAt(kDoneAddress) == mark)
                return true;
        }
        return false;
    }
};

} // namespace qv::sim::test
