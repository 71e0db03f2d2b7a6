// A .map file whose one area has a very long href (5, 50 and 200 MB on one
// line), imported through the MAP import of a shown main window and painted:
// list box, code box, canvas. Goal: 50 MB in under 3 s with a peak memory
// within three times the file's size ("peak_x" under 3; 200 MB peaked at
// 1.8 GB before). "peak_MB" is the resident memory the import added at its
// peak above the shown window, "file_MB" the file's size.
#include "GuiBenchmarkMain.h"
#include "PeakMemory.h"

#include "app/IniFile.h"
#include "app/MainWindow.h"
#include "platform/Platform.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

// Answers the file dialog with one path and every box with its default.
class AnsweringPlatform : public korvane::Platform {
public:
    explicit AnsweringPlatform(QString path) : m_path(std::move(path)) {}
    korvane::MessageButton messageBox(QWidget*, const QString&, const QString&, korvane::MessageIcon,
                                      const QList<korvane::MessageButton>&,
                                      korvane::MessageButton defaultButton) override
    {
        return defaultButton;
    }
    QString fileDialog(const korvane::FileDialogRequest&) override { return m_path; }
    bool openWithAssociatedProgram(const QString&) override { return true; }
    void openInTextViewer(const QString&) override {}

private:
    QString m_path;
};

QString writeMapFile(const QTemporaryDir& dir, qsizetype hrefBytes)
{
    QImage picture(400, 300, QImage::Format_RGB32);
    picture.fill(Qt::white);
    picture.save(dir.filePath(QStringLiteral("plan.png")));
    QByteArray text = "<!--\r\nIMAGEMAP FUER GRAFIKDATEI: plan.png\r\n-->\r\n\r\n"
                      "<img src=\"file://" +
                      QFile::encodeName(dir.path()) +
                      "/plan.png\" width=\"400\" height=\"300\" alt=\"\" usemap=\"#plan\" />\r\n"
                      "<map id=\"plan\" name=\"plan\">\r\n"
                      "<area shape=\"rect\" alt=\"lang\" coords=\"10,20,110,80\" href=\"";
    text += QByteArray(hrefBytes, 'a');
    text += "\" />\r\n</map>\r\n";
    const QString path = dir.filePath(QStringLiteral("lang.map"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        return {};
    return path;
}

void ImportLongLine(benchmark::State& state)
{
    QTemporaryDir dir;
    const qsizetype size = state.range(0) * 1024 * 1024;
    const QString path = writeMapFile(dir, size);
    korvane::setSettingsFileOverride(dir.filePath(QStringLiteral("Korvane.ini")));
    korvane::setPlatform(std::make_unique<AnsweringPlatform>(path));
    korvane::MainWindow window;
    window.show();
    QCoreApplication::processEvents();
    const double before = korvane::bench::currentMegabytes();
    korvane::bench::resetPeakMemory();
    for (auto _ : state) {
        window.ui.Command8->click();
        // Everything shown once: the list, the code box, the canvas.
        window.repaint();
        QCoreApplication::processEvents();
        if (window.areas().count() != 1 || window.areas().lines().lineSize(0) < size)
            state.SkipWithError("not imported");
    }
    state.counters["peak_MB"] = korvane::bench::peakMegabytes() - before;
    state.counters["file_MB"] = double(size) / (1024 * 1024);
    state.counters["peak_x"] = (korvane::bench::peakMegabytes() - before) / (double(size) / (1024 * 1024));
}
BENCHMARK(ImportLongLine)->Arg(5)->Arg(50)->Arg(200)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

KORVANE_GUI_BENCHMARK_MAIN()
