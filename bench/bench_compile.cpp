// Compiles, through the real window compiler and item compilers, a real-size project (100
// screens of 800 x 480, each with a full-screen JPEG background and 30 controls of mixed
// kinds as the drawing tools make them) and the sample project of the base folder. Each
// prints the seconds per compile and the image MB/s; the threads argument is the number of
// window workers.
#include "compiler/compile/compile_worker.h"
#include "compiler/items/install_items.h"
#include "compiler/project/app_compile_input.h"
#include "compiler/screen/window_compiler.h"
#include "model/app/editor_app.h"
#include "model/document/draw_doc.h"
#include "model/paint/control_font_registry.h"
#include "model/params/kind_defaults.h"
#include "model/shape/shape_kind.h"
#include "model/vars/hmi_var_table.h"
#include "platform/picture/picture.h"
#include "bench/compile_rig_bench.h"
#include "bench/defaults_host_bench.h"

#include <QColor>
#include <QImage>
#include <QString>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace qv;

using bench::kTreeBase;
using bench::TableDefaultsHost;

constexpr int kScreens = 100;
constexpr int kControlsPerScreen = 30;
constexpr int kWidth = 800, kHeight = 480, kMargin = 38;
constexpr ShapeKind kMixedKinds[] = {ShapeKind::Button, ShapeKind::RealTimeNumber, ShapeKind::ProgressBar,
                                     ShapeKind::BitSwitch, ShapeKind::Indicator, ShapeKind::RadioButton,
                                     ShapeKind::NumericInput, ShapeKind::DynamicPicture};

// A photograph-like background: smooth gradients with detail, so the JPEG is of real size.
void writeBackground(const fs::path& file)
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            image.setPixel(x, y, qRgb((x * 255) / kWidth, (y * 255) / kHeight, ((x ^ y) * 7) & 0xFF));
    image.save(QString::fromStdString(file.string()), "JPEG", 90);
}

compile::CompileInput realSizeProject(const fs::path& folder)
{
    fs::create_directories(folder / "UserPicture");
    writeBackground(folder / "UserPicture" / "bg.jpg");

    compile::CompileInput in;
    in.projectFolder = folder;
    CDrawDoc project;
    project.InitSystemVariables();
    in.variables = project.m_varTable;
    TableDefaultsHost host(in.variables, folder);
    for (int s = 0; s < kScreens; ++s) {
        CDrawDoc doc;
        doc.m_nMarginX = doc.m_nMarginY = kMargin;
        doc.m_nWindowWidth = kWidth;
        doc.m_nWindowHeight = kHeight;
        auto background = std::make_unique<CDrawRect>(Rect{kMargin, kMargin, kMargin + kWidth, kMargin + kHeight});
        background->SetKind(ShapeKind::Picture);
        background->m_strFiles = {"\\UserPicture\\bg.jpg"};
        doc.AddObject(std::move(background));
        for (int c = 0; c < kControlsPerScreen; ++c) {
            const int x = kMargin + 10 + (c % 6) * 130, y = kMargin + 10 + (c / 6) * 92;
            auto o = std::make_unique<CDrawRect>(Rect{x, y, x + 110, y + 70});
            o->SetKind(kMixedKinds[(c + s) % std::size(kMixedKinds)]);
            applyKindDefaults(*o, host);
            o->m_bControl = 1;
            doc.AddObject(std::move(o));
        }
        compile::WindowSource w;
        w.fileName = "screen" + std::to_string(s) + ".drw";
        w.objectCount = doc.m_objects.size();
        w.storedBytes = doc.SerializeToBytes();
        in.screens.push_back(std::move(w));
    }
    in.settings[71] = 1;
    in.serialParameters = {1, 19200, 2, 2, 19200, 2, 2, 2, 9600, 9600};
    in.runBlock[0] = 0x88;
    in.width = kWidth;
    in.height = kHeight;
    in.variableMemory.assign(0x10000, 0);
    in.variableExtent = static_cast<std::uint32_t>(varTableEnd(in.variables));
    return in;
}

// Compiles `input` once per iteration and reports seconds per compile and image MB/s.
void compileLoop(benchmark::State& state, const compile::CompileInput& input, const fs::path& base)
{
    bench::CompileRig rig(base, static_cast<unsigned>(state.range(0)));
    std::uint64_t imageBytes = 0;
    std::string log;
    for (auto _ : state) {
        const auto outcome = rig.run(input, log);
        if (!outcome.ok) {
            state.SkipWithError(("compile failed: " + log).c_str());
            break;
        }
        imageBytes = outcome.imageBytes;
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(imageBytes * state.iterations()));
    state.counters["s_per_compile"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["image_MB"] = static_cast<double>(imageBytes) / 1048576.0;
}

fs::path scratchFolder(const char* what)
{
    const fs::path folder = fs::temp_directory_path() / (std::string("qv-bench-") + what + "-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

void BM_CompileRealSizeProject(benchmark::State& state)
{
    const fs::path folder = scratchFolder("compile");
    const auto input = realSizeProject(folder / "project");
    compileLoop(state, input, kTreeBase);
    fs::remove_all(folder);
}
BENCHMARK(BM_CompileRealSizeProject)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime();

// The sample project as the program ships it, opened in a headless application.
void BM_CompileSampleProject(benchmark::State& state)
{
    const fs::path base = scratchFolder("sample");
    fs::copy(kTreeBase, base, fs::copy_options::recursive);
    CEditorApp app(base);
    app.InitDocTemplates();
    const fs::path hmi = base / fs::path(u8"例子") / fs::path(u8"示例工程") / fs::path(u8"示例工程.hmi");
    if (!app.OpenProjectFile(hmi)) {
        state.SkipWithError("the sample project does not open");
        return;
    }
    const auto input = compile::takeCompileInput(app);
    if (!input) {
        state.SkipWithError("no project document");
        return;
    }
    compileLoop(state, *input, base);
    app.CloseAllDocuments();
    fs::remove_all(base);
}
BENCHMARK(BM_CompileSampleProject)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
