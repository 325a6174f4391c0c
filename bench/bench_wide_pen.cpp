// Time of one line drawn with a pen from a hostile file (width 20000, and the WMF case of
// 29812), across and far past an 800 x 480 surface, next to a line of an ordinary pen; and of
// a small WMF picture whose pen of 15107 pixels draws a round rectangle, an ellipse and a
// polyline of 60 points, decoded and drawn into 100 x 200 pixels.
#include "platform/picture/picture.h"
#include "platform/surface/picture_image.h"
#include "platform/surface/surface.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

using namespace qv;

void BM_WidePenLine(benchmark::State& state)
{
    const int width = static_cast<int>(state.range(0));
    Surface s(800, 480);
    s.selectPen({PS_SOLID, width, rgb(20, 40, 200)});
    for (auto _ : state) {
        s.moveTo(-30000, 10);
        s.lineTo(30000, 470);
        benchmark::DoNotOptimize(s.bits());
    }
    state.counters["pen"] = width;
}
BENCHMARK(BM_WidePenLine)->Arg(3)->Arg(64)->Arg(2000)->Arg(20000)->Arg(29812)->Unit(benchmark::kMillisecond);

void BM_WidePenWmfPicture(benchmark::State& state)
{
    std::ifstream in(QV_SOURCE_DIR "/fuzz/regressions/picture/wmf_pen_15107_shapes.wmf", std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    Surface s(100, 200);
    for (auto _ : state) {
        std::string error;
        const PicturePtr pic = decodePicture(bytes, &error);
        if (!pic) {
            state.SkipWithError(error.c_str());
            return;
        }
        drawPicture(s, *pic, {0, 0, 100, 200});
        benchmark::DoNotOptimize(s.bits());
    }
}
BENCHMARK(BM_WidePenWmfPicture)->Unit(benchmark::kMillisecond);

} // namespace
