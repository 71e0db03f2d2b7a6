// Map code generation over lists of mixed areas.
#include "canvas/AreaGeometry.h"
#include "document/MapDocument.h"
#include "model/AreaEntry.h"
#include "model/MapCode.h"
#include "model/ResponsiveCode.h"

#include "PeakMemory.h"

#include <benchmark/benchmark.h>

#include <vector>

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

// Small areas crowded on a picture of 1000 x 750, a rectangle, a circle or a
// polygon by turns, each overlapping a few hundred others; `links` > 0: they
// share that many links (the responsive form's groups).
QStringList overlappingAreas(int count, int links = 0)
{
    using korvane::entry::makeLine;
    QStringList lines;
    lines.reserve(count);
    for (int i = 0; i < count; ++i) {
        const int x = int((i * 7919LL) % 940), y = int((i * 104729LL) % 690);
        const int n = links > 0 ? i % links : i;
        const korvane::LinkAttributes link{QStringLiteral("teil%1.html").arg(n), QStringLiteral("Teil %1").arg(n),
                                           QStringLiteral("*"), QStringLiteral("*"), QStringLiteral("*"),
                                           QStringLiteral("*")};
        const QString coords = i % 3 == 0   ? QStringLiteral("%1,%2,%3,%4").arg(x).arg(y).arg(x + 60).arg(y + 60)
                               : i % 3 == 1 ? QStringLiteral("%1,%2,30").arg(x + 30).arg(y + 30)
                                            : QStringLiteral("%1,%2,%3,%2,%4,%5").arg(x).arg(y).arg(x + 60).arg(x + 30).arg(y + 60);
        lines << makeLine(" ", i % 3 == 0 ? "rect" : i % 3 == 1 ? "circle" : "poly", coords, link);
    }
    return lines;
}

// The whole responsive page of many overlapping areas: its size (MB of
// UTF-8) and the memory it takes to make it grow with the map, not its square.
// The second number: how many links the areas share (0: one each), so that
// the groups of one link split wherever another area lies between.
void BM_responsivePageOfOverlaps(benchmark::State& state)
{
    const korvane::ResponsiveMap map{overlappingAreas(int(state.range(0)), int(state.range(1))), QStringLiteral("plan.png"),
                                     QStringLiteral("plan"), QSize(1000, 750), korvane::FitMode::Fill};
    korvane::bench::resetPeakMemory();
    qsizetype bytes = 0;
    for (auto _ : state) {
        const QByteArray page = korvane::responsivePage(map).toUtf8();
        bytes = page.size();
        benchmark::DoNotOptimize(page.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["page_MB"] = double(bytes) / 1e6;
    state.counters["peak_MB"] = korvane::bench::peakMegabytes();
}

// The shapes of a million plain lines (Latin-1, whole numbers, the keywords
// the code writes), read as the canvas reads them after an import: the quick
// reading, which the browser's rules for odd lines must leave as fast.
void BM_shapesOfPlainLines(benchmark::State& state)
{
    std::vector<QByteArray> lines;
    for (const QString& line : mixedAreas(1'000'000))
        lines.push_back(line.toLatin1());
    for (auto _ : state) {
        int clickable = 0;
        for (const QByteArray& line : lines)
            clickable += korvane::parseArea(QLatin1StringView(line)).clickable;
        benchmark::DoNotOptimize(clickable);
    }
    state.SetItemsProcessed(state.iterations() * qint64(lines.size()));
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
BENCHMARK(BM_shapesOfPlainLines)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_responsivePageOfOverlaps)
    ->Args({2000, 0})
    ->Args({5000, 0})
    ->Args({20000, 0})
    ->Args({20000, 20})
    ->Args({20000, 2000})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_MAIN();
