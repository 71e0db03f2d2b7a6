// The whole path of opening a page as the user does it: the main window is
// created and shown, a page named as on the command line is imported with its
// 4000 x 3000 picture (a noisy PNG of 16 MB), and the clock runs until the window has
// painted everything. Two pages carry the 5,000-area map of the widget
// benchmarks: a short one (goal: 400 ms) and one of 20 MB with the map near
// its end (goal: 500 ms). The counters split the time into stages in
// milliseconds: start (window created and painted), read (page read and
// searched), decode, convert (the picture made ready for the canvas), list,
// code (generated and put in the code box), areas (drawn onto the canvas
// buffer; a big picture fitted into the view shows them from the drawing log
// and fills its buffer only when something needs it) and paint (the first
// paint after the import), and buffer: the buffer made when first needed. With the picture
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
#include <QImageReader>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

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
    qint64 buffer = 0;
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
        // What the first click that needs the buffer (an XOR band, say) pays for it.
        const qint64 needed = clock.nsecsElapsed();
        window->ui.Picture1->image();
        buffer += clock.nsecsElapsed() - needed;
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
    state.counters["buffer"] = perRun(buffer);
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

// Where the children show their windows: Qt's offscreen platform, or an X
// server of their own (Xvfb), as on a user's desktop.
enum class Display { Offscreen, Xvfb };

const char* displayName(Display display)
{
    return display == Display::Xvfb ? "Xvfb" : "offscreen";
}

// One Xvfb for all children, started through xvfb-run on first use (it finds
// a free display and its authority) and ended with the benchmark: the shell
// it runs names them and then waits for its input to close.
class XvfbServer {
public:
    XvfbServer();
    bool running() const { return !m_display.isEmpty(); }
    void prepare(QProcessEnvironment& environment) const
    {
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.insert(QStringLiteral("DISPLAY"), m_display);
        environment.insert(QStringLiteral("XAUTHORITY"), m_authority);
    }
    ~XvfbServer()
    {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(10'000))
            m_process.kill();
    }

private:
    QProcess m_process;
    QString m_display;
    QString m_authority;
};

XvfbServer::XvfbServer()
{
    const QString run = QStandardPaths::findExecutable(QStringLiteral("xvfb-run"));
    if (run.isEmpty())
        return;
    m_process.start(run, {QStringLiteral("-a"), QStringLiteral("-s"),
                          QStringLiteral("-screen 0 1280x1024x24 -nolisten tcp"), QStringLiteral("sh"),
                          QStringLiteral("-c"), QStringLiteral("echo \"$DISPLAY $XAUTHORITY\"; exec cat >/dev/null")});
    if (!m_process.waitForStarted(10'000))
        return;
    while (!m_process.canReadLine() && m_process.waitForReadyRead(10'000)) {
    }
    const QList<QByteArray> names = m_process.readLine().trimmed().split(' ');
    if (names.size() == 2 && names[0].startsWith(':')) {
        m_display = QString::fromLocal8Bit(names[0]);
        m_authority = QString::fromLocal8Bit(names[1]);
    }
}

std::unique_ptr<XvfbServer> xvfb; // ended before the application object

XvfbServer& xvfbServer()
{
    if (!xvfb)
        xvfb = std::make_unique<XvfbServer>();
    return *xvfb;
}

struct ChildRun {
    bool ok = false;
    double wallMs = 0;
    double cpuMs = 0;
    double peakMiB = 0;
    int areas = 0;
};

// Another build's bench_open (KORVANE_BENCH_BEFORE), whose editor children
// run between this build's, so that before and after meet the same load.
QString beforeProgram()
{
    const QString program = qEnvironmentVariable("KORVANE_BENCH_BEFORE");
    return QFileInfo(program).isExecutable() ? program : QString();
}

// Starts a bench_open (this one unless named) as "--start KIND SETTINGS
// [FILE]"; the child prints its CPU time and peak memory once everything is
// shown and ends at once.
ChildRun runChild(const QString& kind, const QString& file = QString(), Display display = Display::Offscreen,
                  const QString& program = QString())
{
    QStringList arguments{QStringLiteral("--start"), kind, samples->filePath(QStringLiteral("Korvane.ini"))};
    if (!file.isEmpty())
        arguments << file;
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (display == Display::Xvfb) {
        if (!xvfbServer().running())
            return {};
        xvfbServer().prepare(environment);
    }
    child.setProcessEnvironment(environment);
    QElapsedTimer clock;
    clock.start();
    child.start(program.isEmpty() ? QCoreApplication::applicationFilePath() : program, arguments);
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

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The goals of the start and the open, each a ratio measured in one run (so
// the machine's speed cancels out), printed as one table at the end.
struct Goal {
    QString name;
    double limit = 0;
    QString unit; // "x" for a ratio, else the unit of a measure
    double measured = -1;
    double before = -1; // the other build's figure, when one ran beside
};
std::vector<Goal> goals;

void setGoal(const QString& name, double limit, const QString& unit, double measured, double before = -1)
{
    for (Goal& goal : goals) {
        if (goal.name == name) {
            goal.measured = measured;
            goal.before = before;
            return;
        }
    }
    goals.push_back({name, limit, unit, measured, before});
}

QString goalTable()
{
    const bool withBefore = std::any_of(goals.begin(), goals.end(), [](const Goal& goal) { return goal.before >= 0; });
    const auto figure = [](double value, const QString& unit) {
        return value < 0 ? QStringLiteral("-")
                         : QString::number(value, 'f', unit == QLatin1String("x") ? 2 : 1) +
                               (unit == QLatin1String("x") ? QStringLiteral(" x") : QLatin1Char(' ') + unit);
    };
    QString table = QStringLiteral("%1  %2  %3  %4%5\n")
                        .arg(QStringLiteral("goal"), -58)
                        .arg(QStringLiteral("limit"), 12)
                        .arg(QStringLiteral("measured"), 12)
                        .arg(QStringLiteral("met"), -4)
                        .arg(withBefore ? QStringLiteral("  before") : QString());
    for (const Goal& goal : goals) {
        const QString met = goal.measured < 0             ? QStringLiteral("?")
                            : goal.measured <= goal.limit ? QStringLiteral("yes")
                                                          : QStringLiteral("NO");
        table += QStringLiteral("%1  %2  %3  %4%5\n")
                     .arg(goal.name, -58)
                     .arg(QStringLiteral("<= ") + figure(goal.limit, goal.unit), 12)
                     .arg(figure(goal.measured, goal.unit), 12)
                     .arg(met, -4)
                     .arg(withBefore ? QStringLiteral("  ") + figure(goal.before, goal.unit) : QString());
    }
    return table;
}

// The editor's start against a bare window, alternately (and the other
// build's editor between them); the ratio is the median of the runs' ratios.
void StartUp(benchmark::State& state, Display display)
{
    const QString before = beforeProgram();
    std::vector<double> bare, editor, ratios, beforeRatios;
    double editorCpu = 0, bareCpu = 0;
    for (auto _ : state) {
        const ChildRun b = runChild(QStringLiteral("bare"), QString(), display);
        const ChildRun e = runChild(QStringLiteral("editor"), QString(), display);
        if (!b.ok || !e.ok) {
            state.SkipWithError("a child failed (no xvfb-run for Xvfb?)");
            break;
        }
        bare.push_back(b.wallMs);
        editor.push_back(e.wallMs);
        ratios.push_back(e.wallMs / b.wallMs);
        bareCpu += b.cpuMs;
        editorCpu += e.cpuMs;
        if (!before.isEmpty()) {
            const ChildRun o = runChild(QStringLiteral("editor"), QString(), display, before);
            if (o.ok)
                beforeRatios.push_back(o.wallMs / b.wallMs);
        }
        state.SetIterationTime(e.wallMs / 1000.0);
    }
    if (ratios.empty())
        return;
    const auto perRun = [](double total) { return benchmark::Counter(total, benchmark::Counter::kAvgIterations); };
    state.counters["bare_ms"] = median(bare);
    state.counters["editor_ms"] = median(editor);
    state.counters["bare_cpu_ms"] = perRun(bareCpu);
    state.counters["editor_cpu_ms"] = perRun(editorCpu);
    state.counters["ratio"] = median(ratios);
    state.counters["cpu_ratio"] = bareCpu > 0 ? editorCpu / bareCpu : 0;
    if (!beforeRatios.empty())
        state.counters["before_ratio"] = median(beforeRatios);
    setGoal(QStringLiteral("start: editor / bare Qt window (%1)").arg(QLatin1String(displayName(display))), 1.5,
            QStringLiteral("x"), median(ratios), beforeRatios.empty() ? -1 : median(beforeRatios));
}
BENCHMARK_CAPTURE(StartUp, offscreen, Display::Offscreen)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->UseManualTime();
BENCHMARK_CAPTURE(StartUp, xvfb, Display::Xvfb)->Unit(benchmark::kMillisecond)->Iterations(20)->UseManualTime();

// The open of the 5,000-area page from the process's start to everything
// shown, against its floor: a process that shows a bare window and decodes
// the same picture. Beside them the 20 MB page, whose extra 19 MB should
// cost next to nothing, and the peak memory of the short page's open.
void OpenAgainstFloor(benchmark::State& state, Display display)
{
    const QString page = samplePage(false);
    const QString bigPage = samplePage(true);
    const QString picture = samples->filePath(QStringLiteral("plan.png"));
    const QString before = beforeProgram();
    std::vector<double> floor, open, big, ratios, bigRatios, beforeRatios, beforeBigRatios;
    double peak = 0, beforePeak = 0;
    for (auto _ : state) {
        const ChildRun f = runChild(QStringLiteral("floor"), picture, display);
        const ChildRun o = runChild(QStringLiteral("editor"), page, display);
        const ChildRun b = runChild(QStringLiteral("editor"), bigPage, display);
        if (!f.ok || !o.ok || !b.ok || o.areas != 5000 || b.areas != 5000) {
            state.SkipWithError("a child failed (no xvfb-run for Xvfb?)");
            break;
        }
        floor.push_back(f.wallMs);
        open.push_back(o.wallMs);
        big.push_back(b.wallMs);
        ratios.push_back(o.wallMs / f.wallMs);
        bigRatios.push_back(b.wallMs / o.wallMs);
        peak = std::max(peak, o.peakMiB);
        if (!before.isEmpty()) {
            const ChildRun bo = runChild(QStringLiteral("editor"), page, display, before);
            const ChildRun bb = runChild(QStringLiteral("editor"), bigPage, display, before);
            if (bo.ok && bb.ok) {
                beforeRatios.push_back(bo.wallMs / f.wallMs);
                beforeBigRatios.push_back(bb.wallMs / bo.wallMs);
                beforePeak = std::max(beforePeak, bo.peakMiB);
            }
        }
        state.SetIterationTime(o.wallMs / 1000.0);
    }
    if (ratios.empty())
        return;
    state.counters["floor_ms"] = median(floor);
    state.counters["open_ms"] = median(open);
    state.counters["page20MB_ms"] = median(big);
    state.counters["ratio"] = median(ratios);
    state.counters["page20MB_ratio"] = median(bigRatios);
    state.counters["peak_MiB"] = peak;
    const bool beside = !beforeRatios.empty();
    if (beside) {
        state.counters["before_ratio"] = median(beforeRatios);
        state.counters["before_page20MB_ratio"] = median(beforeBigRatios);
        state.counters["before_peak_MiB"] = beforePeak;
    }
    const QString where = QLatin1String(displayName(display));
    setGoal(QStringLiteral("5,000-area page / (bare window + decode) (%1)").arg(where), 1.3, QStringLiteral("x"),
            median(ratios), beside ? median(beforeRatios) : -1);
    setGoal(QStringLiteral("20 MB page / 5,000-area page (%1)").arg(where), 1.1, QStringLiteral("x"), median(bigRatios),
            beside ? median(beforeBigRatios) : -1);
    setGoal(QStringLiteral("peak memory of the 5,000-area page's open (%1)").arg(where), 125, QStringLiteral("MiB"),
            peak, beside ? beforePeak : -1);
}
BENCHMARK_CAPTURE(OpenAgainstFloor, offscreen, Display::Offscreen)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(7)
    ->UseManualTime();
BENCHMARK_CAPTURE(OpenAgainstFloor, xvfb, Display::Xvfb)->Unit(benchmark::kMillisecond)->Iterations(7)->UseManualTime();

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
    // The floor of an open: a bare window, then the decode of the picture.
    const bool isFloor = QByteArray(argv[2]) == "floor";
    const bool isBare = isFloor || QByteArray(argv[2]) == "bare";
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
    watch.armed = argc <= 4 || isFloor;
    QTimer::singleShot(0, [&watch] { watch.armed = true; });
    QElapsedTimer clock;
    clock.start();
    while (!watch.painted && clock.elapsed() < 30'000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    if (!watch.painted)
        return 1;
    if (isFloor && QImageReader(QString::fromLocal8Bit(argv[4])).read().isNull())
        return 1;
    // Everything shown: the code box filled, and the areas on the canvas,
    // drawn into its buffer or (a big picture fitted into the view, whose
    // buffer waits until it is needed) painted from the drawing log.
    if (editor && argc > 4) {
        const ImageSurface& surface = editor->ui.Picture1->surface();
        if (editor->mapCode().isEmpty() || (surface.owesBuffer() && !surface.log().complete()))
            return 1;
    }
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
    xvfb.reset();
    if (!goals.empty()) {
        const QString table = goalTable();
        std::fputs(("\n" + table).toLocal8Bit().constData(), stdout);
        // ./korvane.sh bench prints it again once all benchmarks have run.
        const QString keep = qEnvironmentVariable("KORVANE_BENCH_GOALS");
        QFile file(keep);
        if (!keep.isEmpty() && file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(table.toLocal8Bit());
    }
    return 0;
}
