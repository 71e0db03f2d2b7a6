// Every action on all areas of a big map at once (10,000 and 40,000 areas
// on a 4000 x 3000 picture, all selected with Ctrl+A): a move by a key, a
// drag, aligning, deleting, copying, and a paste of all of them into the
// map. Each must take time in proportion to the areas, never their square.
// Mouse and key events go to the widgets as real events.
#include "BigMapScene.h"
#include "GuiBenchmarkMain.h"

#include "model/StageClock.h"
#include "app/commands/AreaClipboard.h"
#include "canvas/Canvas.h"
#include "document/MapDocument.h"
#include "platform/Platform.h"

#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <benchmark/benchmark.h>

using namespace korvane;
using korvane::bench::processCpuMilliseconds;
using korvane::bench::Scene;

namespace {

// Every question answered "Ja".
class YesPlatform : public Platform {
public:
    MessageButton messageBox(QWidget*, const QString&, const QString&, MessageIcon, const QList<MessageButton>&,
                             MessageButton) override
    {
        return MessageButton::Yes;
    }
    QString fileDialog(const FileDialogRequest&) override { return {}; }
    bool openWithAssociatedProgram(const QString&) override { return true; }
    void openInTextViewer(const QString&) override {}
};

// The map with every area selected, the polygon in the middle chosen last.
struct AllSelected : Scene {
    explicit AllSelected(int areas) : Scene(true, areas)
    {
        setPlatform(std::make_unique<YesPlatform>());
        // The mouse goes through the window system, which tells whether Ctrl is held.
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window))
            qFatal("the window did not become active");
        key(Qt::Key_A, Qt::ControlModifier);
    }
    // The modifiers pressed before the key and let go after it: a mouse
    // press reads them from the last key events.
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(window.ui.Picture1, Qt::Key(key), modifiers);
        QApplication::processEvents();
    }
    // Undoes the last step and selects all again, when the step is `text`.
    bool undoStep(const char* text)
    {
        MapDocument& document = window.document();
        if (document.history().undoText() != QString::fromUtf8(text))
            return false;
        document.undo();
        QApplication::processEvents();
        if (!window.editorState().editMode)
            window.ui.Option1[3]->click(); // all deleted, the editor went back to drawing
        key(Qt::Key_A, Qt::ControlModifier);
        return true;
    }
};

void reportCpu(benchmark::State& state, double cpu)
{
    state.counters["cpu_ms"] = cpu / double(state.iterations());
}

// Times `action` on all areas; the step it makes (`step`) is undone untimed.
template <class Action>
void timeStep(benchmark::State& state, const char* step, Action action)
{
    AllSelected scene(int(state.range(0)));
    double cpu = 0;
    for (auto _ : state) {
        const double before = processCpuMilliseconds();
        action(scene);
        cpu += processCpuMilliseconds() - before;
        state.PauseTiming();
        if (!scene.undoStep(step)) {
            state.SkipWithError("no step");
            break;
        }
        state.ResumeTiming();
    }
    reportCpu(state, cpu);
}

void BM_SeveralKeyMove(benchmark::State& state)
{
    timeStep(state, "Areale verschieben", [](AllSelected& scene) { scene.key(Qt::Key_Right); });
}

// Held by the polygon chosen last, 20 moves and the release.
void BM_SeveralDrag(benchmark::State& state)
{
    timeStep(state, "Areale verschieben", [](AllSelected& scene) {
        Canvas* canvas = scene.window.ui.Picture1;
        const QPoint inside(160, 200);
        QTest::mousePress(canvas, Qt::LeftButton, {}, inside);
        for (int i = 1; i <= 20; ++i) {
            QTest::mouseMove(canvas, inside + QPoint(i, i / 2));
            QApplication::processEvents();
        }
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, inside + QPoint(20, 10));
        QApplication::processEvents();
    });
}

void BM_SeveralAlign(benchmark::State& state)
{
    timeStep(state, "Areale ausrichten", [](AllSelected& scene) {
        scene.window.findChild<QMenu*>(QStringLiteral("alignMenu"))->actions().first()->trigger();
        QApplication::processEvents();
    });
}

// Delete, the question answered "Ja".
void BM_SeveralDelete(benchmark::State& state)
{
    timeStep(state, "Areale löschen", [](AllSelected& scene) { scene.key(Qt::Key_Delete); });
}

// The copy button: the copies go to the end of the list, chosen.
void BM_SeveralCopy(benchmark::State& state)
{
    timeStep(state, "Areale kopieren", [](AllSelected& scene) {
        scene.window.ui.Command10->click();
        QApplication::processEvents();
    });
}

// All areas copied with Ctrl+C before; Ctrl+V adds them again, each moved
// 10 pixels off its original. Of its time, the redraw and the new code.
void BM_Paste(benchmark::State& state)
{
    AllSelected scene(int(state.range(0)));
    scene.key(Qt::Key_C, Qt::ControlModifier);
    stages::Record record;
    stages::install(&record);
    double cpu = 0;
    for (auto _ : state) {
        record.reset();
        const double before = processCpuMilliseconds();
        scene.key(Qt::Key_V, Qt::ControlModifier);
        cpu += processCpuMilliseconds() - before;
        state.counters["draw_ms"] += double(record.of(stages::Stage::Drawing)) / 1e6;
        state.counters["code_ms"] += double(record.of(stages::Stage::CodeBox)) / 1e6;
        state.PauseTiming();
        if (!scene.undoStep("Areale einfügen")) {
            state.SkipWithError("nothing pasted");
            break;
        }
        state.ResumeTiming();
    }
    stages::install(nullptr);
    for (const char* part : {"draw_ms", "code_ms"})
        state.counters[part] = state.counters[part] / double(state.iterations());
    reportCpu(state, cpu);
}

// The paste alone: the lines placed and added as one step, the list and the
// views of the lines following; the window's redraw and code are left out.
void BM_PasteLines(benchmark::State& state)
{
    AllSelected scene(int(state.range(0)));
    scene.key(Qt::Key_C, Qt::ControlModifier);
    MainWindow& window = scene.window;
    AreaClipboard clipboard(window.document(), {[&window] { return window.pictureSize(); }, [](const QList<int>&, int) {}});
    double cpu = 0;
    for (auto _ : state) {
        const double before = processCpuMilliseconds();
        clipboard.paste();
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

BENCHMARK(BM_SeveralKeyMove)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_SeveralDrag)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_SeveralAlign)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_SeveralDelete)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_SeveralCopy)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_PasteLines)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_Paste)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

KORVANE_GUI_BENCHMARK_MAIN()
