// Zooming and pointing on big work: a 4000 x 3000 picture with 5,000 areas.
// A zoom step is measured up to the repainted canvas; finding the area under
// the pointer is the hit test a press in edit mode runs. A picture fitted
// into the view far below the smallest step: its repaint, and the first one
// that makes the reduced copy (also of the largest picture, 10,000 x 10,000).
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

// The whole fitted canvas painted again, as a drag's end or an undo paints it.
void BM_FittedRepaint(benchmark::State& state)
{
    Scene scene;
    scene.window.zoom().fitToView();
    Canvas* canvas = scene.window.ui.Picture1;
    canvas->repaint(); // the reduced copy is made once
    for (auto _ : state)
        canvas->repaint();
    state.counters["zoom_percent"] = canvas->zoomFactor() * 100;
}

// Fitting a picture of the largest allowed size: the zoom and the first
// repaint, which halves the picture as often as the zoom allows.
void BM_FitLargestPicture(benchmark::State& state)
{
    MainWindow window;
    QImage picture(10000, 10000, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    window.ui.Picture1->setPicture(std::move(picture));
    window.layoutCanvas();
    window.show();
    QApplication::processEvents();
    for (auto _ : state) {
        window.zoom().fitToView();
        window.ui.Picture1->repaint();
        state.PauseTiming();
        window.zoom().zoomTo(100, QPoint());
        window.ui.Picture1->setPicture(window.ui.Picture1->picture()); // a fresh picture: no reduced copy yet
        QApplication::processEvents();
        state.ResumeTiming();
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
BENCHMARK(BM_FittedRepaint)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FitLargestPicture)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

KORVANE_GUI_BENCHMARK_MAIN()
