// Map code generation over lists of mixed areas.
#include "document/MapDocument.h"
#include "model/AreaEntry.h"
#include "model/MapCode.h"
#include "model/ResponsiveCode.h"

#include <benchmark/benchmark.h>

namespace {

QStringList mixedAreas(int count)
{
    using korvane::entry::makeLine;
    QStringList lines;
    lines.reserve(count);
    for (int i = 0; i < count; ++i) {
        const int x = (i * 37) % 3900, y = (i * 53) % 2900;
        const korvane::LinkAttributes link{QStringLiteral("seite%1.html").arg(i),
                                           QStringLiteral("Bereich %1").arg(i),
                                           i % 3 ? QStringLiteral("*") : QStringLiteral("_blank"),
                                           QStringLiteral("*"),
                                           QStringLiteral("*"),
                                           i % 5 ? QStringLiteral("*") : QStringLiteral("alert('x')")};
        switch (i % 3) {
        case 0:
            lines << makeLine(" ", "rect", QStringLiteral("%1,%2,%3,%4").arg(x).arg(y).arg(x + 80).arg(y + 60), link);
            break;
        case 1:
            lines << makeLine(" ", "circle", QStringLiteral("%1,%2,%3").arg(x).arg(y).arg(25), link);
            break;
        default: {
            QList<int> points;
            for (int k = 0; k < 12; ++k)
                points << x + (k * 7) % 90 << y + (k * 11) % 70;
            lines << makeLine(" ", "poly", korvane::entry::coordinateText(points), link);
        }
        }
    }
    return lines;
}

void BM_map_daten(benchmark::State& state)
{
    const QStringList lines = mixedAreas(static_cast<int>(state.range(0)));
    const QString image = QStringLiteral("/home/anna/Web Bilder/Lageplan Süd.png");
    for (auto _ : state) {
        QString code = korvane::map_daten(lines, image, QString(), QSize(4000, 3000));
        benchmark::DoNotOptimize(code);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The responsive form of the same areas: the overlap test of every pair and
// the clip paths of the areas that meet an earlier one.
void BM_responsiveCode(benchmark::State& state)
{
    const korvane::ResponsiveMap map{mixedAreas(static_cast<int>(state.range(0))), QStringLiteral("Lageplan%20S%C3%BCd.png"),
                                     QStringLiteral("lageplan_sued"), QSize(4000, 3000), korvane::FitMode::Fill};
    qsizetype size = 0;
    for (auto _ : state) {
        QString code = korvane::responsiveCode(map);
        size = code.size();
        benchmark::DoNotOptimize(code);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["characters"] = double(size);
}

} // namespace

// The saved-state check of a big map, done a second after every change:
// the fingerprint of its code made from the lines against the one of the
// code text it stood for until now.
void BM_codeFingerprint(benchmark::State& state)
{
    const korvane::AreaLines lines(mixedAreas(static_cast<int>(state.range(0))));
    const korvane::MapCodeSource source(lines, QStringLiteral("/b/plan.png"), QString(), QSize(4000, 3000));
    const bool fromLines = state.range(1) != 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(fromLines ? source.fingerprint() : korvane::codeFingerprint(source.text()));
}

// The whole check of a big map that is saved, the worst case: the code
// matches, so the lines' own fingerprint is made as well (areas never written
// are unsaved whatever the code box shows).
void BM_savedStateCheck(benchmark::State& state)
{
    korvane::MapDocument document;
    document.areas().setLines(korvane::AreaLines(mixedAreas(static_cast<int>(state.range(0)))));
    document.setCodeSource([&document] {
        return korvane::MapCodeSource(document.areas().lines(), QStringLiteral("/b/plan.png"), QString(),
                                      QSize(4000, 3000))
            .fingerprint();
    });
    document.markSaved();
    bool saved = false;
    for (auto _ : state)
        benchmark::DoNotOptimize(saved = document.mapSaved());
    if (!saved)
        state.SkipWithError("not saved");
}

BENCHMARK(BM_savedStateCheck)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_codeFingerprint)->ArgsProduct({{1'000'000}, {0, 1}})->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_map_daten)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_responsiveCode)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
