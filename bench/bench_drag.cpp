// Replays a handle drag on big work: a 4000 x 3000 picture with 5,000 areas,
// at 100 % and zoomed. Every move goes to the handle as a real mouse event, so
// it takes the path of the user's drag: handle movement, write-back of the
// line, redraw and the repaint of the visible part.
#include "BigMapScene.h"
#include "GuiBenchmarkMain.h"

#include "app/ZoomControls.h"
#include "canvas/EditHandles.h"

#include <benchmark/benchmark.h>

using namespace korvane;
using korvane::bench::processCpuMilliseconds;
using korvane::bench::Scene;

namespace {

constexpr int kMoves = 200;

void dragAnchor(benchmark::State& state, bool partial, int zoom, int areas = 5000)
{
    Scene scene(partial, areas);
    scene.window.zoom().zoomTo(zoom, QPoint(0, 0)); // the dragged polygon stays in view
    QApplication::processEvents();
    HandleWidget* anchor = scene.window.handles().anchor();
    double cpu = 0;
    for (auto _ : state) {
        const double cpuBefore = processCpuMilliseconds();
        scene.send(anchor, QEvent::MouseButtonPress, QPoint(0, 0), Qt::LeftButton, Qt::LeftButton);
        for (int i = 0; i < kMoves; ++i) {
            const int step = i < kMoves / 2 ? 3 : -3; // out and back, staying on the picture
            scene.send(anchor, QEvent::MouseMove, QPoint(step, step / 3 * 2), Qt::NoButton, Qt::LeftButton);
            QApplication::processEvents(); // the repaint a real move is followed by
        }
        scene.send(anchor, QEvent::MouseButtonRelease, QPoint(0, 0), Qt::LeftButton, Qt::NoButton);
        QApplication::processEvents();
        cpu += processCpuMilliseconds() - cpuBefore;
    }
    // The machine is shared: CPU time says more than the wall clock.
    state.counters["cpu_ms_per_move"] = cpu / double(state.iterations()) / kMoves;
    // Seconds per (moves / 1000): milliseconds per move (printed with an "s").
    state.counters["ms_per_move"] = benchmark::Counter(kMoves / 1000.0, benchmark::Counter::kIsIterationInvariantRate |
                                                                            benchmark::Counter::kInvert);
}

// The argument is the zoom in percent.
void BM_HandleDrag(benchmark::State& state)
{
    dragAnchor(state, true, int(state.range(0)));
}
void BM_HandleDragFullRedraw(benchmark::State& state)
{
    dragAnchor(state, false, 100);
}
// Among 100 areas, at 100 % (goal: 0.5 ms of CPU a move).
void BM_HandleDrag100Areas(benchmark::State& state)
{
    dragAnchor(state, true, 100, 100);
}

} // namespace

BENCHMARK(BM_HandleDrag)->Arg(100)->Arg(25)->Arg(400)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_HandleDrag100Areas)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_HandleDragFullRedraw)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

KORVANE_GUI_BENCHMARK_MAIN()
