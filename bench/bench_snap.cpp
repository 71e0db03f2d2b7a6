// Snapping among 5,000 areas (a 4000 x 3000 picture): the pointer moved over
// the picture with the rectangle tool ready, each move snapped and marked;
// the anchor of the selected polygon dragged with snapping on and off; the
// search alone, and the index made anew for the whole list.
#include "BigMapScene.h"
#include "GuiBenchmarkMain.h"

#include "app/commands/Snapping.h"
#include "canvas/AreaGeometry.h"
#include "canvas/Canvas.h"
#include "canvas/EditHandles.h"
#include "canvas/PolygonEdit.h"
#include "canvas/SnapIndex.h"

#include <QRadioButton>

#include <benchmark/benchmark.h>

using namespace korvane;
using korvane::bench::processCpuMilliseconds;
using korvane::bench::reportPerMove;
using korvane::bench::Scene;

namespace {

constexpr int kMoves = 200;

// A path across the visible corner, where areas lie close together.
QPoint pathPoint(int i)
{
    return QPoint(20 + (i * 7) % 760, 20 + (i * 5) % 560);
}

// The pointer moved with the rectangle tool ready: each move is snapped and
// the target marked (the index is up to date after the first).
void BM_SnapPointerMove(benchmark::State& state)
{
    Scene scene;
    scene.window.snapping().setOn(true);
    scene.window.ui.Option1[1]->setEnabled(true);
    scene.window.ui.Option1[1]->click();
    Canvas* canvas = scene.window.ui.Picture1;
    scene.send(canvas, QEvent::MouseMove, QPoint(1, 1), Qt::NoButton, Qt::NoButton);
    QApplication::processEvents();
    int caught = 0;
    double cpu = 0;
    for (auto _ : state) {
        const double before = processCpuMilliseconds();
        for (int i = 0; i < kMoves; ++i) {
            scene.send(canvas, QEvent::MouseMove, pathPoint(i), Qt::NoButton, Qt::NoButton);
            caught += canvas->mark().has_value();
            QApplication::processEvents();
        }
        cpu += processCpuMilliseconds() - before;
    }
    reportPerMove(state, cpu, kMoves);
    state.counters["caught_share"] = double(caught) / double(state.iterations()) / kMoves;
}

// The selected polygon's anchor dragged (as in bench_drag), snapping on or off.
void BM_SnapAnchorDrag(benchmark::State& state)
{
    Scene scene;
    scene.window.snapping().setOn(state.range(0) != 0);
    QApplication::processEvents();
    HandleWidget* anchor = scene.window.handles().anchor();
    double cpu = 0;
    for (auto _ : state) {
        const double before = processCpuMilliseconds();
        scene.send(anchor, QEvent::MouseButtonPress, QPoint(0, 0), Qt::LeftButton, Qt::LeftButton);
        for (int i = 0; i < kMoves; ++i) {
            const int step = i < kMoves / 2 ? 3 : -3;
            scene.send(anchor, QEvent::MouseMove, QPoint(step, step / 3 * 2), Qt::NoButton, Qt::LeftButton);
            QApplication::processEvents();
        }
        scene.send(anchor, QEvent::MouseButtonRelease, QPoint(0, 0), Qt::LeftButton, Qt::NoButton);
        QApplication::processEvents();
        cpu += processCpuMilliseconds() - before;
    }
    reportPerMove(state, cpu, kMoves);
}

// The search alone: one point and a moved polygon's twelve, at 100 %.
void BM_SnapSearch(benchmark::State& state)
{
    SnapIndex index;
    index.setPictureSize(QSize(4000, 3000));
    index.setGrid(10);
    const QStringList lines = korvane::bench::bigAreaList();
    index.reset(int(lines.size()));
    for (int row = 0; row < lines.size(); ++row)
        index.setArea(row, parseArea(lines[row]));
    const QVector<QPoint> polygon = SnapIndex::pointsOf(parseArea(lines[2]));
    int i = 0;
    for (auto _ : state) {
        const QPoint by = pathPoint(i++) * 4;
        benchmark::DoNotOptimize(index.snap(QPointF(by), kCatchPixels, 2));
        QVector<QPoint> moved = polygon;
        for (QPoint& p : moved)
            p += by - polygon.first();
        benchmark::DoNotOptimize(index.shift(moved, kCatchPixels, 2));
    }
}

// The whole index made anew, as after a new list or an import.
void BM_SnapIndexBuild(benchmark::State& state)
{
    const QStringList lines = korvane::bench::bigAreaList();
    QVector<AreaGeometry> shapes;
    for (const QString& line : lines)
        shapes << parseArea(line);
    for (auto _ : state) {
        SnapIndex index;
        index.setPictureSize(QSize(4000, 3000));
        index.reset(int(shapes.size()));
        for (int row = 0; row < shapes.size(); ++row)
            index.setArea(row, shapes[row]);
        benchmark::DoNotOptimize(index.rows());
    }
}

} // namespace

BENCHMARK(BM_SnapPointerMove)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_SnapAnchorDrag)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_SnapSearch)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SnapIndexBuild)->Unit(benchmark::kMillisecond);

KORVANE_GUI_BENCHMARK_MAIN()
