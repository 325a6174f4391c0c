// Time per repaint of the editing view while an object is dragged across a 1000-object
// screen (each step repainting the whole view, or only what the move invalidated,
// synchronously), and per full repaint of the view. Runs offscreen.
#include "app/drawing_tools/edit_tool.h"
#include "app/view/draw_view.h"
#include "model/app/editor_app.h"
#include "model/document/draw_doc.h"
#include "model/paint/shape_painters.h"
#include "bench/offscreen_app_bench.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

namespace {

using namespace qv;

void fillScreen(CDrawDoc& doc, int count)
{
    static const ShapeKind kinds[] = {ShapeKind::Rectangle, ShapeKind::RoundRect, ShapeKind::Ellipse,
                                      ShapeKind::Line, ShapeKind::Circle, ShapeKind::Text, ShapeKind::Pipe,
                                      ShapeKind::PipeJoint, ShapeKind::Scale, ShapeKind::Rectangle};
    for (int i = 0; i < count; ++i) {
        const int x = 38 + (i * 37) % 740, y = 38 + (i * 53) % 420;
        auto obj = std::make_unique<CDrawRect>(Rect{x, y, x + 40 + i % 20, y + 30 + i % 25});
        obj->SetKind(kinds[i % 10]);
        obj->m_penInfo = {PS_INSIDEFRAME, 1 + i % 3, 1 + i % 3, rgb(i % 255, 40, 90)};
        obj->m_brushInfo = {BS_SOLID, rgb(200, i % 255, 30), 0};
        obj->m_logfont.lfHeight = 16;
        obj->m_logfont.lfWeight = 400;
        obj->m_logfont.lfCharSet = 134;
        obj->m_strName = "温度 25.0";
        obj->SetParam(blocks::pipe::kEdgeColor, static_cast<std::int32_t>(rgb(20, 20, 80)));
        obj->SetParam(blocks::pipe::kCentreColor, static_cast<std::int32_t>(rgb(200, 200, 255)));
        obj->SetParam(blocks::scale::kMajorCount, 6);
        obj->SetParam(blocks::scale::kMinorCount, 4);
        doc.AddObject(std::move(obj));
    }
}

struct ViewBench {
    ViewBench() : app(std::filesystem::temp_directory_path())
    {
        app.m_nResWidth = 800;
        app.m_nResHeight = 480;
        fillScreen(doc, 1000);
        view = std::make_unique<CDrawView>(app, &doc, false);
        view->resize(1000, 640);
        view->show();
        QCoreApplication::processEvents();
        view->SetActive(true);
        view->viewport()->repaint();
    }
    ~ViewBench() { view.reset(); }

    CEditorApp app;
    CDrawDoc doc;
    std::unique_ptr<CDrawView> view;
};

QApplication& application() { return bench::offscreenApplication("bench_view"); }

// Drags the screen's last object to and fro across the others; `paint(view, from, to)`
// repaints after each move.
template <class Paint>
void dragAcross(benchmark::State& state, Paint&& paint)
{
    application();
    ViewBench bench;
    CDrawObj* dragged = bench.doc.m_objects.back().get();
    dragged->m_rcPosition = {60, 60, 140, 120};
    bench.view->SelectShape(dragged);
    CPointerTool& pointer = PointerTool();
    CEditTool::s_nCurShape = 0;
    Point at{100, 90};
    pointer.OnLButtonDown(*bench.view, kMkLButton, at);
    int step = 3;
    for (auto _ : state) {
        if (at.x > 760 || at.x < 80)
            step = -step;
        at = {at.x + step, at.y + (step > 0 ? 1 : -1)};
        const Rect from = dragged->m_rcPosition;
        pointer.OnMouseMove(*bench.view, kMkLButton, at);
        paint(*bench.view, from, dragged->m_rcPosition);
    }
    pointer.OnLButtonUp(*bench.view, 0, at);
    state.counters["repaints/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// Each step repaints the whole view.
void BM_DragAcross1000Objects(benchmark::State& state)
{
    dragAcross(state, [](CDrawView& view, const Rect&, const Rect&) { view.viewport()->repaint(); });
}
BENCHMARK(BM_DragAcross1000Objects)->Unit(benchmark::kMillisecond);

// Each step repaints only what the move invalidated, as the event loop would: the object's
// old and new places with its handles (5 pixels past the position, the repaint one more).
// The view is not scrolled, so document and client coordinates agree.
void BM_DragPaintingWhatMoved1000Objects(benchmark::State& state)
{
    const auto around = [](const Rect& r) { return QRect(r.left - 6, r.top - 6, r.width() + 12, r.height() + 12); };
    dragAcross(state, [&](CDrawView& view, const Rect& from, const Rect& to) {
        view.viewport()->repaint(around(from).united(around(to)));
    });
}
BENCHMARK(BM_DragPaintingWhatMoved1000Objects)->Unit(benchmark::kMillisecond);

void BM_FullRepaint1000Objects(benchmark::State& state)
{
    application();
    ViewBench bench;
    for (auto _ : state)
        bench.view->viewport()->repaint();
    state.counters["repaints/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FullRepaint1000Objects)->Unit(benchmark::kMillisecond);

} // namespace
