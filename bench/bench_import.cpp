// Speed of the import readers on large inputs: a 20 MB page with filler text,
// several images and one map of 5,000 areas near its end (goal: under 150 ms;
// every tag of the page is read, as a browser's tokenizer reads it), and a
// .map file of 5,000 areas.
#include "io/HtmlImport.h"
#include "io/ImportFile.h"
#include "io/MapImport.h"
#include "model/Codec.h"
#include "model/MapCode.h"

#include "PeakMemory.h"
#include "SamplePages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <gumbo.h>

using namespace korvane;
using namespace korvane::import;
using korvane::bench::filler;

namespace {

constexpr int kAreas = 5000;
constexpr qsizetype kPageSize = 20 * 1024 * 1024;

QString areaMarkup(int i)
{
    const int x = i % 500;
    const int y = i / 500;
    return QStringLiteral("<AREA SHAPE=\"rect\" COORDS=\"%1,%2,%3,%4\" HREF=\"seite%5.html\" ALT=\"Feld %5\" "
                          "onMouseOver=\"zeige(%5)\">\n")
        .arg(x)
        .arg(y)
        .arg(x + 9)
        .arg(y + 9)
        .arg(i);
}

// The page: filler, images (two with small maps, one with the big map), filler,
// the small maps, the big map near the end, a little filler after it.
const QString& bigPage()
{
    static const QString page = [] {
        QString p = QStringLiteral("<!DOCTYPE html>\n<HTML><BODY>\n");
        p += filler(kPageSize / 3, 0);
        p += QStringLiteral("<IMG SRC=\"Bilder/Klein.png\" USEMAP=\"#klein\" WIDTH=\"10\">\n");
        p += QStringLiteral("<img src=\"file:///srv/web/Stadt%20Plan.jpg\" usemap=\"#stadtplan\" />\n");
        p += filler(kPageSize / 3, 1);
        p += QStringLiteral("<img src=\"bilder/noch.gif\" usemap=\"#noch\">\n");
        p += QStringLiteral("<map name=\"klein\"><area shape=\"circle\" coords=\"5,5,5\" href=\"k.html\"></map>\n");
        p += QStringLiteral("<map name=\"noch\"><area shape=\"rect\" coords=\"1,1,2,2\" href=\"n.html\"></map>\n");
        p += filler(kPageSize - p.size() - kAreas * 110, 2);
        p += QStringLiteral("<MAP NAME=\"stadtplan\">\n");
        for (int i = 0; i < kAreas; ++i)
            p += areaMarkup(i);
        p += QStringLiteral("<AREA SHAPE=\"default\" NOHREF>\n</MAP>\n");
        p += filler(64 * 1024, 3);
        p += QStringLiteral("</BODY></HTML>\n");
        return p;
    }();
    return page;
}

// The reading steps of the HTML import, the chooser's lines included.
qsizetype importPage(QStringView page)
{
    const QStringList tags = imgCandidates(page);
    QStringList shown;
    for (const QString& tag : tags)
        shown << candidateLine(tag, PathStyle::Unix);
    const ChosenImage image = readChosenTag(tags.at(1), PathStyle::Unix);
    const FoundMap map = findMap(page, image.mapName);
    return readMapAreas(map.text).lines.size() + shown.size() * 0;
}

void BM_HtmlImportPage(benchmark::State& state)
{
    const QString& page = bigPage();
    for (auto _ : state) {
        const qsizetype n = importPage(page);
        if (n != kAreas)
            state.SkipWithError("wrong number of areas");
        benchmark::DoNotOptimize(n);
    }
    state.counters["MB"] = double(page.size()) / (1024 * 1024);
    state.SetBytesProcessed(state.iterations() * page.size());
}
BENCHMARK(BM_HtmlImportPage)->Unit(benchmark::kMillisecond);

// The same with the file's bytes decoded first (UTF-8 detection and decoding).
void BM_HtmlImportPageFromBytes(benchmark::State& state)
{
    const QByteArray bytes = bigPage().toUtf8();
    for (auto _ : state) {
        const QString page = decodeText(bytes, detectEncoding(bytes));
        benchmark::DoNotOptimize(importPage(page));
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_HtmlImportPageFromBytes)->Unit(benchmark::kMillisecond);

void BM_MapImport(benchmark::State& state)
{
    QStringList lines;
    for (int i = 0; i < kAreas; ++i) {
        lines << QStringLiteral(" poly                    |%1,%2,%3,%4,%5,%6|ziel%7.html|Feld %7|_blank|a(%7)|*|b()")
                     .arg(i % 500)
                     .arg(i / 500)
                     .arg(i % 500 + 9)
                     .arg(i / 500)
                     .arg(i % 500 + 4)
                     .arg(i / 500 + 9)
                     .arg(i);
    }
    const QString text = QStringLiteral("<!--\r\nIMAGEMAP FUER GRAFIKDATEI: plan.png\r\n-->\r\n\r\n") +
                         map_daten(lines, QStringLiteral("/srv/web/plan.png"), QString(), QSize(500, 20));
    for (auto _ : state) {
        const MapFileData data = readMapFile(text, PathStyle::Unix);
        if (data.areas.lines.size() != kAreas)
            state.SkipWithError("wrong number of areas");
        benchmark::DoNotOptimize(data);
    }
    state.SetBytesProcessed(state.iterations() * text.size() * 2);
}
BENCHMARK(BM_MapImport)->Unit(benchmark::kMillisecond);

// Hostile pages: 4 MB of comments that are never closed before a picture
// (which the first of them hides), and 4 MB of declarations that are never
// closed.
void BM_UnclosedComments(benchmark::State& state)
{
    const QString comments = QStringLiteral("<!-- ").repeated(800 * 1024) + QStringLiteral("<img usemap=\"#x\">");
    const QString declarations = QStringLiteral("<? <! ").repeated(700 * 1024);
    for (auto _ : state) {
        if (!imgCandidates(comments).isEmpty() || !imgCandidates(declarations).isEmpty())
            state.SkipWithError("wrong pictures");
    }
}
BENCHMARK(BM_UnclosedComments)->Unit(benchmark::kMillisecond);

// The two big files from disk as the commands read them, file to area
// lines (goal together with the window's part: bench_open's ProcessOpen):
// a page with a million areas, read whole, and a .map file of 200 MB, read
// in pieces and never held whole. KORVANE_BENCH_SAMPLES names a folder that
// keeps them between runs, as for bench_open.
const QDir& bigFiles()
{
    static QTemporaryDir temporary;
    static const QDir dir = [] {
        const QString kept = qEnvironmentVariable("KORVANE_BENCH_SAMPLES");
        if (!kept.isEmpty())
            QDir().mkpath(kept);
        const QDir made(kept.isEmpty() ? temporary.path() : kept);
        for (const QString name : {QStringLiteral("million.html"), QStringLiteral("gross.map")}) {
            const QString path = made.filePath(name);
            if (QFile::exists(path))
                continue;
            if (name.endsWith(QLatin1String(".html")))
                bench::writeMillionAreaPage(path, QStringLiteral("plan.png"));
            else
                bench::writeBigMapFile(path, QStringLiteral("plan.png"));
        }
        return made;
    }();
    return dir;
}

// The peak memory of the reading above what the process held before it.
struct ReadingPeak {
    double before = (bench::resetPeakMemory(), bench::residentMegabytes("VmRSS"));
    double above() const { return bench::peakMegabytes() - before; }
};

void BM_MillionAreaPageFromDisk(benchmark::State& state)
{
    const QString path = bigFiles().filePath(QStringLiteral("million.html"));
    const ReadingPeak peak;
    for (auto _ : state) {
        const QString page = readImportFile(path);
        const PageMaps maps = readPageMaps(page);
        const ChosenImage image = readChosenTag(maps.candidates.value(0), PathStyle::Unix);
        const qsizetype n = readMapAreas(findMap(page, maps, image.mapName).text).lines.size();
        if (n != 1'000'000)
            state.SkipWithError("wrong number of areas");
    }
    state.counters["peak_MiB"] = peak.above();
}
BENCHMARK(BM_MillionAreaPageFromDisk)->Unit(benchmark::kMillisecond)->Iterations(2);

// As the command reads a .map: in pieces for the tags, its encoding found beside.
std::optional<MapFileData> readMapFileFromDisk(const QString& path)
{
    MapFileStream stream(PathStyle::Unix);
    if (!streamImportFile(
            path, [&stream](QStringView piece) { stream.take(piece); },
            [&stream] { stream = MapFileStream(PathStyle::Unix); }))
        return std::nullopt;
    return stream.finish();
}

void BM_Map200MBFromDisk(benchmark::State& state)
{
    const QString path = bigFiles().filePath(QStringLiteral("gross.map"));
    const ReadingPeak peak;
    for (auto _ : state) {
        const std::optional<MapFileData> data = readMapFileFromDisk(path);
        if (!data || data->areas.lines.size() < 1'000'000)
            state.SkipWithError("too few areas");
    }
    state.counters["file_MiB"] = double(QFileInfo(path).size()) / (1024 * 1024);
    state.counters["peak_MiB"] = peak.above();
}
BENCHMARK(BM_Map200MBFromDisk)->Unit(benchmark::kMillisecond)->Iterations(2);

// A .map file of 100 MB whose comment after the first area never closes:
// read in pieces like any other, never held whole (a peak of a few MiB).
void BM_MapUnclosedCommentFromDisk(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kommentar.map"));
    QFile file(path);
    const QByteArray area = "<area shape=\"rect\" coords=\"1,1,2,2\" href=\"a.html\" alt=\"A\" />\n";
    if (!file.open(QIODevice::WriteOnly) || file.write(" <map name=\"plan\">\n" + area + "<!--\n") < 0)
        state.SkipWithError("not written");
    const QByteArray chunk = area.repeated(1024 * 1024 / area.size());
    for (int i = 0; i < 100; ++i)
        file.write(chunk);
    file.close();
    const ReadingPeak peak;
    for (auto _ : state) {
        const std::optional<MapFileData> data = readMapFileFromDisk(path);
        if (!data || data->areas.lines.size() != 1)
            state.SkipWithError("areas read from the comment");
    }
    state.counters["file_MiB"] = double(QFileInfo(path).size()) / (1024 * 1024);
    state.counters["peak_MiB"] = peak.above();
}
BENCHMARK(BM_MapUnclosedCommentFromDisk)->Unit(benchmark::kMillisecond)->Iterations(2);

// For comparison: the whole page through gumbo's HTML5 parser, far over the
// goal; this is why the importers read tags with their own reader.
void BM_GumboWholePage(benchmark::State& state)
{
    const QByteArray bytes = bigPage().toUtf8();
    for (auto _ : state) {
        GumboOutput* output = gumbo_parse_with_options(&kGumboDefaultOptions, bytes.constData(), size_t(bytes.size()));
        gumbo_destroy_output(&kGumboDefaultOptions, output);
    }
}
BENCHMARK(BM_GumboWholePage)->Unit(benchmark::kMillisecond)->Iterations(1);

// The parts: collecting the img tags, finding the map, reading its areas.
void BM_PageCandidates(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(imgCandidates(bigPage()));
}
BENCHMARK(BM_PageCandidates)->Unit(benchmark::kMillisecond);

void BM_PageFindMap(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(findMap(bigPage(), u"stadtplan"));
}
BENCHMARK(BM_PageFindMap)->Unit(benchmark::kMillisecond);

void BM_PageMapAreas(benchmark::State& state)
{
    const FoundMap map = findMap(bigPage(), u"stadtplan");
    for (auto _ : state)
        benchmark::DoNotOptimize(readMapAreas(map.text));
}
BENCHMARK(BM_PageMapAreas)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
