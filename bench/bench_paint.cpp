// Time per full repaint of a 1000-object screen (shapes, text, pictures, pipes, scales)
// on an 800 x 480 surface with its two work surfaces.
#include "model/paint/paint_dispatch.h"
#include "model/paint/shape_painters.h"
#include "model/shape/draw_obj.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

using namespace qv;

std::vector<std::unique_ptr<CDrawObj>> makeScreen(int count)
{
    static const ShapeKind kinds[] = {ShapeKind::Rectangle, ShapeKind::RoundRect, ShapeKind::Ellipse,
                                      ShapeKind::Line, ShapeKind::Circle, ShapeKind::Picture, ShapeKind::Text,
                                      ShapeKind::Pipe, ShapeKind::PipeJoint, ShapeKind::Scale};
    std::vector<std::unique_ptr<CDrawObj>> objs;
    for (int i = 0; i < count; ++i) {
        const int x = (i * 37) % 740, y = (i * 53) % 420;
        auto obj = std::make_unique<CDrawRect>(Rect{x, y, x + 40 + i % 20, y + 30 + i % 25});
        obj->SetKind(kinds[i % 10]);
        obj->m_bHasPen = 1;
        obj->m_penInfo = {PS_INSIDEFRAME, 1 + i % 3, 1 + i % 3, rgb(i % 255, 40, 90)};
        obj->m_bHasBrush = 1;
        obj->m_brushInfo = {BS_SOLID, rgb(200, i % 255, 30), 0};
        obj->m_logfont.lfHeight = 16;
        obj->m_logfont.lfWeight = 400;
        obj->m_logfont.lfCharSet = 134;
        obj->m_strName = "温度 25.0";
        obj->m_strFiles = {"\\UserPicture\\p.bmp"};
        obj->m_bTransparent = i % 20 == 5;
        obj->m_clrTransparent = 0x00FFFFFF;
        obj->SetParam(blocks::rectangle::kBorderWidth, i % 4);
        obj->SetParam(blocks::rectangle::kBorder3dWord, 1);
        obj->SetParam(blocks::rectangle::kFillColor, static_cast<std::int32_t>(rgb(10, 200, i % 255)));
        obj->SetParam(blocks::pipe::kEdgeColor, static_cast<std::int32_t>(rgb(20, 20, 80)));
        obj->SetParam(blocks::pipe::kCentreColor, static_cast<std::int32_t>(rgb(200, 200, 255)));
        obj->SetParam(blocks::pipe::kOrientation, i % 4);
        obj->SetParam(blocks::scale::kMajorCount, 6);
        obj->SetParam(blocks::scale::kMinorCount, 4);
        obj->SetParam(blocks::scale::kMajorThickness, 2);
        obj->SetParam(blocks::scale::kMinorThickness, 1);
        objs.push_back(std::move(obj));
    }
    return objs;
}

void BM_PaintFullScreen1000Objects(benchmark::State& state)
{
    auto objects = makeScreen(1000);
    auto picture = std::make_shared<Picture>();
    picture->pixels.reset(64, 48, 0x00FFFFFF);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            picture->pixels.setPixel(x, y, rgb(x * 4, y * 5, 128));
    PaintContext ctx;
    ctx.projectDir = "/project";
    ctx.loadPicture = [&](const std::filesystem::path&) -> PicturePtr { return picture; };
    Surface target(800, 480), work1(800, 480), work2(800, 480);
    for (auto _ : state) {
        target.clear(0x00FFFF00);
        PaintAll(objects, {target, &work1, &work2}, ctx);
        benchmark::DoNotOptimize(target.bits());
    }
    state.counters["repaints/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PaintFullScreen1000Objects)->Unit(benchmark::kMillisecond);

} // namespace
