// Every action on one polygon of many points (1,000 and 50,000) on a
// 4000 x 3000 picture: edit mode with its handles, a click on it, a point
// dragged, a point put in and taken out, undo and redo, copy and paste.
// Each must take time in proportion to the points, never their square.
// Mouse and key events go to the widgets as real events.
#include "BigMapScene.h"
#include "GuiBenchmarkMain.h"

#include "app/commands/Snapping.h"
#include "canvas/Canvas.h"
#include "canvas/EditHandles.h"
#include "document/MapDocument.h"

#include <QKeyEvent>
#include <QRadioButton>
#include <QTest>

#include <benchmark/benchmark.h>

#include <cmath>

using namespace korvane;
using korvane::bench::processCpuMilliseconds;

namespace {

constexpr QPoint kCentre(250, 200);
// On the handle of the first point, the star's right tip.
constexpr QPoint kFirstHandle(432, 202);

// A star of `points` points around kCentre in the visible corner, its tips
// 180 pixels out and its notches 150: a traced outline's count of points.
QString starLine(int points)
{
    QStringList values;
    values.reserve(2 * points);
    for (int i = 0; i < points; ++i) {
        const double angle = 2 * M_PI * i / points;
        const double radius = i % 2 ? 150 : 180;
        values << QString::number(kCentre.x() + qRound(radius * std::cos(angle)))
               << QString::number(kCentre.y() + qRound(radius * std::sin(angle)));
    }
    return QStringLiteral(" poly                    |") + values.join(QLatin1Char(',')) +
           QStringLiteral("|stern.html|Stern|*|*|*|*");
}

// The editor with the star and a rectangle far off, the star chosen in edit mode.
struct PolygonScene {
    MainWindow window;
    Canvas* canvas = window.ui.Picture1;
    explicit PolygonScene(int points)
    {
        QImage picture(4000, 3000, QImage::Format_RGB32);
        picture.fill(Qt::white);
        canvas->setPicture(picture);
        window.layoutCanvas();
        window.show();
        window.activateWindow();
        // The mouse's moves go to the active window.
        if (!QTest::qWaitForWindowActive(&window))
            qFatal("the window did not become active");
        window.areas().setLines(
            {starLine(points), QStringLiteral(" rect                    |3000,2000,3100,2100|a|b|*|*|*|*")});
        window.enablePictureTools(EditorView::ToolsFor::Import);
        window.ui.Option1[3]->click();
        window.setSelectedIndex(0);
        QApplication::processEvents();
    }
    // Through the window system, as the keyboard's modifiers are read from there.
    void click(QPoint at, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::mouseClick(canvas, Qt::LeftButton, modifiers, at);
        QApplication::processEvents();
    }
    // A drag of `on` from `from` over 20 moves by `step`, let go.
    void drag(QWidget* on, QPoint from, QPoint step)
    {
        QTest::mousePress(on, Qt::LeftButton, {}, from);
        for (int i = 1; i <= 20; ++i) {
            QTest::mouseMove(on, from + i * step);
            QApplication::processEvents();
        }
        QTest::mouseRelease(on, Qt::LeftButton, {}, from + 20 * step);
        QApplication::processEvents();
    }
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(canvas, Qt::Key(key), modifiers);
        QApplication::processEvents();
    }
    void undo()
    {
        window.document().undo();
        QApplication::processEvents();
    }
    // Undoes the last step when it is `text`; false when the action made none.
    bool undoStep(const char* text)
    {
        if (window.document().history().undoText() != QString::fromUtf8(text))
            return false;
        undo();
        return true;
    }
};

void reportCpu(benchmark::State& state, double cpu)
{
    state.counters["cpu_ms"] = cpu / double(state.iterations());
}

// Edit mode chosen with the star's line selected: its handles are made.
void BM_PolygonEditMode(benchmark::State& state)
{
    PolygonScene scene(int(state.range(0)));
    double cpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        scene.window.ui.Option1[0]->click();
        scene.window.setSelectedIndex(0);
        QApplication::processEvents();
        state.ResumeTiming();
        const double before = processCpuMilliseconds();
        scene.window.ui.Option1[3]->click();
        QApplication::processEvents();
        cpu += processCpuMilliseconds() - before;
    }
    if (!scene.window.handles().anchor()->isVisible())
        state.SkipWithError("no handles");
    reportCpu(state, cpu);
}

// A click inside the star, chosen already: it stays chosen, nothing moves.
void BM_PolygonClick(benchmark::State& state)
{
    PolygonScene scene(int(state.range(0)));
    double cpu = 0;
    for (auto _ : state) {
        const double before = processCpuMilliseconds();
        scene.click(kCentre);
        cpu += processCpuMilliseconds() - before;
    }
    reportCpu(state, cpu);
}

// The star dragged by its body over 20 moves and let go: one step.
void BM_PolygonBodyDrag(benchmark::State& state)
{
    PolygonScene scene(int(state.range(0)));
    double cpu = 0;
    for (auto _ : state) {
        const double before = processCpuMilliseconds();
        scene.drag(scene.canvas, kCentre, QPoint(1, 1));
        cpu += processCpuMilliseconds() - before;
        state.PauseTiming();
        if (!scene.undoStep("Areal verschieben")) {
            state.SkipWithError("not moved");
            break;
        }
        state.ResumeTiming();
    }
    reportCpu(state, cpu);
}

// The first point's handle dragged over 20 moves: one step. Second argument
// 1: with snapping on, the polygon's own points and edges the nearest targets.
void BM_PolygonPointDrag(benchmark::State& state)
{
    PolygonScene scene(int(state.range(0)));
    scene.window.snapping().setOn(state.range(1) != 0);
    double cpu = 0;
    for (auto _ : state) {
        const double before = processCpuMilliseconds();
        scene.drag(scene.canvas, kFirstHandle, QPoint(1, 0));
        cpu += processCpuMilliseconds() - before;
        state.PauseTiming();
        if (!scene.undoStep("Form ändern")) {
            state.SkipWithError("no point moved");
            break;
        }
        state.ResumeTiming();
    }
    reportCpu(state, cpu);
}

// Ctrl + click on an edge near the first point puts a point there; the undo is not timed.
void BM_PolygonPointInsert(benchmark::State& state)
{
    PolygonScene scene(int(state.range(0)));
    const QPoint onEdge = kCentre + QPoint(165, 0); // between the first tip and the next notch
    double cpu = 0;
    for (auto _ : state) {
        const double before = processCpuMilliseconds();
        scene.click(onEdge, Qt::ControlModifier);
        cpu += processCpuMilliseconds() - before;
        state.PauseTiming();
        if (!scene.undoStep("Punkt einfügen")) {
            state.SkipWithError("no point put in");
            break;
        }
        state.ResumeTiming();
    }
    reportCpu(state, cpu);
}

// Delete with the pointer on the first point's handle takes that point; the
// undo is not timed.
void BM_PolygonPointDelete(benchmark::State& state)
{
    PolygonScene scene(int(state.range(0)));
    double cpu = 0;
    for (auto _ : state) {
        QTest::mouseMove(scene.canvas, kFirstHandle);
        const double before = processCpuMilliseconds();
        scene.key(Qt::Key_Delete);
        cpu += processCpuMilliseconds() - before;
        state.PauseTiming();
        if (!scene.undoStep("Punkt entfernen")) {
            state.SkipWithError("no point taken out");
            break;
        }
        state.ResumeTiming();
    }
    reportCpu(state, cpu);
}

// Undo and redo of a point drag, each with its redraw and handles.
void BM_PolygonUndoRedo(benchmark::State& state)
{
    PolygonScene scene(int(state.range(0)));
    scene.drag(scene.canvas, kFirstHandle, QPoint(1, 0));
    double cpu = 0;
    for (auto _ : state) {
        const double before = processCpuMilliseconds();
        scene.undo();
        scene.window.document().redo();
        QApplication::processEvents();
        cpu += processCpuMilliseconds() - before;
    }
    reportCpu(state, cpu);
}

// Ctrl+C and Ctrl+V on the canvas: the copy moves 10 pixels and is chosen
// with its handles; the undo is not timed.
void BM_PolygonCopyPaste(benchmark::State& state)
{
    PolygonScene scene(int(state.range(0)));
    double cpu = 0;
    for (auto _ : state) {
        scene.window.setSelectedIndex(0);
        QApplication::processEvents();
        const double before = processCpuMilliseconds();
        scene.key(Qt::Key_C, Qt::ControlModifier);
        scene.key(Qt::Key_V, Qt::ControlModifier);
        cpu += processCpuMilliseconds() - before;
        state.PauseTiming();
        if (!scene.undoStep("Areale einfügen")) {
            state.SkipWithError("nothing pasted");
            break;
        }
        state.ResumeTiming();
    }
    reportCpu(state, cpu);
}

} // namespace

BENCHMARK(BM_PolygonEditMode)->Arg(1000)->Arg(50000)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_PolygonClick)->Arg(1000)->Arg(50000)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_PolygonBodyDrag)->Arg(1000)->Arg(50000)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_PolygonPointDrag)->Args({1000, 0})->Args({50000, 0})->Args({1000, 1})->Args({50000, 1})->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_PolygonPointInsert)->Arg(1000)->Arg(50000)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_PolygonPointDelete)->Arg(1000)->Arg(50000)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_PolygonUndoRedo)->Arg(1000)->Arg(50000)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_PolygonCopyPaste)->Arg(1000)->Arg(50000)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

KORVANE_GUI_BENCHMARK_MAIN()
