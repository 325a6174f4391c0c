// Large projects: 25, 50, 100 and 200 screens of 100 objects (shapes and the seven common
// control kinds, 300 variables), written to disk through the program's own documents and
// creation defaults. Per size: the real program started on the project (wall time and peak
// memory of its process), the open in this process (model and main window, offscreen),
// placing one control as the drawing tool does, the simulation rebuild, the save of every
// document and the compile. At exit the ratios between sizes are printed.
#include "app/mainframe/main_frame.h"
#include "bench/compile_rig_bench.h"
#include "bench/defaults_host_bench.h"
#include "bench/offscreen_app_bench.h"
#include "app/shell/main_frame_setup.h"
#include "compiler/compile/compile_worker.h"
#include "compiler/items/install_items.h"
#include "compiler/project/app_compile_input.h"
#include "compiler/screen/window_compiler.h"
#include "model/app/editor_app.h"
#include "model/document/draw_doc.h"
#include "model/paint/control_font_registry.h"
#include "model/params/block_bytes.h"
#include "model/params/kind_defaults.h"
#include "model/params/var_refs.h"
#include "model/shape/shape_kind.h"
#include "model/vars/hmi_var_table.h"
#include "platform/picture/picture.h"
#include "sim/runtime/sim_runtime.h"

#include <QApplication>
#include <QEvent>

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <utility>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace qv;
using Clock = std::chrono::steady_clock;

// The other helpers' builds load the machine: beside the wall time, the CPU time of this
// thread (the process's for the compile and its workers), which the load stretches less,
// gives the ratios between sizes too.
double cpuNow(clockid_t clock)
{
    timespec t{};
    ::clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct Stopwatch {
    explicit Stopwatch(clockid_t c = CLOCK_THREAD_CPUTIME_ID) : clock(c), cpu(cpuNow(c)) {}
    clockid_t clock;
    double cpu;
    Clock::time_point wall = Clock::now();
    // Wall and CPU seconds since the start, read together.
    std::pair<double, double> read() const
    {
        return {std::chrono::duration<double>(Clock::now() - wall).count(), cpuNow(clock) - cpu};
    }
};

// Wall and CPU seconds summed over the iterations of one measure.
struct Totals {
    double wall = 0;
    double cpu = 0;
    void add(std::pair<double, double> wallAndCpu)
    {
        wall += wallAndCpu.first;
        cpu += wallAndCpu.second;
    }
};

using bench::TableDefaultsHost;
constexpr int kObjectsPerScreen = 100;
constexpr int kVariables = 300;
constexpr int kWidth = 800, kHeight = 480, kMargin = 38;
constexpr ShapeKind kObjectKinds[] = {ShapeKind::Button, ShapeKind::RealTimeNumber, ShapeKind::NumericInput,
                                      ShapeKind::BitSwitch, ShapeKind::Indicator, ShapeKind::ProgressBar,
                                      ShapeKind::DynamicPicture, ShapeKind::Rectangle, ShapeKind::Ellipse,
                                      ShapeKind::Text};

QApplication& application() { return bench::offscreenApplication("bench_large_project"); }

// Seconds and calls of each measure and size, summed over its runs, for the ratios printed at exit.
struct Figures {
    std::map<std::string, std::map<int, std::pair<double, double>>> sums;
    ~Figures()
    {
        if (sums.empty())
            return;
        std::printf("\nRatios between sizes (mean time per call of the larger / of the smaller, over every "
                    "run; wall, and the CPU time):\n");
        for (const auto& [what, bySize] : sums) {
            const auto mean = [&](int size) {
                const auto& [seconds, calls] = bySize.at(size);
                return calls > 0 ? seconds / calls : 0.0;
            };
            std::printf("  %-26s", what.c_str());
            for (auto it = bySize.begin(); it != bySize.end(); ++it) {
                const auto next = std::next(it);
                if (next == bySize.end())
                    break;
                const double smaller = mean(it->first);
                std::printf("  %d->%d: %.2f", it->first, next->first, smaller > 0 ? mean(next->first) / smaller : 0.0);
            }
            if (bySize.count(25) && bySize.count(200) && mean(25) > 0)
                std::printf("  (200/25: %.2f)", mean(200) / mean(25));
            std::printf("\n");
        }
        std::fflush(stdout);
    }
};
Figures& figures()
{
    static Figures f;
    return f;
}

// The base folder the program starts in: "images" and, for the started program, "latest.txt".
struct LargeProject {
    fs::path root;
    fs::path base;
    fs::path hmi;
};

LargeProject writeProject(int screens)
{
    LargeProject p;
    // QV_BENCH_PROJECTS names a folder where the projects are written and kept (to profile
    // the program on them); else they go to a temporary folder removed at exit.
    const char* keep = std::getenv("QV_BENCH_PROJECTS");
    p.root = keep && *keep ? fs::path(keep) / ("large-" + std::to_string(screens))
                           : fs::temp_directory_path() / ("qv-bench-large-" + std::to_string(::getpid()) + "-" + std::to_string(screens));
    fs::remove_all(p.root);
    p.base = p.root / "base";
    fs::create_directories(p.base / "images");
    const fs::path folder = p.root / "big";
    fs::create_directories(folder / "window");
    p.hmi = folder / "big.hmi";

    CDrawDoc project;
    project.m_nWindowWidth = kWidth;
    project.m_nWindowHeight = kHeight;
    project.InitSystemVariables();
    HmiVarTable& table = project.m_varTable;
    const auto firstVar = static_cast<std::int32_t>(table.size());
    for (int v = 0; v < kVariables; ++v)
        findOrAddVarRow(table, "unsigned short", "var" + std::to_string(v), "0", "", 2 * varTableEnd(table));
    TableDefaultsHost host(table, folder);
    DocumentError error;
    for (int s = 0; s < screens; ++s) {
        const std::string name = "screen" + std::to_string(s) + ".drw";
        project.AddScreenName(name);
        CDrawDoc doc;
        doc.m_nMarginX = doc.m_nMarginY = kMargin;
        doc.m_nWindowWidth = kWidth;
        doc.m_nWindowHeight = kHeight;
        for (int i = 0; i < kObjectsPerScreen; ++i) {
            const int x = kMargin + (i % 10) * 78, y = kMargin + (i / 10) * 46;
            auto obj = std::make_unique<CDrawRect>(Rect{x, y, x + 70, y + 40});
            obj->SetKind(kObjectKinds[(i + s) % std::size(kObjectKinds)]);
            CDrawObj* added = doc.AddObject(std::move(obj));
            applyKindDefaults(*added, host);
            const auto refs = fixedVarRefs(added->Kind());
            if (!refs.empty()) {
                blockWriteI32(added->m_Params, refs.front().index, firstVar + (s * kObjectsPerScreen + i) % kVariables);
                refreshVarRefs(added->Kind(), added->m_Params, [&](std::int32_t row) { return varBindingOf(table, row); });
            }
        }
        if (!doc.OnSaveDocument(folder / "window" / name, &error))
            std::fprintf(stderr, "cannot write %s\n", name.c_str());
    }
    if (!project.OnSaveDocument(p.hmi, &error))
        std::fprintf(stderr, "cannot write the project file\n");
    std::ofstream(p.base / CEditorApp::kLatestFileName) << p.hmi.string();
    return p;
}

const LargeProject& projectOf(int screens)
{
    static std::map<int, LargeProject> written;
    static struct Cleanup {
        std::map<int, LargeProject>* all;
        ~Cleanup()
        {
            const char* keep = std::getenv("QV_BENCH_PROJECTS");
            for (const auto& [n, p] : *all)
                if (!keep || !*keep)
                    fs::remove_all(p.root);
        }
    } cleanup{&written};
    auto it = written.find(screens);
    if (it == written.end())
        it = written.emplace(screens, writeProject(screens)).first;
    return it->second;
}

// The program's own objects over an opened project: application, simulator run time and
// main window, shown offscreen.
struct Session {
    explicit Session(const LargeProject& p)
    {
        application();
        app = std::make_unique<CEditorApp>(p.base);
        runtime = std::make_unique<sim::SimRuntime>(*app);
        app->SetSimulationServices(runtime.get());
        app->InitDocTemplates();
        frame = createMainFrame(*app);
        frame->resize(1280, 800);
        frame->show();
        opened = app->OpenProjectFile(p.hmi);
        QCoreApplication::processEvents();
    }
    ~Session()
    {
        // Hidden, the window area does not lay out the remaining windows after each close.
        frame->hide();
        app->CloseAllDocuments();
        frame.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        app->SetSimulationServices(nullptr);
        runtime.reset();
        app.reset();
    }
    std::unique_ptr<CEditorApp> app;
    std::unique_ptr<sim::SimRuntime> runtime;
    std::unique_ptr<CMainFrame> frame;
    bool opened = false;
};

// One opened session at a time, kept while the measures of its size run. The last one is
// left to the end of the process: Qt's own statics go before a static of ours would.
Session& sessionOf(int screens)
{
    static int size = 0;
    static Session* session = nullptr;
    if (size != screens || !session) {
        delete session;
        session = new Session(projectOf(screens));
        size = screens;
    }
    return *session;
}

void record(benchmark::State& state, const std::string& what, const Totals& totals)
{
    const int screens = static_cast<int>(state.range(0));
    const auto iterations = static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
    // Every run of a size (the library's trial runs and the repetitions) adds to its mean.
    const auto add = [&](const std::string& key, double seconds) {
        auto& sum = figures().sums[key][screens];
        sum.first += seconds;
        sum.second += iterations;
    };
    add(what + " (wall)", totals.wall);
    if (totals.cpu > 0) {
        add(what + " (cpu)", totals.cpu);
        state.counters["cpu_ms"] = 1000.0 * totals.cpu / iterations;
    }
    state.counters["objects"] = static_cast<double>(screens * kObjectsPerScreen);
}

// The real program started on the project ("latest.txt"), quitting once its event loop runs.
void BM_ProgramStartAndOpen(benchmark::State& state)
{
    const LargeProject& p = projectOf(static_cast<int>(state.range(0)));
    const fs::path program = fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "app" / "quorvane";
    if (!fs::exists(program)) {
        state.SkipWithError("the program is not built");
        return;
    }
    const fs::path home = p.root / "home";
    fs::create_directories(home);
    std::vector<std::string> env{"QT_QPA_PLATFORM=offscreen", "QV_EXIT_AFTER_START=1", "QV_NONINTERACTIVE=1",
                                 "HOME=" + home.string(), "XDG_RUNTIME_DIR=" + home.string(),
                                 "XDG_CONFIG_HOME=" + home.string()};
    std::vector<char*> envp;
    for (auto& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string programText = program.string();
    char* argv[] = {programText.data(), nullptr};

    Totals total;
    long peakKb = 0;
    for (auto _ : state) {
        const Stopwatch watch;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addchdir_np(&actions, p.base.c_str());
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        pid_t pid = 0;
        const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data());
        posix_spawn_file_actions_destroy(&actions);
        if (rc != 0) {
            state.SkipWithError("the program does not start");
            return;
        }
        int status = 0;
        struct rusage usage {};
        ::wait4(pid, &status, 0, &usage);
        const auto taken = watch.read();
        const double seconds = taken.first;
        state.SetIterationTime(seconds);
        // The program's own CPU time, not this thread's.
        total.wall += seconds;
        total.cpu += static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
        peakKb = std::max(peakKb, usage.ru_maxrss);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the program failed");
            return;
        }
    }
    record(state, "program start+open", total);
    state.counters["peak_MB"] = static_cast<double>(peakKb) / 1024.0;
}
BENCHMARK(BM_ProgramStartAndOpen)->Arg(25)->Arg(50)->Arg(100)->Arg(200)->UseManualTime()->Unit(benchmark::kMillisecond);

// Times `step` once per iteration (an error text ends the measure); `after` runs outside
// the time. The figures go to the counters and the ratios as `what`.
template <class Step, class After>
void measure(benchmark::State& state, const std::string& what, Step step, After after,
             clockid_t clock = CLOCK_THREAD_CPUTIME_ID)
{
    Totals total;
    for (auto _ : state) {
        const Stopwatch watch(clock);
        const std::string error = step();
        const auto taken = watch.read();
        if (!error.empty()) {
            state.SkipWithError(error.c_str());
            return;
        }
        state.SetIterationTime(taken.first);
        total.add(taken);
        after();
    }
    record(state, what, total);
}

// Application, main window and the project's open sequence in this process.
void BM_OpenProject(benchmark::State& state)
{
    const LargeProject& p = projectOf(static_cast<int>(state.range(0)));
    application();
    std::unique_ptr<Session> session;
    measure(
        state, "open",
        [&] {
            session = std::make_unique<Session>(p);
            return session->opened ? std::string() : std::string("the project does not open");
        },
        [&] { session.reset(); });
}
BENCHMARK(BM_OpenProject)->Arg(25)->Arg(50)->Arg(100)->Arg(200)->UseManualTime()->Unit(benchmark::kMillisecond);

// A control as the rectangle tool makes it: added to the first screen and given its kind's
// defaults (variables found by name, pictures copied, the simulation asked to rebuild).
// The control is taken out again outside the measure, so every placement sees the same
// project, and what the placement left for the event loop (the coalesced rebuild) runs there.
void BM_PlaceControl(benchmark::State& state)
{
    Session& s = sessionOf(static_cast<int>(state.range(0)));
    CDrawDoc* screen = s.app->FindWindowDocByFileName("screen0.drw");
    if (!screen) {
        state.SkipWithError("no screen");
        return;
    }
    int n = 0;
    CDrawObj* added = nullptr;
    measure(
        state, "place control",
        [&] {
            auto obj = std::make_unique<CDrawRect>(Rect{100, 100, 180, 140});
            obj->SetKind(kObjectKinds[n++ % 7]);
            added = screen->AddObject(std::move(obj));
            SetKindDefaults(*added, *s.app);
            return std::string();
        },
        [&] {
            screen->RemoveObject(added);
            QCoreApplication::processEvents();
        });
}
BENCHMARK(BM_PlaceControl)->Arg(25)->Arg(50)->Arg(100)->Arg(200)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_RebuildSimulation(benchmark::State& state)
{
    Session& s = sessionOf(static_cast<int>(state.range(0)));
    measure(
        state, "rebuild",
        [&] {
            s.app->RebuildSimulation();
            return std::string();
        },
        [] {});
}
BENCHMARK(BM_RebuildSimulation)->Arg(25)->Arg(50)->Arg(100)->Arg(200)->UseManualTime()->Unit(benchmark::kMillisecond);

// Every document saved (the project and each window file).
void BM_SaveProject(benchmark::State& state)
{
    Session& s = sessionOf(static_cast<int>(state.range(0)));
    measure(
        state, "save", [&] { return s.app->SaveAllDocumentsAndResetUndo() ? std::string() : std::string("the save failed"); },
        [] {});
}
BENCHMARK(BM_SaveProject)->Arg(25)->Arg(50)->Arg(100)->Arg(200)->UseManualTime()->Unit(benchmark::kMillisecond);

// The compile of the opened project (input taken from the application, two window workers;
// the process's CPU time).
void BM_CompileProject(benchmark::State& state)
{
    Session& s = sessionOf(static_cast<int>(state.range(0)));
    bench::CompileRig rig(s.app->BaseDir(), 2);
    measure(
        state, "compile",
        [&] {
            const auto input = compile::takeCompileInput(*s.app);
            std::string log;
            const auto outcome = input ? rig.run(*input, log) : compile::CompileOutcome{};
            return outcome.ok ? std::string() : "the compile failed: " + log;
        },
        [] {}, CLOCK_PROCESS_CPUTIME_ID);
}
BENCHMARK(BM_CompileProject)->Arg(25)->Arg(50)->Arg(100)->Arg(200)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
