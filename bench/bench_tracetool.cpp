// Umriss through the window, on the 4000 x 3000 floor plan of 200 rooms that
// bench_trace measures the tracer on: what the window adds to the tracing.
// - a click in a room the pointer rests in (the preview already grown), from
//   the press to the area in the list, drawn and in the code (goal: <= 50 ms of CPU);
// - a pointer move that stays in the room (goal: <= 16 ms) and one that
//   crosses into another room, each with the canvas painted again;
// - every room at once through "Alle Regionen dieser Farbe", one step (goal: <= 1 s).
#include "BigMapScene.h"
#include "GuiBenchmarkMain.h"

#include "app/TraceControls.h"
#include "canvas/Canvas.h"
#include "tools/TraceTool.h"

#include <QPainter>

#include "FloorPlan.h"

#include <benchmark/benchmark.h>

using namespace korvane;
using korvane::bench::processCpuMilliseconds;
using korvane::bench::reportPerMove;
using namespace korvane::bench::floorplan;

namespace {

constexpr int kMoves = 100;

// The window with the plan and Umriss chosen; the link dialog accepts at once.
struct TraceScene {
    MainWindow window;
    TraceScene()
    {
        window.ui.Picture1->setPicture(plainPlan());
        window.layoutCanvas();
        window.enablePictureTools(EditorView::ToolsFor::Picture);
        window.linkDialog = [] { return true; };
        window.state().link.href = QStringLiteral("raum.html");
        window.show();
        window.chooseTrace();
        QApplication::processEvents();
    }
    Canvas* canvas() { return window.ui.Picture1; }
    TraceTool& tool() { return window.findChild<TraceControls*>()->tool(); }
    void send(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
    {
        QMouseEvent event(type, QPointF(at), QPointF(canvas()->mapToGlobal(at)), button, held, Qt::NoModifier);
        QApplication::sendEvent(canvas(), &event);
    }
};

// Rooms in the part of the plan the view shows at 100 %.
int visibleRoom(int i)
{
    return (i % 4) + kColumns * ((i / 4) % 3);
}

void BM_TraceToolClick(benchmark::State& state)
{
    TraceScene scene;
    double cpu = 0;
    int made = 0, clicks = 0;
    for (auto _ : state) {
        const QPoint at = roomCentre(visibleRoom(clicks++));
        state.PauseTiming();
        scene.send(QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton); // the preview, as the pointer came
        QApplication::processEvents();
        state.ResumeTiming();
        const double before = processCpuMilliseconds();
        scene.send(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        scene.send(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
        QApplication::processEvents();
        cpu += processCpuMilliseconds() - before;
        state.PauseTiming();
        made += scene.window.areas().count();
        scene.window.document().undo();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["cpu_ms_per_click"] = cpu / double(state.iterations());
    state.counters["areas_made"] = double(made) / double(state.iterations());
}

// `across`: every move into the next room (a new region grown), else within one room.
void BM_TraceToolPreviewMove(benchmark::State& state)
{
    const bool across = state.range(0) != 0;
    TraceScene scene;
    double cpu = 0;
    int shown = 0;
    for (auto _ : state) {
        const double before = processCpuMilliseconds();
        for (int i = 0; i < kMoves; ++i) {
            const QPoint at = across ? roomCentre(visibleRoom(i)) : roomCentre(0) + QPoint(i % 60 - 30, i % 40 - 20);
            scene.send(QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
            QApplication::processEvents();
            shown += !scene.tool().previewPolygon().isEmpty();
        }
        cpu += processCpuMilliseconds() - before;
    }
    reportPerMove(state, cpu, kMoves);
    state.counters["shown_share"] = double(shown) / double(state.iterations()) / kMoves;
}

void BM_TraceToolAllRooms(benchmark::State& state)
{
    TraceScene scene;
    double cpu = 0;
    int made = 0;
    for (auto _ : state) {
        const double before = processCpuMilliseconds();
        scene.tool().traceColourAt(QPointF(roomCentre(0)));
        QApplication::processEvents();
        cpu += processCpuMilliseconds() - before;
        state.PauseTiming();
        made += scene.window.areas().count();
        scene.window.document().undo();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["cpu_ms_all_rooms"] = cpu / double(state.iterations());
    state.counters["areas_made"] = double(made) / double(state.iterations());
}

} // namespace

BENCHMARK(BM_TraceToolClick)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_TraceToolPreviewMove)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_TraceToolAllRooms)->Unit(benchmark::kMillisecond)->Iterations(3);

KORVANE_GUI_BENCHMARK_MAIN();
