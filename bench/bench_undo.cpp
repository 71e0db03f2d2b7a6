// Undo and redo of one step on big work (5,000 areas on a 4000 x 3000
// picture), each with the redraw, the new code and the repaint that follow;
// and what 500 handle drags add to the process as steps of the history.
#include "BigMapScene.h"
#include "GuiBenchmarkMain.h"

#include "canvas/EditHandles.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

using namespace korvane;
using korvane::bench::Scene;

namespace {

// One whole drag of the selected polygon's anchor: one step.
void dragAnchor(Scene& scene, QPoint by)
{
    HandleWidget* anchor = scene.window.handles().anchor();
    scene.send(anchor, QEvent::MouseButtonPress, QPoint(0, 0), Qt::LeftButton, Qt::LeftButton);
    scene.send(anchor, QEvent::MouseMove, by / 2, Qt::NoButton, Qt::LeftButton);
    scene.send(anchor, QEvent::MouseMove, by - by / 2, Qt::NoButton, Qt::LeftButton);
    scene.send(anchor, QEvent::MouseButtonRelease, QPoint(0, 0), Qt::LeftButton, Qt::NoButton);
    QApplication::processEvents();
}

void undoAndRedo(benchmark::State& state, Scene& scene)
{
    MapDocument& document = scene.window.document();
    for (auto _ : state) {
        document.undo();
        QApplication::processEvents(); // the repaint
        document.redo();
        QApplication::processEvents();
    }
    // Seconds per 1000 steps: milliseconds per undo or redo (printed with an "s").
    state.counters["ms_per_step"] =
        benchmark::Counter(2 / 1000.0, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Edit mode: the moved polygon is selected again with its handles.
void BM_UndoRedoMove(benchmark::State& state)
{
    Scene scene;
    dragAnchor(scene, QPoint(6, 4));
    undoAndRedo(state, scene);
}

// The deleted area comes back selected; redoing it removes it again.
void BM_UndoRedoDelete(benchmark::State& state)
{
    Scene scene;
    scene.window.document().deleteArea(scene.selectedRow);
    scene.window.refresh();
    QApplication::processEvents();
    undoAndRedo(state, scene);
}

qint64 residentBytes()
{
    long pages = 0, resident = 0;
    if (FILE* f = fopen("/proc/self/statm", "r")) {
        if (fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        fclose(f);
    }
    return qint64(resident) * sysconf(_SC_PAGESIZE);
}

void BM_MemoryOf500DragSteps(benchmark::State& state)
{
    Scene scene;
    dragAnchor(scene, QPoint(4, 4)); // caches and buffers of the first drag are not history
    for (auto _ : state) {
        const qint64 before = residentBytes();
        for (int i = 0; i < 500; ++i)
            dragAnchor(scene, i % 2 ? QPoint(-4, -2) : QPoint(4, 2));
        state.counters["MB_added"] = double(residentBytes() - before) / (1024 * 1024);
        state.counters["steps"] = scene.window.document().history().count();
    }
}

} // namespace

BENCHMARK(BM_UndoRedoMove)->Unit(benchmark::kMillisecond)->Iterations(20)->UseRealTime();
BENCHMARK(BM_UndoRedoDelete)->Unit(benchmark::kMillisecond)->Iterations(20)->UseRealTime();
BENCHMARK(BM_MemoryOf500DragSteps)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

KORVANE_GUI_BENCHMARK_MAIN()
