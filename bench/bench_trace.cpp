// Tracing on a 4000 x 3000 floor plan of 200 rooms (20 x 10, dark walls of 6
// pixels, light rooms, paper around), plain and through JPEG (quality 75), at
// the default tolerance (as a user clicks) and at half the difference of walls and rooms:
// goals a click <= 50 ms of CPU from the click to the polygon, a preview move
// <= 16 ms while the pointer stays in the region, every room at once <= 1 s.
// Also the costs beyond the goals: a click on the paper around the plan (a
// region that makes no area), on a region of nearly the whole picture, a
// preview that crosses into a new room with each move, and the picture handed
// over with and without a conversion.
#include "picture/OutlineTracer.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>

#include "FloorPlan.h"

#include <benchmark/benchmark.h>

#include <ctime>

using namespace korvane;
using namespace korvane::bench::floorplan;

namespace {

constexpr int kMoves = 200;

// The process's CPU time (every thread), which says more than the wall clock on a shared machine.
double processCpuMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

QImage throughJpeg(const QImage& picture)
{
    QBuffer file;
    file.open(QIODevice::WriteOnly);
    QImageWriter writer(&file, "jpeg");
    writer.setQuality(75);
    writer.write(picture);
    file.close();
    file.open(QIODevice::ReadOnly);
    return QImageReader(&file, "jpeg").read();
}

const QImage& plan(bool jpeg)
{
    static const QImage plain = plainPlan();
    static const QImage compressed = throughJpeg(plain);
    return jpeg ? compressed : plain;
}

// The tolerance of the benchmark's second argument.
TraceSettings settings(const benchmark::State& state)
{
    TraceSettings s;
    s.tolerance = int(state.range(1));
    return s;
}

void report(benchmark::State& state, double cpu, int perIteration, const char* name)
{
    state.counters[name] = cpu / double(state.iterations()) / perIteration;
}

// A click into a room: the map of near colours, the room grown, its outline simplified.
void BM_TraceClick(benchmark::State& state)
{
    OutlineTracer tracer(plan(state.range(0)));
    int room = 0, corners = 0;
    double cpu = 0;
    for (auto _ : state) {
        const double before = processCpuMilliseconds();
        corners += int(tracer.traceAt(roomCentre(room), settings(state)).polygon.size());
        cpu += processCpuMilliseconds() - before;
        room = (room + 37) % (kColumns * kRows);
    }
    report(state, cpu, 1, "cpu_ms_per_click");
    state.counters["corners"] = double(corners) / double(state.iterations());
}

// A click on the paper around the plan: the largest region of the picture, grown and refused.
void BM_TraceClickPaper(benchmark::State& state)
{
    OutlineTracer tracer(plan(state.range(0)));
    double cpu = 0;
    for (auto _ : state) {
        const double before = processCpuMilliseconds();
        benchmark::DoNotOptimize(tracer.traceAt({10, 10}, settings(state)));
        cpu += processCpuMilliseconds() - before;
    }
    report(state, cpu, 1, "cpu_ms_per_click");
}

// The largest region that still makes an area: all of the picture but a frame
// of one pixel, with a room-sized notch so that its outline has some corners.
void BM_TraceClickLargest(benchmark::State& state)
{
    QImage picture(4000, 3000, QImage::Format_RGB32);
    picture.fill(QColor(45, 45, 50));
    QPainter painter(&picture);
    painter.fillRect(1, 1, 3998, 2998, QColor(250, 248, 240));
    painter.fillRect(1000, 1, 200, 300, QColor(45, 45, 50));
    painter.end();
    OutlineTracer tracer(picture);
    int corners = 0;
    double cpu = 0;
    for (auto _ : state) {
        const double before = processCpuMilliseconds();
        corners = int(tracer.traceAt({2000, 1500}, settings(state)).polygon.size());
        cpu += processCpuMilliseconds() - before;
    }
    report(state, cpu, 1, "cpu_ms_per_click");
    state.counters["corners"] = corners;
}

// A region of a very long outline: a comb of 380 teeth, 5 pixels wide and
// 2600 long, drawn smoothed (moved by 0.3 of a pixel), plain and through JPEG:
// about two million pixels beside the region are looked at for its edge.
void BM_TraceClickComb(benchmark::State& state)
{
    QImage picture(4000, 3000, QImage::Format_RGB32);
    picture.fill(QColor(250, 248, 240));
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(0.3, 0.3);
    const QColor ink(45, 45, 50);
    painter.fillRect(QRectF(100, 2700, 3800, 200), ink);
    for (int x = 100; x < 3900; x += 10)
        painter.fillRect(QRectF(x, 100, 5, 2600), ink);
    painter.end();
    if (state.range(0))
        picture = throughJpeg(picture);
    OutlineTracer tracer(picture);
    int corners = 0;
    double cpu = 0;
    for (auto _ : state) {
        const double before = processCpuMilliseconds();
        corners = int(tracer.traceAt({2000, 2800}, settings(state)).polygon.size());
        cpu += processCpuMilliseconds() - before;
    }
    report(state, cpu, 1, "cpu_ms_per_click");
    state.counters["corners"] = corners;
}

// The pointer moving inside one room: the region of the first move is reused.
void BM_TracePreviewInRoom(benchmark::State& state)
{
    OutlineTracer tracer(plan(state.range(0)));
    const QPoint centre = roomCentre(57);
    tracer.previewAt(centre, settings(state));
    double cpu = 0;
    for (auto _ : state) {
        const double before = processCpuMilliseconds();
        for (int i = 0; i < kMoves; ++i) {
            const QPoint at = centre + QPoint(i % 61 - 30, i % 47 - 23);
            benchmark::DoNotOptimize(tracer.previewAt(at, settings(state)));
        }
        cpu += processCpuMilliseconds() - before;
    }
    report(state, cpu, kMoves, "cpu_ms_per_move");
    state.counters["fills"] = double(tracer.fillCount());
}

// Every move into another room: each grows a region (a click's cost).
void BM_TracePreviewAcrossRooms(benchmark::State& state)
{
    OutlineTracer tracer(plan(state.range(0)));
    int room = 0;
    double cpu = 0;
    for (auto _ : state) {
        const double before = processCpuMilliseconds();
        benchmark::DoNotOptimize(tracer.previewAt(roomCentre(room), settings(state)));
        cpu += processCpuMilliseconds() - before;
        room = (room + 1) % (kColumns * kRows);
    }
    report(state, cpu, 1, "cpu_ms_per_move");
}

// Every room of the plan at once.
void BM_TraceEveryRoom(benchmark::State& state)
{
    OutlineTracer tracer(plan(state.range(0)));
    qsizetype rooms = 0;
    double cpu = 0;
    for (auto _ : state) {
        const double before = processCpuMilliseconds();
        rooms = tracer.traceColour(roomCentre(0), settings(state)).outlines.size();
        cpu += processCpuMilliseconds() - before;
    }
    report(state, cpu, 1, "cpu_ms_per_plan");
    state.counters["rooms"] = double(rooms);
}

// The picture handed over: shared when the format allows (RGB32 here), converted otherwise (ARGB32 premultiplied).
void BM_TraceHandOver(benchmark::State& state)
{
    const QImage picture =
        plan(false).convertToFormat(state.range(0) ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    double cpu = 0;
    for (auto _ : state) {
        const double before = processCpuMilliseconds();
        OutlineTracer tracer(picture);
        benchmark::DoNotOptimize(tracer.sharesPicture());
        cpu += processCpuMilliseconds() - before;
    }
    report(state, cpu, 1, "cpu_ms");
}

} // namespace

// Plain and JPEG, each at the default tolerance and at half the difference of walls and rooms.
void pictures(benchmark::internal::Benchmark* bench)
{
    bench->ArgNames({"jpeg", "tolerance"});
    for (const int jpeg : {0, 1})
        for (const int tolerance : {TraceSettings().tolerance, 96})
            bench->Args({jpeg, tolerance});
    bench->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_TraceClick)->Apply(pictures);
BENCHMARK(BM_TraceClickPaper)->Apply(pictures);
BENCHMARK(BM_TraceClickLargest)
    ->ArgNames({"jpeg", "tolerance"})
    ->Args({0, TraceSettings().tolerance})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TraceClickComb)->Apply(pictures);
BENCHMARK(BM_TracePreviewInRoom)->Apply(pictures);
BENCHMARK(BM_TracePreviewAcrossRooms)->Apply(pictures);
BENCHMARK(BM_TraceEveryRoom)->Apply(pictures);
BENCHMARK(BM_TraceHandOver)->ArgName("converted")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    // JPEG's codec is a plug-in that needs an application object.
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
