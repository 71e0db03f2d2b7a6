// The table of areas with 50,000 areas open: what one change of the map
// (drawing, moving, deleting, an undo, the undo of "clear") costs the table,
// its sorting proxy and its view, repaint included; in list order, sorted by
// the link, and filtered.
#include "GuiBenchmarkMain.h"

#include "app/IniFile.h"
#include "windows/AreaTableWindow.h"
#include "document/MapDocument.h"

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace korvane;

namespace {

constexpr int kAreas = 50'000;

QStringList manyAreas()
{
    const QString pad = QStringLiteral("                    |");
    QStringList lines;
    lines.reserve(kAreas);
    for (int i = 0; i < kAreas; ++i) {
        const int x = (i * 37) % 3900, y = (i * 91) % 2900;
        lines << QStringLiteral(" rect") + pad + QStringLiteral("%1,%2,%3,%4").arg(x).arg(y).arg(x + 40).arg(y + 30) +
                     QStringLiteral("|seite%1.html|Seite %2|*|*|*|*").arg(i % 997).arg(i);
    }
    return lines;
}

// The document with its table shown; arg 0: the sort column (-1: list
// order), arg 1: 1 for a filter that lets a tenth of the rows through.
struct TableScene {
    QTemporaryDir settings;
    QWidget owner;
    MapDocument document;
    AreaTableWindow* table;

    explicit TableScene(const benchmark::State& state)
    {
        setSettingsFileOverride(settings.filePath(QStringLiteral("Korvane.ini")));
        document.areas().setLines(manyAreas());
        table = new AreaTableWindow(document, {}, &owner);
        table->show();
        if (state.range(0) >= 0)
            table->view()->sortByColumn(int(state.range(0)), Qt::AscendingOrder);
        if (state.range(1))
            table->filterField()->setText(QStringLiteral("seite1"));
        document.select(kAreas / 2);
        QApplication::processEvents();
    }
    ~TableScene() { setSettingsFileOverride(QString()); }
};

void perChange(benchmark::State& state, int changesPerIteration)
{
    // Seconds per 1000 changes: milliseconds per change (printed with an "s").
    state.counters["ms_per_change"] = benchmark::Counter(
        changesPerIteration / 1000.0, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// A new area at the end, and its undo.
void BM_TableDrawAndUndo(benchmark::State& state)
{
    TableScene scene(state);
    const QString line = QStringLiteral(" rect                    |5,5,50,50|neu.html|Neu|*|*|*|*");
    for (auto _ : state) {
        scene.document.drawArea(line);
        QApplication::processEvents();
        scene.document.undo();
        QApplication::processEvents();
    }
    perChange(state, 2);
}

// A move of the selected area by a key: one line rewritten.
void BM_TableMove(benchmark::State& state)
{
    TableScene scene(state);
    const int row = kAreas / 2;
    AreaList& areas = scene.document.areas();
    int step = 0;
    for (auto _ : state) {
        const QString before = areas.line(row);
        areas.replace(
            row, QStringLiteral(" rect                    |%1,10,60,60|seite1.html|Seite|*|*|*|*").arg(++step % 50));
        scene.document.recordKeyMove(row, before);
        QApplication::processEvents();
    }
    perChange(state, 1);
}

// The selected area deleted in the middle of the list, and brought back.
void BM_TableDeleteAndUndo(benchmark::State& state)
{
    TableScene scene(state);
    for (auto _ : state) {
        scene.document.deleteArea(kAreas / 2);
        QApplication::processEvents();
        scene.document.undo();
        QApplication::processEvents();
    }
    perChange(state, 2);
}

// "clear" and its undo: the whole table goes and comes back.
void BM_TableClearAndUndo(benchmark::State& state)
{
    TableScene scene(state);
    for (auto _ : state) {
        scene.document.deleteAll();
        QApplication::processEvents();
        scene.document.undo();
        QApplication::processEvents();
    }
    perChange(state, 2);
}

void tableArgs(benchmark::internal::Benchmark* b)
{
    b->Args({-1, 0})
        ->Args({2, 0})
        ->Args({1, 0})
        ->Args({2, 1})
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MeasureProcessCPUTime();
}

} // namespace

BENCHMARK(BM_TableDrawAndUndo)->Apply(tableArgs);
BENCHMARK(BM_TableMove)->Apply(tableArgs);
BENCHMARK(BM_TableDeleteAndUndo)->Apply(tableArgs);
BENCHMARK(BM_TableClearAndUndo)->Apply(tableArgs);

KORVANE_GUI_BENCHMARK_MAIN();
