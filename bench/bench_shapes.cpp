// Several areas at once on big work (a 4000 x 3000 picture with 5,000
// areas): a rubber band drawn over them, 500 selected areas dragged, all of
// them aligned. Mouse and key events go to the widgets as real events.
#include "BigMapScene.h"
#include "GuiBenchmarkMain.h"

#include "canvas/Canvas.h"
#include "document/MapDocument.h"

#include <QKeyEvent>
#include <QMenu>

#include <benchmark/benchmark.h>

#include <numeric>

using namespace korvane;
using korvane::bench::processCpuMilliseconds;
using korvane::bench::reportPerMove;
using korvane::bench::Scene;

namespace {

constexpr int kMoves = 100;

// A point of the visible corner that no area covers.
QPoint emptyPoint(Scene& scene)
{
    for (int y = 5; y < 600; y += 7)
        for (int x = 5; x < 800; x += 7)
            if (scene.window.renderer().areaAt(QPointF(x, y)) < 0)
                return QPoint(x, y);
    return QPoint(1, 1);
}

void BM_RubberBand(benchmark::State& state)
{
    Scene scene;
    Canvas* canvas = scene.window.ui.Picture1;
    const QPoint start = emptyPoint(scene);
    double cpu = 0;
    for (auto _ : state) {
        const double before = processCpuMilliseconds();
        scene.send(canvas, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
        for (int i = 1; i <= kMoves; ++i) {
            scene.send(canvas, QEvent::MouseMove, start + QPoint(i * 7, i * 5), Qt::NoButton, Qt::LeftButton);
            QApplication::processEvents();
        }
        cpu += processCpuMilliseconds() - before;
        state.PauseTiming();
        // Let go outside the picture's areas' reach: a click back on the start point.
        scene.send(canvas, QEvent::MouseMove, start, Qt::NoButton, Qt::LeftButton);
        scene.send(canvas, QEvent::MouseButtonRelease, start, Qt::LeftButton, Qt::NoButton);
        QApplication::processEvents();
        state.ResumeTiming();
    }
    reportPerMove(state, cpu, kMoves);
}

void select500AroundThePolygon(Scene& scene)
{
    QList<int> rows(500);
    std::iota(rows.begin(), rows.end(), scene.selectedRow - 250);
    scene.window.document().selectRows(rows, scene.selectedRow);
    QApplication::processEvents();
}

// 500 areas around the selected polygon, held by the polygon.
void BM_Move500Selected(benchmark::State& state)
{
    Scene scene;
    select500AroundThePolygon(scene);
    Canvas* canvas = scene.window.ui.Picture1;
    const QPoint inside(160, 200);
    double cpu = 0;
    for (auto _ : state) {
        const double before = processCpuMilliseconds();
        scene.send(canvas, QEvent::MouseButtonPress, inside, Qt::LeftButton, Qt::LeftButton);
        for (int i = 0; i < kMoves; ++i) {
            const int step = i < kMoves / 2 ? i : kMoves - i; // out and back
            scene.send(canvas, QEvent::MouseMove, inside + QPoint(step, step / 2), Qt::NoButton, Qt::LeftButton);
            QApplication::processEvents();
        }
        scene.send(canvas, QEvent::MouseButtonRelease, inside, Qt::LeftButton, Qt::NoButton);
        QApplication::processEvents();
        cpu += processCpuMilliseconds() - before;
    }
    reportPerMove(state, cpu, kMoves);
}

// The same 500 moved by the arrow keys, each press one step.
void BM_KeyMove500Selected(benchmark::State& state)
{
    Scene scene;
    select500AroundThePolygon(scene);
    Canvas* canvas = scene.window.ui.Picture1;
    constexpr int kPresses = 20;
    double cpu = 0;
    for (auto _ : state) {
        const double before = processCpuMilliseconds();
        for (int i = 0; i < kPresses; ++i) {
            QKeyEvent press(QEvent::KeyPress, i < kPresses / 2 ? Qt::Key_Right : Qt::Key_Left, Qt::NoModifier);
            QApplication::sendEvent(canvas, &press);
            QApplication::processEvents();
        }
        cpu += processCpuMilliseconds() - before;
    }
    state.counters["cpu_ms_per_press"] = cpu / double(state.iterations()) / kPresses;
}

// All 5,000 aligned left on the one chosen last, redrawn; undone between runs.
void BM_AlignAll(benchmark::State& state)
{
    Scene scene;
    Canvas* canvas = scene.window.ui.Picture1;
    QKeyEvent all(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier);
    QApplication::sendEvent(canvas, &all);
    QApplication::processEvents();
    QAction* left = scene.window.findChild<QMenu*>(QStringLiteral("alignMenu"))->actions().first();
    for (auto _ : state) {
        left->trigger();
        QApplication::processEvents();
        state.PauseTiming();
        scene.window.document().undo();
        QApplication::sendEvent(canvas, &all);
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_RubberBand)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_Move500Selected)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_KeyMove500Selected)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_AlignAll)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

KORVANE_GUI_BENCHMARK_MAIN()
