// Compiles a synthetic 100-screen project headless (every window an empty record until the
// window compiler exists) and reports the time per compile and the image bytes per second.
#include "compiler/compile/compile_worker.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

qv::compile::CompileInput syntheticProject(const std::filesystem::path& folder, int screens)
{
    qv::compile::CompileInput in;
    in.projectFolder = folder;
    for (int i = 0; i < screens; ++i)
        in.screens.push_back({"screen" + std::to_string(i) + ".drw", true, 20});
    for (const char* name : {"数字键盘.dlg", "系统键盘.dlg", "系统登陆.dlg"})
        in.subWindows.push_back({name, true, 10});
    in.settings[71] = 1;
    in.serialParameters = {1, 19200, 2, 2, 19200, 2, 2, 2, 9600, 9600};
    in.runBlock[0] = 0x88;
    in.width = 800;
    in.height = 480;
    in.variableMemory.assign(0x10000, 0x5A);
    in.variableExtent = 0x8000;
    return in;
}

void BM_Compile100Screens(benchmark::State& state)
{
    const auto folder = std::filesystem::temp_directory_path() / ("qv-bench-compile-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const auto input = syntheticProject(folder, 100);

    qv::ReportQueue reports;
    qv::compile::CompileFlags flags;
    qv::compile::EmptyScreenCompiler screens;
    qv::compile::CompileServices services;
    services.reports = &reports;
    services.flags = &flags;
    services.screens = &screens;

    std::uint64_t imageBytes = 0;
    for (auto _ : state) {
        const auto outcome = qv::compile::runCompile(input, services);
        if (!outcome.ok) {
            state.SkipWithError("compile failed");
            break;
        }
        imageBytes = outcome.imageBytes;
        reports.drain([](qv::Report&) {});
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(imageBytes * state.iterations()));
    state.counters["image_bytes"] = static_cast<double>(imageBytes);
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_Compile100Screens)->Unit(benchmark::kMillisecond);

} // namespace
