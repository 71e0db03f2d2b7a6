// The whole path of opening a page as the user does it: the main window is
// created and shown, a page named as on the command line is imported with its
// 4000 x 3000 picture (a noisy PNG of 16 MB), and the clock runs until the window has
// painted everything. Two pages carry the 5,000-area map of the widget
// benchmarks: a short one (goal: 400 ms) and one of 20 MB with the map near
// its end (goal: 500 ms). The counters split the time into stages in
// milliseconds: start (window created and painted), read (page read and
// searched), decode, convert (the picture made ready for the canvas), list,
// code (generated and put in the code box), areas (drawn onto the canvas
// buffer) and paint (the first paint after the import). With the picture
// decoded beside the page, stages overlap and may add up to more than the whole.
//
// In fresh processes (the benchmark starts itself): the editor's start against
// a bare Qt window, each to its first paint (goal: at most 1.5 times), and the
// two pages from process start to everything shown with the process's peak
// memory (goal: 125 MiB with the short page). Wall times are noisy on a busy
// machine; cpu_ms counts the process's CPU on all threads. A child can be run
// by hand (under callgrind, say): bench_open --start editor SETTINGS FILE.
#include "app/FontWarmUp.h"
#include "app/IniFile.h"
#include "app/MainWindow.h"
#include "app/OpenFromOutside.h"
#include "model/StageClock.h"
#include "app/StartUp.h"
#include "canvas/Canvas.h"

#include "PeakMemory.h"
#include "SamplePages.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

using namespace korvane;
using stages::Stage;

// The sample files; KORVANE_BENCH_SAMPLES names a folder that keeps them
// between runs (and for a child run by hand under a profiler).
std::unique_ptr<QDir> samples;

enum class Sample { Areas5000, Page20MB, MillionAreas, Map200MB };

// The picture and a page, made on first use.
QString samplePage(bool big)
{
    const QString picture = samples->filePath(QStringLiteral("plan.png"));
    if (!QFile::exists(picture))
        bench::writeNoisyPicture(picture);
    const QString page = samples->filePath(big ? QStringLiteral("gross.html") : QStringLiteral("plan.html"));
    if (!QFile::exists(page))
        bench::writeUtf8(page, big ? bench::bigPageWithBigMap(picture) : bench::pageWithBigMap(picture));
    return page;
}

QString sampleFile(Sample sample)
{
    if (sample == Sample::Areas5000 || sample == Sample::Page20MB)
        return samplePage(sample == Sample::Page20MB);
    const QString picture = samples->filePath(QStringLiteral("plan.png"));
    if (!QFile::exists(picture))
        bench::writeNoisyPicture(picture);
    const bool page = sample == Sample::MillionAreas;
    const QString path = samples->filePath(page ? QStringLiteral("million.html") : QStringLiteral("gross.map"));
    if (!QFile::exists(path))
        page ? bench::writeMillionAreaPage(path, picture) : bench::writeBigMapFile(path, picture);
    return path;
}

// Notes the paint events of one widget once armed.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QWidget* widget) { widget->installEventFilter(this); }
    bool armed = true;
    bool painted = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (armed && event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

// Handles events until the widget has been painted; the window paints all its
// dirty parts in one go, so everything is shown when this returns true.
bool waitForPaint(QWidget* widget)
{
    PaintWatch watch(widget);
    QElapsedTimer timer;
    timer.start();
    while (!watch.painted && timer.elapsed() < 10'000)
        QCoreApplication::processEvents();
    return watch.painted;
}

double milliseconds(qint64 nanoseconds)
{
    return double(nanoseconds) / 1e6;
}

void OpenPage(benchmark::State& state, bool big)
{
    const QString path = samplePage(big);
    stages::Record record;
    stages::install(&record);
    std::array<qint64, size_t(Stage::Count)> totals{};
    qint64 start = 0;
    qint64 paint = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        auto window = std::make_unique<MainWindow>();
        window->show();
        const bool shown = waitForPaint(window->ui.Picture1);
        start += clock.nsecsElapsed();
        record.reset();
        openFromOutside(*window, path);
        const qint64 opened = clock.nsecsElapsed();
        const bool painted = waitForPaint(window->ui.Picture1);
        paint += clock.nsecsElapsed() - opened;
        for (size_t i = 0; i < totals.size(); ++i)
            totals[i] += record.of(Stage(i));
        if (!shown || !painted || window->areas().count() != 5000 ||
            window->ui.Picture1->picture().size() != QSize(4000, 3000))
            state.SkipWithError("not opened");
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
    stages::install(nullptr);
    const auto perRun = [&](qint64 total) {
        return benchmark::Counter(milliseconds(total), benchmark::Counter::kAvgIterations);
    };
    state.counters["start"] = perRun(start);
    state.counters["read"] = perRun(totals[size_t(Stage::Reading)]);
    state.counters["decode"] = perRun(totals[size_t(Stage::Decoding)]);
    state.counters["convert"] = perRun(totals[size_t(Stage::Converting)]);
    state.counters["list"] = perRun(totals[size_t(Stage::List)]);
    state.counters["code"] = perRun(totals[size_t(Stage::CodeBox)]);
    state.counters["areas"] = perRun(totals[size_t(Stage::Drawing)]);
    state.counters["paint"] = perRun(paint);
}
BENCHMARK_CAPTURE(OpenPage, areas5000, false)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(OpenPage, page20MB, true)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

// --- fresh processes ---

struct ChildRun {
    bool ok = false;
    double wallMs = 0;
    double cpuMs = 0;
    double peakMiB = 0;
    int areas = 0;
};

// Starts this program as "--start KIND SETTINGS [FILE]"; the child prints its
// CPU time and peak memory once everything is shown and ends at once.
ChildRun runChild(const QString& kind, const QString& file = QString())
{
    QStringList arguments{QStringLiteral("--start"), kind, samples->filePath(QStringLiteral("Korvane.ini"))};
    if (!file.isEmpty())
        arguments << file;
    QProcess child;
    QElapsedTimer clock;
    clock.start();
    child.start(QCoreApplication::applicationFilePath(), arguments);
    child.waitForFinished(120'000);
    ChildRun run;
    run.wallMs = milliseconds(clock.nsecsElapsed());
    const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
    if (child.exitCode() != 0 || figures.size() != 3)
        return run;
    run.ok = true;
    run.cpuMs = figures[0].toDouble() / 1000.0;
    run.peakMiB = figures[1].toDouble() / 1024.0;
    run.areas = figures[2].toInt();
    return run;
}

// The editor's start against a bare window, alternately.
void StartUp(benchmark::State& state)
{
    double bare = 0, bareCpu = 0, editor = 0, editorCpu = 0;
    for (auto _ : state) {
        const ChildRun b = runChild(QStringLiteral("bare"));
        const ChildRun e = runChild(QStringLiteral("editor"));
        if (!b.ok || !e.ok)
            state.SkipWithError("a child failed");
        bare += b.wallMs;
        bareCpu += b.cpuMs;
        editor += e.wallMs;
        editorCpu += e.cpuMs;
        state.SetIterationTime(e.wallMs / 1000.0);
    }
    const auto perRun = [](double total) { return benchmark::Counter(total, benchmark::Counter::kAvgIterations); };
    state.counters["bare_ms"] = perRun(bare);
    state.counters["bare_cpu_ms"] = perRun(bareCpu);
    state.counters["editor_ms"] = perRun(editor);
    state.counters["editor_cpu_ms"] = perRun(editorCpu);
    state.counters["ratio"] = bare > 0 ? editor / bare : 0;
    state.counters["cpu_ratio"] = bareCpu > 0 ? editorCpu / bareCpu : 0;
}
BENCHMARK(StartUp)->Unit(benchmark::kMillisecond)->Iterations(20)->UseManualTime();

// The two big imports: a million areas (goal: under 3 s and 600 MiB), a
// 200 MB .map (goal: under 2 s and three times its size); wall_ms counts from
// the process's start to everything shown, as the user waits for it.
void ProcessOpen(benchmark::State& state, Sample sample, int areas)
{
    const QString file = sampleFile(sample);
    double cpu = 0, peak = 0;
    for (auto _ : state) {
        const ChildRun run = runChild(QStringLiteral("editor"), file);
        if (!run.ok || (areas > 0 && run.areas != areas) || (areas == 0 && run.areas < 1'000'000))
            state.SkipWithError("the child failed");
        cpu += run.cpuMs;
        peak = std::max(peak, run.peakMiB);
        state.SetIterationTime(run.wallMs / 1000.0);
    }
    state.counters["cpu_ms"] = benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
    state.counters["peak_MiB"] = peak;
    state.counters["file_MiB"] = double(QFileInfo(file).size()) / (1024 * 1024);
}
BENCHMARK_CAPTURE(ProcessOpen, areas5000, Sample::Areas5000, 5000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseManualTime();
BENCHMARK_CAPTURE(ProcessOpen, page20MB, Sample::Page20MB, 5000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseManualTime();
BENCHMARK_CAPTURE(ProcessOpen, millionAreas, Sample::MillionAreas, 1'000'000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseManualTime();
BENCHMARK_CAPTURE(ProcessOpen, map200MB, Sample::Map200MB, 0)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseManualTime();

stages::Record childStages;

// The child: a bare window, or the editor as the program starts it (with the
// file as its command line's), until everything is shown.
int childMain(int argc, char** argv)
{
    const bool isBare = QByteArray(argv[2]) == "bare";
    std::optional<FontWarmUp> fonts; // as main() does
    if (!isBare)
        fonts.emplace();
    QApplication app(argc, argv);
    std::unique_ptr<QWidget> bare;
    std::unique_ptr<MainWindow> editor;
    QWidget* watched = nullptr;
    if (isBare) {
        bare = std::make_unique<QWidget>();
        bare->resize(1000, 720);
        bare->show();
        watched = bare.get();
    } else {
        stages::install(&childStages);
        prepareApplication();
        fonts->wait();
        setSettingsFileOverride(QString::fromLocal8Bit(argv[3]));
        QStringList files;
        if (argc > 4)
            files << QString::fromLocal8Bit(argv[4]);
        editor = startEditor(files);
        watched = editor->ui.Picture1;
    }
    PaintWatch watch(watched);
    // The file opens in work queued by the start; the paint after it shows everything.
    watch.armed = argc <= 4;
    QTimer::singleShot(0, [&watch] { watch.armed = true; });
    QElapsedTimer clock;
    clock.start();
    while (!watch.painted && clock.elapsed() < 30'000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    if (!watch.painted)
        return 1;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const long long cpu =
        (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1'000'000LL + usage.ru_utime.tv_usec + usage.ru_stime.tv_usec;
    // Not ru_maxrss: that keeps the peak of the parent the child was forked from.
    std::printf("%lld %.0f %d\n", cpu, bench::peakMegabytes() * 1024, editor ? editor->areas().count() : 0);
    std::fflush(stdout);
    // Where the time went, for a person reading the child's error output.
    static const char* const names[] = {"read", "decode", "convert", "list", "code", "areas"};
    for (size_t i = 0; i < size_t(Stage::Count); ++i)
        std::fprintf(stderr, "%s %.0f ms%s", names[i], milliseconds(childStages.of(Stage(i))),
                     i + 1 < size_t(Stage::Count) ? ", " : "\n");
    std::_Exit(0); // what follows (closing the window) is no part of the start
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc >= 4 && QByteArray(argv[1]) == "--start")
        return childMain(argc, argv);
    QApplication app(argc, argv);
    prepareApplication();
    QTemporaryDir temporary;
    const QString kept = qEnvironmentVariable("KORVANE_BENCH_SAMPLES");
    if (!kept.isEmpty())
        QDir().mkpath(kept);
    samples = std::make_unique<QDir>(kept.isEmpty() ? temporary.path() : kept);
    // The editors started here keep their recovery files beside the samples.
    qputenv("XDG_STATE_HOME", samples->path().toUtf8());
    setSettingsFileOverride(samples->filePath(QStringLiteral("Korvane.ini")));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
