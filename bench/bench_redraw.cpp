// A complete redraw of the areas onto the canvas buffer from scratch, as
// after opening a big map: a million small rectangles over a 4000 x 3000
// picture (the "areas" stage of opening it), and the 5,000 mixed areas of the
// widget benchmarks. Counted in CPU time: the machine is shared.
#include "BigMapScene.h"
#include "GuiBenchmarkMain.h"

#include "canvas/AreaRenderer.h"
#include "canvas/ImageSurface.h"
#include "model/AreaList.h"

#include <benchmark/benchmark.h>

using namespace korvane;
using korvane::bench::processCpuMilliseconds;

namespace {

// Rectangles of 10 x 10 pixels row by row over the picture, as the big sample files hold them.
AreaLines millionRectangles()
{
    AreaLines lines;
    for (int i = 0; i < 1'000'000; ++i) {
        const int x = i % 3990, y = i / 3990 % 2990;
        lines << QStringLiteral(" rect                    |%1,%2,%3,%4|seite%5.html|Feld %5|*|*|*|*")
                     .arg(x)
                     .arg(y)
                     .arg(x + 9)
                     .arg(y + 9)
                     .arg(i);
    }
    return lines;
}

void redrawFromScratch(benchmark::State& state, const AreaLines& lines)
{
    QImage picture(4000, 3000, QImage::Format_RGB32);
    picture.fill(Qt::white);
    ImageSurface surface;
    surface.setPicture(picture);
    surface.setPenColor(Qt::red);
    AreaList list;
    AreaRenderer renderer(list, surface);
    renderer.setIncremental(false);
    list.append(lines);
    double cpu = 0;
    for (auto _ : state) {
        const double before = processCpuMilliseconds();
        renderer.redraw(-1);
        cpu += processCpuMilliseconds() - before;
    }
    state.counters["cpu_ms"] = cpu / double(state.iterations());
}

void BM_RedrawMillionRectangles(benchmark::State& state)
{
    redrawFromScratch(state, millionRectangles());
}

void BM_RedrawMixedAreas(benchmark::State& state)
{
    redrawFromScratch(state, bench::bigAreaList());
}

} // namespace

BENCHMARK(BM_RedrawMillionRectangles)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_RedrawMixedAreas)->Unit(benchmark::kMillisecond)->Iterations(20);

KORVANE_GUI_BENCHMARK_MAIN()
