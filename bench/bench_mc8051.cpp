// Instructions per CPU second of the 8051 emulator's run loop (the thread's way, with its
// 1 ms rests; the CPU time the rests themselves cost is shown apart): the bare core on a
// mixed program (a counting loop with arithmetic, register and internal RAM moves, external
// data reads and writes and a call), and an sdcc-built loop with the panel's services
// attached. Also record-file appends and reads per second on a file of 10,000 places.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <time.h>
#include <unistd.h>

#include "compiler/hex/intel_hex.h"
#include "platform/files/atomic_file.h"
#include "sim/disk/record_file.h"
#include "sim/services/panel_services.h"

#include "model/app/emulator_flags.h"
#include "model/vars/var_bank.h"
#include "sim/mc8051/mc8051_cpu.h"
#include "sim/mc8051/mc8051_runner.h"

namespace {

using namespace qv::sim;

CodeImage mixedProgram()
{
    CodeImage image;
    image.fill(0xFF);
    const std::uint8_t code[] = {
        0x90, 0x10, 0x00, // MOV DPTR,#0x1000
        0x7A, 0x00,       // loop: MOV R2,#0
        0xE0,             // inner: MOVX A,@DPTR
        0x2A,             // ADD A,R2
        0xF0,             // MOVX @DPTR,A
        0xA3,             // INC DPTR
        0xF5, 0x30,       // MOV 0x30,A
        0x12, 0x00, 0x20, // LCALL 0x0020
        0xDA, 0xF5,       // DJNZ R2,inner
        0x90, 0x10, 0x00, // MOV DPTR,#0x1000
        0x80, 0xEE,       // SJMP loop
    };
    const std::uint8_t sub[] = {0x85, 0x30, 0x31, 0xA4, 0x22}; // MOV 0x31,0x30; MUL AB; RET
    std::copy(std::begin(code), std::end(code), image.begin());
    std::copy(std::begin(sub), std::end(sub), image.begin() + 0x20);
    return image;
}

// CPU time of the calling thread (the benchmark runs the loop on its own thread).
double threadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// The loop's 1 ms rests, with the CPU time that going to sleep and waking up costs the
// thread (tens of microseconds a rest on a virtual machine under load).
double g_restCpuSeconds = 0;
long g_rests = 0;
void countedRest()
{
    const double before = threadCpuSeconds();
    Mc8051Runner::sleepOneMillisecond();
    g_restCpuSeconds += threadCpuSeconds() - before;
    ++g_rests;
}

// Runs the loop the thread's way in batches and reports instructions per CPU second, with
// the rests' own CPU time (instructions_per_second) and without it (..._less_rests: the
// instructions and the loop's checks alone).
void runAndCount(benchmark::State& state, Mc8051Runner& runner)
{
    qv::MC8051StopRequest.store(0);
    runner.resetForRun();
    runner.setRest(&countedRest);
    g_restCpuSeconds = 0;
    g_rests = 0;
    constexpr int kBatch = 100000;
    const double start = threadCpuSeconds();
    for (auto _ : state)
        runner.runPasses(kBatch);
    const double cpu = threadCpuSeconds() - start;
    const double instructions = double(state.iterations()) * kBatch;
    state.counters["instructions_per_second"] = benchmark::Counter(instructions, benchmark::Counter::kIsRate);
    state.counters["instructions_per_second_less_rests"] = instructions / (cpu - g_restCpuSeconds);
    state.counters["rest_cpu_us"] = g_rests > 0 ? g_restCpuSeconds / double(g_rests) * 1e6 : 0.0;
}

void BM_Mc8051RunLoop(benchmark::State& state)
{
    auto bank = std::make_unique<qv::VarBank>();
    std::atomic<int> dirty{0};
    Mc8051Cpu cpu(*bank, &dirty);
    cpu.powerOn();
    cpu.loadCode(mixedProgram());
    Mc8051Services services;
    std::atomic<int> timer0{0};
    Mc8051Runner runner(cpu, services, &timer0);
    runAndCount(state, runner);
}
BENCHMARK(BM_Mc8051RunLoop)->Unit(benchmark::kMillisecond);

// A C loop of 32-bit arithmetic into external data, with a variable-arithmetic service
// request every 100 rounds and a printed byte every 64 requests.
const char* kServiceLoop = R"(
__sfr __at(0xC0) CmdAdr;
__sfr __at(0xC1) CmdAdr1;
__sfr __at(0xC2) CmdAdr2;
__sfr __at(0xC3) CmdAdr3;
__sfr __at(0xC4) CmdAdr4;
__sfr __at(0xC5) CmdAdr5;
__sfr __at(0xC6) CmdAdr6;
__sfr __at(0xC7) CmdAdr7;
#define M32(a) (*(unsigned long volatile __xdata *)(a))
void main(void)
{
    unsigned int i = 0;
    unsigned long sum = 0;
    unsigned char k;
    for (;;) {
        for (k = 0; k < 100; k++) { sum += k * 3 + (sum >> 3); M32(0x2000) = sum; }
        CmdAdr2 = 0x04; CmdAdr3 = 0x20; CmdAdr4 = 7; CmdAdr5 = 0; CmdAdr6 = 0; CmdAdr7 = 0;
        CmdAdr1 = 1; CmdAdr = 39;
        if ((++i & 63) == 0) { CmdAdr1 = 'x'; CmdAdr = 5; }
    }
}
)";

std::filesystem::path scratchFolder(const char* name)
{
    const auto dir = std::filesystem::temp_directory_path() / (std::string(name) + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

void BM_Mc8051WithPanelServices(benchmark::State& state)
{
    const auto dir = scratchFolder("qv-bench-mc8051");
    std::ofstream(dir / "loop.c") << kServiceLoop;
    const std::string command = "cd '" + dir.string() + "' && sdcc -mmcs51 --iram-size 128 loop.c > sdcc.log 2>&1";
    std::string text;
    CodeImage image;
    if (std::system(command.c_str()) != 0 || !qv::readWholeFile(dir / "loop.ihx", text) ||
        qv::hex::ReadIntelHex(text, image, nullptr) < 4) {
        state.SkipWithError("sdcc could not build the loop (scripts/setup-deps.sh installs it)");
        return;
    }
    auto live = std::make_unique<qv::VarBank>();
    auto shown = std::make_unique<qv::VarBank>();
    std::atomic<int> dirty{0};
    std::atomic<int> timer0{0};
    Mc8051Cpu cpu(*live, &dirty);
    cpu.powerOn();
    cpu.loadCode(image);
    Mc8051PanelContext context;
    context.live = live.get();
    context.displayed = shown.get();
    context.memoryDirty = &dirty;
    context.timer0Pending = &timer0;
    context.projectDir = dir;
    Mc8051PanelServices panel(context);
    Mc8051Services none;
    const bool withServices = state.range(0) != 0;
    Mc8051Runner runner(cpu, withServices ? static_cast<Mc8051Services&>(panel) : none, &timer0);
    runAndCount(state, runner);
    std::filesystem::remove_all(dir);
}
// Arg 0: the same loop on the bare core (its requests are cleared unserved), for comparison.
BENCHMARK(BM_Mc8051WithPanelServices)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Appends (ring, overwriting) and reads of 16-byte records in a file of 10,000 places.
void BM_RecordFile(benchmark::State& state)
{
    const bool reads = state.range(0) != 0;
    const auto dir = scratchFolder("qv-bench-records");
    auto memory = std::make_unique<qv::VarBank>();
    RecordFiles files;
    const int handle = files.open(dir, dir / "UsbDisk" / "LOG.DAT", 16, 10000);
    if (handle == 0) {
        state.SkipWithError("record file not opened");
        return;
    }
    for (int i = 0; i < 10000; ++i)
        files.append(handle, *memory, 0x100, true);
    std::uint32_t n = 0;
    for (auto _ : state) {
        if (reads) {
            benchmark::DoNotOptimize(files.read(handle, *memory, 0x200, n));
            n = (n + 997) % 10000;
        } else {
            benchmark::DoNotOptimize(files.append(handle, *memory, 0x100, true));
        }
    }
    state.counters[reads ? "reads_per_second" : "appends_per_second"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_RecordFile)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
