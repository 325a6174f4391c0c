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
#include "model/params/blocks/button_block.h"
#include "model/params/blocks/character_block.h"
#include "model/params/blocks/curve_block.h"
#include "model/params/blocks/dynamic_picture_block.h"
#include "model/params/blocks/number_block.h"
#include "model/params/blocks/progress_bar_block.h"
#include "model/params/blocks/state_picture_block.h"
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
        const int row = 16 + i % 40;
        switch (obj->Kind()) {
        case ShapeKind::Button: {
            namespace bb = blocks::button;
            obj->SetParam(bb::kValueIndex, row), obj->SetParam(bb::kValueLink.target(), 1);
            obj->SetParam(bb::kValueLink.elementType(), 3), obj->SetParam(bb::kValueLink.elementNumber(), i);
            break;
        }
        case ShapeKind::DynamicPicture:
            obj->SetParam(blocks::dynamic_picture::kFrameIndex, row), obj->SetParam(blocks::dynamic_picture::kPlayMode, 1);
            obj->SetParam(blocks::dynamic_picture::kFrameAddress, 1000), obj->SetParam(blocks::dynamic_picture::kInitialCountdown, 1);
            obj->m_strFiles = {"a.bmp", "b.bmp", "c.bmp"};
            break;
        case ShapeKind::RealTimeNumber: {
            namespace nb = blocks::number;
            obj->SetParam(nb::kValueIndex, row), obj->SetParam(nb::kReadLink.target(), 1);
            obj->SetParam(nb::kReadLink.elementType(), 3), obj->SetParam(nb::kReadLink.elementNumber(), i);
            break;
        }
        case ShapeKind::Curve: {
            namespace cv = blocks::curve;
            obj->SetParam(cv::kTopValue, 100), obj->SetParam(cv::kPointCount, 20), obj->SetParam(cv::kCurveCount, 1);
            obj->SetParam(cv::record(0).index, row), obj->SetParam(cv::record(1).index, -1);
            obj->SetParam(cv::kCurveType, 1), obj->SetParam(cv::kSamplePeriod, 50);
            break;
        }
        case ShapeKind::BitSwitch: {
            namespace bs = blocks::bit_switch;
            obj->SetParam(blocks::lamp::kBitIndex, row), obj->SetParam(bs::kBitLink.target(), 1);
            obj->SetParam(bs::kBitLink.elementType(), 0), obj->SetParam(bs::kBitLink.elementNumber(), i);
            break;
        }
        case ShapeKind::RadioButton: obj->SetParam(blocks::radio::kValueIndex, row); break;
        case ShapeKind::ProgressBar: obj->SetParam(blocks::progress_bar::kValueIndex, row); break;
        default:
            obj->SetParam(blocks::character::kStringLength, 16), obj->SetParam(blocks::character::kStringIndex, row);
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
