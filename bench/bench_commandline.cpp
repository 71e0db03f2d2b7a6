// The commands without a window on big files: korvane --check and
// --export-responsive of a .map file and of a page of about 200 MB, each
// holding one map of 2.7 million small areas side by side (every one a small
// target for the check). Goal: the peak memory of each within three times the
// file ("peak_x" under 3). "peak_MiB" is what the resident memory rose to
// above what the process held before. KORVANE_BENCH_SAMPLES names a folder
// that keeps the files between runs.
#include "app/commands/ExportResponsiveFile.h"
#include "io/PageCheck.h"

#include "PeakMemory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

using namespace korvane;

namespace {

constexpr qint64 kFileSize = 200 * 1024 * 1024;
constexpr int kColumns = 2500;

std::unique_ptr<QDir> samples;

// Areas of 2 x 2 pixels, 4 pixels apart, in rows of 2,500, until the file
// holds `kFileSize` bytes.
bool writeAreas(QFile& file)
{
    QByteArray chunk;
    for (qint64 i = 0; file.size() + chunk.size() < kFileSize; ++i) {
        const QByteArray x = QByteArray::number(i % kColumns * 4), y = QByteArray::number(i / kColumns * 4);
        chunk += "<area shape=\"rect\" coords=\"" + x + ',' + y + ',' + QByteArray::number(i % kColumns * 4 + 2) + ',' +
                 QByteArray::number(i / kColumns * 4 + 2) + "\" href=\"seite" + QByteArray::number(i) +
                 ".html\" alt=\"Feld " + QByteArray::number(i) + "\" />\r\n";
        if (chunk.size() > (1 << 20)) {
            if (file.write(chunk) != chunk.size())
                return false;
            chunk.clear();
        }
    }
    return file.write(chunk) == chunk.size();
}

// The .map as the editor saves it, or a page around the same map; the
// picture is not there, so the img tag gives its size.
QString bigFile(bool page)
{
    const QString path =
        samples->filePath(page ? QStringLiteral("nebeneinander.html") : QStringLiteral("nebeneinander.map"));
    if (QFile::exists(path))
        return path;
    const QByteArray img = "<img src=\"plan.png\" width=\"10000\" height=\"4400\" alt=\"\" usemap=\"#plan\" />";
    QFile file(path);
    const bool written = file.open(QIODevice::WriteOnly) &&
                         file.write(page ? "<!DOCTYPE html>\n<html><body>\n" + img + "\n<map name=\"plan\">\n"
                                         : "<!--\r\nIMAGEMAP FUER GRAFIKDATEI: plan.png\r\n-->\r\n\r\n" + img +
                                               "\r\n<map id=\"plan\" name=\"plan\">\r\n") > 0 &&
                         writeAreas(file) &&
                         file.write(page ? "</map>\n</body></html>\n"
                                         : "<area shape=\"default\" nohref=\"nohref\" alt=\"\" />\r\n</map>\r\n") > 0;
    return written ? path : QString();
}

// The peak of the resident memory above what the process held before.
struct Peak {
    double before = (bench::resetPeakMemory(), bench::currentMegabytes());
    void report(benchmark::State& state, const QString& path) const
    {
        const double file = double(QFileInfo(path).size()) / (1024 * 1024);
        state.counters["peak_MiB"] = bench::peakMegabytes() - before;
        state.counters["file_MiB"] = file;
        state.counters["peak_x"] = (bench::peakMegabytes() - before) / file;
    }
};

void BM_CheckBigFile(benchmark::State& state)
{
    const QString path = bigFile(state.range(0) == 1);
    const Peak peak;
    qint64 findings = 0;
    for (auto _ : state) {
        const QString problem = check::checkFile(path, 0, [&findings](const check::Finding&) { ++findings; });
        if (!problem.isEmpty() || findings == 0)
            state.SkipWithError("not checked");
    }
    peak.report(state, path);
    state.counters["findings"] = double(findings);
}
BENCHMARK(BM_CheckBigFile)->ArgName("page")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ExportBigFile(benchmark::State& state)
{
    const QString path = bigFile(state.range(0) == 1);
    const QString output = samples->filePath(QStringLiteral("responsiv.html"));
    const Peak peak;
    for (auto _ : state) {
        const ExportOutcome outcome = exportResponsiveFile({output, path});
        if (outcome.exitCode != 0)
            state.SkipWithError(outcome.message.toLocal8Bit().constData());
    }
    peak.report(state, path);
    state.counters["page_MiB"] = double(QFileInfo(output).size()) / (1024 * 1024);
    QFile::remove(output);
}
BENCHMARK(BM_ExportBigFile)->ArgName("page")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir temporary;
    const QString kept = qEnvironmentVariable("KORVANE_BENCH_SAMPLES");
    if (!kept.isEmpty())
        QDir().mkpath(kept);
    samples = std::make_unique<QDir>(kept.isEmpty() ? temporary.path() : kept);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
