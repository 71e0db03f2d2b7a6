// Zooming and pointing on big work: a 4000 x 3000 picture with 5,000 areas.
// A zoom step is measured up to the repainted canvas; finding the area under
// the pointer is the hit test a press in edit mode runs.
#include "BigMapScene.h"
#include "GuiBenchmarkMain.h"

#include "app/ZoomControls.h"
#include "canvas/HitTest.h"
#include "canvas/Zoom.h"

#include <benchmark/benchmark.h>

#include <random>

using namespace korvane;
using korvane::bench::Scene;

namespace {

// One step to the zoom in the argument (from the step below it), repainted.
void BM_ZoomStep(benchmark::State& state)
{
    Scene scene;
    const int percent = int(state.range(0));
    const int from = percent == zoom::kSteps.front() ? zoom::stepIn(percent) : zoom::stepOut(percent);
    const QPoint middle = scene.window.ui.picContainer->rect().center();
    for (auto _ : state) {
        state.PauseTiming();
        scene.window.zoom().zoomTo(from, middle);
        QApplication::processEvents();
        state.ResumeTiming();
        scene.window.zoom().zoomTo(percent, middle);
        QApplication::processEvents(); // the repaint
    }
}

// Random points on the picture: most lie outside every area, so the whole
// list is looked through.
void BM_AreaUnderPointer(benchmark::State& state)
{
    QVector<AreaGeometry> shapes;
    for (const QString& line : bench::bigAreaList())
        shapes << parseArea(line);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> x(0, 3999), y(0, 2999);
    QVector<QPointF> points;
    for (int i = 0; i < 1000; ++i)
        points << QPointF(x(random), y(random));
    qsizetype i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(areaAt(shapes, points[i++ % points.size()]));
}

} // namespace

BENCHMARK(BM_ZoomStep)->Arg(25)->Arg(50)->Arg(100)->Arg(200)->Arg(800)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_AreaUnderPointer)->Unit(benchmark::kMicrosecond);

KORVANE_GUI_BENCHMARK_MAIN()
