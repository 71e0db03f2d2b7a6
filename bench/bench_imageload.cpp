// Time to decode a large picture, and to start the main window with it loaded.
// Run with QT_QPA_PLATFORM=offscreen; "/usr/bin/time -v bench_imageload
// --benchmark_filter=StartWithPicture" gives the peak memory of that path.
// OpenLargestPicture measures the peak memory of opening a 10,000 x 10,000
// picture (the largest allowed): goal under 2.5 times its 32-bit size.
// PngWithTextChunk decodes a 40 x 30 PNG that carries 100 MB of text (goal:
// as quick and small as the picture alone), SixteenBitPng a 10,000 x 10,000
// PNG of 16 bits a channel (goal: peak under twice its 32-bit size).
#include "picture/ImageLoader.h"
#include "app/IniFile.h"
#include "app/MainWindow.h"
#include "canvas/Canvas.h"

#include "PeakMemory.h"

#include <QApplication>
#include <QBuffer>
#include <QFileInfo>
#include <QtEndian>
#include <QDir>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <zlib.h>

namespace {

QTemporaryDir* samples = nullptr;

// A 4000 x 3000 picture with gradients and lines, so that the encoders have work.
QString sample(const char* format)
{
    const QString path = samples->filePath(QStringLiteral("gross.") + QLatin1String(format));
    if (QFile::exists(path))
        return path;
    QImage image(4000, 3000, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 4000, 3000);
    gradient.setColorAt(0, Qt::darkBlue);
    gradient.setColorAt(1, Qt::yellow);
    painter.fillRect(image.rect(), gradient);
    painter.setPen(QPen(Qt::red, 3));
    for (int x = 0; x < 4000; x += 37)
        painter.drawLine(x, 0, 4000 - x, 3000);
    painter.end();
    QImageWriter(path, format).write(image);
    return path;
}

void LoadPicture(benchmark::State& state, const char* format)
{
    const QString path = sample(format);
    for (auto _ : state) {
        QString error;
        QImage image = korvane::loadPictureFile(path, &error);
        if (image.isNull())
            state.SkipWithError("not loaded");
        benchmark::DoNotOptimize(image);
    }
}
BENCHMARK_CAPTURE(LoadPicture, png, "png")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LoadPicture, jpeg, "jpg")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LoadPicture, bmp, "bmp")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LoadPicture, tiff, "tif")->Unit(benchmark::kMillisecond);

// Main window created and shown, the picture loaded through bild_laden, events handled.
void StartWithPicture(benchmark::State& state)
{
    const QString path = sample("png");
    for (auto _ : state) {
        korvane::MainWindow window;
        window.show();
        window.bild_laden(path);
        QCoreApplication::processEvents();
        if (window.ui.Picture1->picture().size() != QSize(4000, 3000))
            state.SkipWithError("not loaded");
    }
}
BENCHMARK(StartWithPicture)->Unit(benchmark::kMillisecond);

// A 10,000 x 10,000 PNG, opaque or with transparent parts.
// A 10,000 x 10,000 PNG of one colour crossed by red lines, written fast.
QString writeLargestPng(const QString& path, QImage::Format format, const QColor& fill)
{
    QImage image(10000, 10000, format);
    image.fill(fill);
    QPainter painter(&image);
    painter.setPen(QPen(Qt::red, 5));
    for (int x = 0; x < 10000; x += 97)
        painter.drawLine(x, 0, 10000 - x, 10000);
    painter.end();
    QImageWriter writer(path, "png");
    writer.setCompression(1);
    writer.write(image);
    return path;
}

QString largestSample(bool alpha)
{
    const QString path = samples->filePath(alpha ? QStringLiteral("groesst-alpha.png") : QStringLiteral("groesst.png"));
    if (QFile::exists(path))
        return path;
    return writeLargestPng(path, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32,
                           alpha ? QColor(0, 0, 255, 128) : QColor(Qt::darkGreen));
}

// Opened through bild_laden in a shown main window, over a picture of the
// same size. "peak_MB" is what the process's resident memory rose to above
// the window with its first picture; "picture_MB" the 32-bit size.
void OpenLargestPicture(benchmark::State& state, bool alpha)
{
    const QString path = largestSample(alpha);
    korvane::MainWindow window;
    window.show();
    window.bild_laden(path);
    QCoreApplication::processEvents();
    const double before = korvane::bench::currentMegabytes();
    korvane::bench::resetPeakMemory();
    for (auto _ : state) {
        window.bild_laden(path);
        QCoreApplication::processEvents();
        if (window.ui.Picture1->picture().size() != QSize(10000, 10000))
            state.SkipWithError("not loaded");
    }
    const double picture = 10000.0 * 10000.0 * 4 / (1024 * 1024);
    state.counters["picture_MB"] = picture;
    state.counters["peak_MB"] = korvane::bench::peakMegabytes();
    state.counters["held_MB"] = before;
    state.counters["peak_x"] = korvane::bench::peakMegabytes() / picture;
}
BENCHMARK_CAPTURE(OpenLargestPicture, opaque, false)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(OpenLargestPicture, alpha, true)->Unit(benchmark::kMillisecond)->Iterations(1);

// A PNG chunk: length, type, data, CRC.
QByteArray pngChunk(const QByteArray& type, const QByteArray& data)
{
    QByteArray chunk(4, Qt::Uninitialized);
    qToBigEndian<quint32>(quint32(data.size()), chunk.data());
    chunk += type + data;
    const QByteArray typed = type + data;
    QByteArray crc(4, Qt::Uninitialized);
    qToBigEndian<quint32>(quint32(crc32(0, reinterpret_cast<const Bytef*>(typed.constData()), uInt(typed.size()))),
                          crc.data());
    return chunk + crc;
}

QString textChunkSample()
{
    const QString path = samples->filePath(QStringLiteral("text.png"));
    if (QFile::exists(path))
        return path;
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "png");
    QByteArray png = buffer.data();
    const QByteArray text = "Comment" + QByteArray(1, '\0') + QByteArray("Ein langer Text. ").repeated(6'200'000);
    png.insert(8 + 25, pngChunk("tEXt", text)); // after the signature and IHDR
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(png);
    return path;
}

QString sixteenBitSample()
{
    const QString path = samples->filePath(QStringLiteral("16bit.png"));
    if (QFile::exists(path))
        return path;
    return writeLargestPng(path, QImage::Format_RGBX64, QColor::fromRgba64(30000, 40000, 50000));
}

// loadPictureFile() alone; "peak_MB" is the rise of the resident memory.
void DecodeOne(benchmark::State& state, QString (*sample)(), QSize size)
{
    const QString path = sample();
    const double before = korvane::bench::currentMegabytes();
    korvane::bench::resetPeakMemory();
    for (auto _ : state) {
        if (korvane::loadPictureFile(path).size() != size)
            state.SkipWithError("not loaded");
    }
    const double picture = double(size.width()) * size.height() * 4 / (1024 * 1024);
    state.counters["file_MB"] = double(QFileInfo(path).size()) / (1024 * 1024);
    state.counters["peak_MB"] = korvane::bench::peakMegabytes() - before;
    state.counters["peak_x"] = (korvane::bench::peakMegabytes() - before) / picture;
}
BENCHMARK_CAPTURE(DecodeOne, PngWithTextChunk, textChunkSample, QSize(40, 30))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(DecodeOne, SixteenBitPng, sixteenBitSample, QSize(10000, 10000))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    samples = &dir;
    korvane::setSettingsFileOverride(dir.filePath(QStringLiteral("Korvane.ini")));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
