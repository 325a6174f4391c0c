// Instructions per CPU second of the 8051 emulator's run loop (the thread's way, the 1 ms
// pauses take no CPU time) on a mixed program: a counting loop with arithmetic, register and
// internal RAM moves, external data reads and writes and a call.
#include <benchmark/benchmark.h>

#include <memory>

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
    qv::MC8051StopRequest.store(0);
    runner.resetForRun();
    constexpr int kBatch = 100000;
    for (auto _ : state)
        runner.runPasses(kBatch);
    state.counters["instructions_per_second"] =
        benchmark::Counter(double(state.iterations()) * kBatch, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Mc8051RunLoop)->Unit(benchmark::kMillisecond);

} // namespace
