// The recovery file of big work (5,000 areas): writing it, which the worker
// thread does (goal: under 20 ms); what a write asks of the GUI thread (the
// snapshot and the saved-state check); and a handle drag with the keeper
// attached, which must cost what it costs without (compare bench_drag) and
// write nothing while the area moves. Reading at start: the file of a million
// areas and one whose link is 200 MB, with the memory they take.
#include "BigMapScene.h"
#include "PeakMemory.h"

#include "app/RecoveryStart.h"
#include "app/commands/RecoveryKeeper.h"
#include "canvas/EditHandles.h"
#include "io/RecoveryFile.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <ctime>
#include <unistd.h>

using namespace korvane;
using korvane::bench::Scene;

namespace {

double threadCpuMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

recovery::Snapshot bigSnapshot()
{
    recovery::Snapshot snapshot;
    snapshot.imagePath = QStringLiteral("/bilder/karte.png");
    snapshot.lines = bench::bigAreaList();
    snapshot.changed = QDateTime::currentDateTimeUtc();
    return snapshot;
}

// The text alone.
void BM_RecoverySerialize5000(benchmark::State& state)
{
    const recovery::Snapshot snapshot = bigSnapshot();
    for (auto _ : state)
        benchmark::DoNotOptimize(recovery::serialize(snapshot));
}
BENCHMARK(BM_RecoverySerialize5000)->Unit(benchmark::kMillisecond)->Iterations(30)->UseRealTime();

// The worker's part: the text built and written through a temporary file,
// flushed through to the disk.
void BM_RecoveryWrite5000(benchmark::State& state)
{
    const recovery::Snapshot snapshot = bigSnapshot();
    const QString path = recovery::filePath(::getpid());
    for (auto _ : state) {
        if (!recovery::writeFile(path, snapshot))
            state.SkipWithError("not written");
    }
    state.counters["file_KiB"] = double(QFileInfo(path).size()) / 1024;
    QFile::remove(path);
}
BENCHMARK(BM_RecoveryWrite5000)->Unit(benchmark::kMillisecond)->Iterations(30)->UseRealTime();

recovery::Snapshot millionSnapshot()
{
    recovery::Snapshot snapshot = bigSnapshot();
    snapshot.lines.clear();
    snapshot.lines.reserve(1'000'000, 70'000'000);
    for (int i = 0; i < 1'000'000; ++i)
        snapshot.lines.append(QStringLiteral(" rect                    |%1,0,%2,9|seite%1.html|Feld %1|*|*|*|*")
                                  .arg(i % 4000)
                                  .arg(i % 4000 + 9));
    return snapshot;
}

// Reads the file at `path` as the start does; the peak memory above what the
// process held before, the file's size and whether it was read whole.
void readBack(benchmark::State& state, const QString& path, qsizetype lines)
{
    bench::resetPeakMemory();
    const double before = bench::currentMegabytes();
    for (auto _ : state) {
        const recovery::ReadResult read = recovery::readFile(path);
        if (read.problem != recovery::Problem::None || read.snapshot.lines.size() != lines)
            state.SkipWithError("not read");
    }
    state.counters["file_MiB"] = double(QFileInfo(path).size()) / (1024 * 1024);
    state.counters["peak_MiB"] = bench::peakMegabytes() - before;
    QFile::remove(path);
}

// The recovery file of a million areas (about 70 MB) read at start: time and
// memory beside the lines it becomes.
void BM_RecoveryReadMillion(benchmark::State& state)
{
    const QString path = recovery::filePath(::getpid());
    if (!recovery::writeFile(path, millionSnapshot()))
        state.SkipWithError("not written");
    readBack(state, path, 1'000'000);
}
BENCHMARK(BM_RecoveryReadMillion)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

// One area whose link is 200 MB long, the longest the editor is made for:
// read a piece at a time, it is held once (the lines), not as text, UTF-16
// and lines at once.
void BM_RecoveryReadLongLine(benchmark::State& state)
{
    const QString path = recovery::filePath(::getpid());
    {
        recovery::Snapshot snapshot = bigSnapshot();
        snapshot.lines = {QStringLiteral("rect                |0,0,9,9|") +
                          QString(200 * 1024 * 1024, QLatin1Char('a')) + QStringLiteral("|Feld|*|*|*|*")};
        snapshot.selectedRow = 0;
        if (!recovery::writeFile(path, snapshot))
            state.SkipWithError("not written");
    }
    readBack(state, path, 1);
}
BENCHMARK(BM_RecoveryReadLongLine)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

// The recovery file of a million areas, written a piece at a time: the
// memory it takes beside the lines stays small (it was the whole text).
void BM_RecoveryWriteMillion(benchmark::State& state)
{
    recovery::Snapshot snapshot = millionSnapshot();
    const QString path = recovery::filePath(::getpid());
    bench::resetPeakMemory();
    const double before = bench::residentMegabytes("VmRSS");
    for (auto _ : state) {
        if (!recovery::writeFile(path, snapshot))
            state.SkipWithError("not written");
    }
    state.counters["file_MiB"] = double(QFileInfo(path).size()) / (1024 * 1024);
    state.counters["peak_MiB"] = bench::peakMegabytes() - before;
    QFile::remove(path);
}
BENCHMARK(BM_RecoveryWriteMillion)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

// The GUI thread's part of a write.
void BM_RecoverySnapshot5000(benchmark::State& state)
{
    Scene scene;
    RecoveryKeeper* keeper = attachRecovery(scene.window);
    for (auto _ : state) {
        benchmark::DoNotOptimize(scene.window.document().mapSaved());
        benchmark::DoNotOptimize(keeper->snapshot());
    }
}
BENCHMARK(BM_RecoverySnapshot5000)->Unit(benchmark::kMillisecond)->Iterations(30)->UseRealTime();

// As bench_drag's BM_HandleDrag at 100 %, with the keeper attached and the
// map unsaved; the moves last longer than the keeper's delay.
void BM_HandleDragWithRecovery(benchmark::State& state)
{
    constexpr int kMoves = 200;
    Scene scene;
    RecoveryKeeper* keeper = attachRecovery(scene.window);
    scene.window.map_daten(); // unsaved code, so the keeper writes
    QApplication::processEvents();
    keeper->flush();
    HandleWidget* anchor = scene.window.handles().anchor();
    double cpu = 0;
    int writtenDuringDrag = 0;
    for (auto _ : state) {
        const QDateTime before = QFileInfo(keeper->filePath()).lastModified();
        const double cpuBefore = threadCpuMilliseconds();
        scene.send(anchor, QEvent::MouseButtonPress, QPoint(0, 0), Qt::LeftButton, Qt::LeftButton);
        for (int i = 0; i < kMoves; ++i) {
            const int step = i < kMoves / 2 ? 3 : -3;
            scene.send(anchor, QEvent::MouseMove, QPoint(step, step / 3 * 2), Qt::NoButton, Qt::LeftButton);
            QApplication::processEvents();
        }
        usleep((RecoveryKeeper::kDelayMs + 100) * 1000); // the keeper's timer falls due mid-drag
        QApplication::processEvents();
        writtenDuringDrag += QFileInfo(keeper->filePath()).lastModified() != before;
        scene.send(anchor, QEvent::MouseButtonRelease, QPoint(0, 0), Qt::LeftButton, Qt::NoButton);
        QApplication::processEvents();
        cpu += threadCpuMilliseconds() - cpuBefore;
        keeper->flush();
    }
    state.counters["gui_cpu_ms_per_move"] = cpu / double(state.iterations()) / kMoves;
    state.counters["written_during_drag"] = writtenDuringDrag;
}
BENCHMARK(BM_HandleDragWithRecovery)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir state;
    qputenv("XDG_STATE_HOME", state.path().toUtf8());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
