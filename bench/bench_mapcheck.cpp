// The map check over 5,000 areas: goal under 50 ms. Mixed shapes spread over
// a 4000 x 3000 picture with overlaps, and the hard case of large areas
// piled on one another (every row of the picture crossed by many areas).
#include "model/AreaEntry.h"
#include "model/MapCheck.h"

#include <benchmark/benchmark.h>

namespace {

using korvane::entry::makeLine;

korvane::LinkAttributes link(int i)
{
    return {QStringLiteral("seite%1.html").arg(i % 4000), QStringLiteral("Bereich %1").arg(i % 4500)};
}

QStringList spreadAreas(int count)
{
    QStringList lines;
    lines.reserve(count);
    for (int i = 0; i < count; ++i) {
        const int x = (i * 37) % 3900, y = (i * 53) % 2900;
        switch (i % 3) {
        case 0:
            lines << makeLine(" ", "rect", QStringLiteral("%1,%2,%3,%4").arg(x).arg(y).arg(x + 80).arg(y + 60), link(i));
            break;
        case 1:
            lines << makeLine(" ", "circle", QStringLiteral("%1,%2,%3").arg(x).arg(y).arg(25), link(i));
            break;
        default: {
            QList<int> points;
            for (int k = 0; k < 12; ++k)
                points << x + (k * 7) % 90 << y + (k * 11) % 70;
            lines << makeLine(" ", "poly", korvane::entry::coordinateText(points), link(i));
        }
        }
    }
    return lines;
}

// Rectangles of half the picture each, shifted a little: most are covered.
QStringList piledAreas(int count)
{
    QStringList lines;
    lines.reserve(count);
    for (int i = 0; i < count; ++i) {
        const int x = (i * 7) % 2000, y = (i * 3) % 1500;
        lines << makeLine(" ", "rect", QStringLiteral("%1,%2,%3,%4").arg(x).arg(y).arg(x + 2000).arg(y + 1500),
                          link(i));
    }
    return lines;
}

void run(benchmark::State& state, const QStringList& lines)
{
    const korvane::check::MapFacts facts{QSize(4000, 3000), QStringLiteral("plan.png"), 0, {}};
    std::size_t findings = 0;
    for (auto _ : state) {
        const korvane::check::Findings found = korvane::check::checkAreas(lines, facts);
        findings = found.size();
        benchmark::DoNotOptimize(findings);
    }
    state.counters["findings"] = double(findings);
    state.SetItemsProcessed(state.iterations() * lines.size());
}

void BM_checkSpread(benchmark::State& state)
{
    run(state, spreadAreas(int(state.range(0))));
}

void BM_checkPiled(benchmark::State& state)
{
    run(state, piledAreas(int(state.range(0))));
}

} // namespace

BENCHMARK(BM_checkSpread)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_checkPiled)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
