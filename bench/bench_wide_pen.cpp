// Time of one line drawn with a pen from a hostile file (width 20000, and the WMF case of
// 29812), across and far past an 800 x 480 surface, next to a line of an ordinary pen.
#include "platform/surface/surface.h"

#include <benchmark/benchmark.h>

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

} // namespace
