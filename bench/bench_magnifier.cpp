// What the magnifier costs: one refresh tick, and the whole program idling
// with the magnifier open (process CPU time over wall time). Run it on a real
// X display or under Xvfb (bench/magnifier_cpu.sh); on a platform without
// screen capture the ticks only show the refusal text and cost next to nothing.
#include "app/Magnifier.h"
#include "app/MainWindow.h"
#include "app/ScreenCapture.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

using namespace korvane;

namespace {

double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void runEventLoopFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

QString platformLabel()
{
    const bool capture = SystemScreenCapture().canCapture();
    return QGuiApplication::platformName() + (capture ? QString() : QStringLiteral(" (no screen capture)"));
}

// The pointer rests on the main window, away from the magnifier, as when the
// user looks at the magnified picture.
void parkPointer(QWidget* window)
{
    QCursor::setPos(window->mapToGlobal(QPoint(200, 200)));
}

// One tick with the pointer resting (range 1 = 0: copy, but no repaint) or with
// something changed on every tick (range 1 = 1: copy, stretch, cross-hair and
// repaint each time; the zoom alternates by one step to force it).
void BM_RefreshTick(benchmark::State& state)
{
    MainWindow window;
    window.resize(1000, 720);
    window.show();
    parkPointer(&window);
    window.ui.Command4->click();
    auto* magnifier = window.findChild<Magnifier*>(QStringLiteral("lupe1"));
    magnifier->ui.Timer1->stop();
    const int zoom = static_cast<int>(state.range(0));
    const bool changing = state.range(1) != 0;
    magnifier->ui.updown1->setValue(zoom);
    QApplication::processEvents();
    int tick = 0;
    for (auto _ : state) {
        if (changing)
            magnifier->ui.updown1->setValue(zoom - (++tick & 1));
        magnifier->refreshView();
        QApplication::processEvents(); // the repaint the tick asked for
    }
    state.SetLabel(platformLabel().toStdString());
    magnifier->close();
}
BENCHMARK(BM_RefreshTick)->ArgsProduct({{1, 50, 90}, {0, 1}})->Unit(benchmark::kMicrosecond);

// Process CPU per wall second with the main window open, without (0) and
// with (1) the magnifier, idling for KORVANE_IDLE_MS milliseconds (5000).
void BM_IdleProgram(benchmark::State& state)
{
    const bool withMagnifier = state.range(0) != 0;
    const int ms =
        qEnvironmentVariableIntValue("KORVANE_IDLE_MS") > 0 ? qEnvironmentVariableIntValue("KORVANE_IDLE_MS") : 5000;
    double cpu = 0;
    double wall = 0;
    for (auto _ : state) {
        MainWindow window;
        window.resize(1000, 720);
        window.show();
        parkPointer(&window);
        if (withMagnifier)
            window.ui.Command4->click();
        runEventLoopFor(300); // settle: first exposure and layout
        const double cpuStart = processCpuSeconds();
        QElapsedTimer clock;
        clock.start();
        runEventLoopFor(ms);
        cpu += processCpuSeconds() - cpuStart;
        wall += clock.elapsed() / 1000.0;
    }
    state.counters["cpu_percent"] = 100.0 * cpu / wall;
    state.SetLabel(platformLabel().toStdString());
}
BENCHMARK(BM_IdleProgram)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("korvane"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
