// Closing the editor and its first Open with a settings file of 14 MB (a
// "Korvane.ini" that other tools filled with a long section of their own):
// writing all keys at the close, reading them at the first open. Goal: both
// well under a second; they used to read, search and write the whole file
// once for every key.
#include "app/IniFile.h"
#include "app/MainWindow.h"

#include "GuiBenchmarkMain.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace korvane;

namespace {

constexpr qsizetype kFileSize = 14 * 1024 * 1024;

QByteArray bigSettings()
{
    QByteArray bytes = "[color]\r\nZeichenfarbe=255\r\nFuellfarbe=16776960\r\nZiehpunktfarbe=16711680\r\n"
                       "[DrawWidth]\r\nDrawWidth1=2\r\n[FillStyle]\r\nFillStyle1=1\r\n[Verlauf]\r\n";
    for (int i = 0; bytes.size() < kFileSize; ++i)
        bytes += "Eintrag" + QByteArray::number(i) + "=/home/anna/bilder/stadtplan/ausschnitt" + QByteArray::number(i) +
                 ".png\r\n";
    return bytes + "[Path]\r\nLetzter_Grafik_Ordner=/home/anna/bilder/\r\n[Lupe]\r\nLupe_visible=0\r\n";
}

struct BigSettingsFile {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Korvane.ini"));
    QByteArray bytes = bigSettings();

    BigSettingsFile() { setSettingsFileOverride(path); }
    ~BigSettingsFile() { setSettingsFileOverride(QString()); }
    void reset() const
    {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    }
};

// Argument 1: the values changed in this run (the file is written); 0: they
// are those stored (the file is only read).
void BM_CloseWithBigSettings(benchmark::State& state)
{
    BigSettingsFile settings;
    MainWindow window;
    window.state().settingsLoadCount = 1;
    for (auto _ : state) {
        state.PauseTiming();
        settings.reset();
        if (state.range(0) == 0)
            window.ini_write();
        state.ResumeTiming();
        window.ini_write();
    }
    state.SetLabel(std::to_string(settings.bytes.size() / (1024 * 1024)) + " MB");
}
BENCHMARK(BM_CloseWithBigSettings)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_FirstOpenWithBigSettings(benchmark::State& state)
{
    BigSettingsFile settings;
    settings.reset();
    for (auto _ : state) {
        MainWindow window;
        window.ini_read();
        benchmark::DoNotOptimize(window.state().lastImageFolder);
    }
}
BENCHMARK(BM_FirstOpenWithBigSettings)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

KORVANE_GUI_BENCHMARK_MAIN()
