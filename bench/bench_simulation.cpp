// The simulation rebuild (it follows most property edits) on a project of 100 windows of 100
// controls, and one 50 ms animation tick over 500 objects of the shown screen.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include <unistd.h>

#include "model/app/editor_app.h"
#include "model/document/draw_doc.h"
#include "model/params/block_bytes.h"
#include "sim/runtime/sim_runtime.h"

namespace {

namespace fs = std::filesystem;
using namespace qv;

struct Project {
    fs::path dir;
    std::unique_ptr<CEditorApp> app;
    std::unique_ptr<sim::SimRuntime> runtime;
    CDrawDoc* project = nullptr;

    Project()
    {
        dir = fs::temp_directory_path() / ("qv_bench_sim_" + std::to_string(::getpid()));
        fs::create_directories(dir / "window");
        app = std::make_unique<CEditorApp>(dir);
        app->InitDocTemplates();
        app->m_strProjectDir = dir;
        project = app->m_pProjectTemplate->OpenNewDocument("p");
        project->SetPathName(dir / "p.hmi");
        project->m_bIsProjectDoc = 1;
        project->InitSystemVariables();
        project->SetSettingI32(settings::kProtocol1, 3);
        for (int i = 0; i < 40; ++i)
            project->m_varTable.AppendRow(std::to_string(1000 + 64 * i), "unsigned short", "v" + std::to_string(i), "0", "");
        runtime = std::make_unique<sim::SimRuntime>(*app);
        app->SetSimulationServices(runtime.get());
    }
    ~Project()
    {
        app->SetSimulationServices(nullptr);
        runtime.reset();
        app.reset();
        fs::remove_all(dir);
    }
    CDrawDoc& window(const std::string& name)
    {
        CDrawDoc* doc = app->m_pWindowTemplate->OpenNewDocument(name);
        doc->SetPathName(dir / "window" / name);
        project->AddScreenName(name);
        return *doc;
    }
    // A mix of kinds with variables, PLC links, sample curves and frames.
    static void addControl(CDrawDoc& doc, int i)
    {
        static constexpr ShapeKind kKinds[] = {ShapeKind::Button, ShapeKind::DynamicPicture,
                                               ShapeKind::RealTimeNumber, ShapeKind::Curve, ShapeKind::BitSwitch,
                                               ShapeKind::RadioButton, ShapeKind::ProgressBar, ShapeKind::Character};
        auto obj = std::make_unique<CDrawRect>(Rect{40 + i % 10 * 60, 40 + i / 10 * 40, 90 + i % 10 * 60, 70 + i / 10 * 40});
        obj->SetKind(kKinds[i % 8]);
        auto& b = obj->m_Params;
        const int row = 16 + i % 40;
        switch (obj->Kind()) {
        case ShapeKind::Button: blockWriteI32(b, 128, row), blockWriteI32(b, 228, 1), blockWriteI32(b, 232, 3), blockWriteI32(b, 240, i); break;
        case ShapeKind::DynamicPicture:
            blockWriteI32(b, 64, row), b[44] = 1, blockWriteI32(b, 48, 1000), b[60] = 1;
            obj->m_strFiles = {"a.bmp", "b.bmp", "c.bmp"};
            break;
        case ShapeKind::RealTimeNumber: blockWriteI32(b, 84, row), blockWriteI32(b, 208, 1), blockWriteI32(b, 212, 3), blockWriteI32(b, 220, i); break;
        case ShapeKind::Curve:
            blockWriteI32(b, 36, 100), blockWriteI32(b, 76, 20), blockWriteI32(b, 80, 1), blockWriteI32(b, 84, row);
            blockWriteI32(b, 96, -1), blockWriteI32(b, 880, 1), blockWriteI32(b, 884, 50);
            break;
        case ShapeKind::BitSwitch: blockWriteI32(b, 16, row), blockWriteI32(b, 76, 1), blockWriteI32(b, 80, 0), blockWriteI32(b, 88, i); break;
        case ShapeKind::RadioButton: blockWriteI32(b, 0, row); break;
        case ShapeKind::ProgressBar: blockWriteI32(b, 28, row); break;
        default:
            blockWriteI32(b, 32, 16), blockWriteI32(b, 36, row);
            obj->m_strName = "text";
            break;
        }
        doc.AddObject(std::move(obj));
    }
};

void BM_RebuildSimulation(benchmark::State& state)
{
    Project p;
    for (int w = 0; w < 100; ++w) {
        CDrawDoc& doc = p.window("w" + std::to_string(w) + ".drw");
        for (int i = 0; i < 100; ++i)
            Project::addControl(doc, i);
    }
    for (auto _ : state)
        p.app->RebuildSimulation();
    state.counters["controls"] = 100 * 100;
}
BENCHMARK(BM_RebuildSimulation)->Unit(benchmark::kMillisecond);

void BM_AnimationTick(benchmark::State& state)
{
    Project p;
    CDrawDoc& doc = p.window("s.drw");
    for (int i = 0; i < 500; ++i)
        Project::addControl(doc, i % 100);
    p.app->RebuildSimulation();
    p.app->m_VarMemRun.writeByte(1000, 1); // the frames step every tick
    for (auto _ : state)
        p.app->AnimateObjects();
    state.counters["objects"] = 500;
}
BENCHMARK(BM_AnimationTick)->Unit(benchmark::kMicrosecond);

} // namespace
