#include "io/PageCheck.h"

#include "io/HtmlImport.h"
#include "io/ImagePathLookup.h"
#include "io/ImportFile.h"
#include "model/Paths.h"

#include <QFileInfo>
#include <QImageReader>

#include <algorithm>

namespace korvane::check {

namespace {

// Line numbers of positions in a text, from 1.
class LineIndex {
public:
    explicit LineIndex(QStringView text)
    {
        for (qsizetype i = text.indexOf(u'\n'); i >= 0; i = text.indexOf(u'\n', i + 1))
            m_breaks.push_back(i);
    }
    int at(qsizetype position) const
    {
        return int(std::lower_bound(m_breaks.begin(), m_breaks.end(), position) - m_breaks.begin()) + 1;
    }

private:
    std::vector<qsizetype> m_breaks;
};

QString quoted(QStringView text)
{
    return QLatin1Char('"') + text.toString() + QLatin1Char('"');
}

// The first map of that name, an exact name before one that differs in letter case only.
int namedMap(const import::PageMaps& read, const QString& name)
{
    for (const Qt::CaseSensitivity cs : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
        for (std::size_t m = 0; m < read.maps.size(); ++m) {
            if (import::mapNameOf(read.maps[m].name).compare(name, cs) == 0)
                return int(m);
        }
    }
    return -1;
}

void checkNames(const import::PageMaps& read, const LineIndex& lines, Findings& out)
{
    for (std::size_t m = 0; m < read.maps.size(); ++m) {
        const QString name = import::mapNameOf(read.maps[m].name);
        for (std::size_t e = 0; e < m; ++e) {
            if (import::mapNameOf(read.maps[e].name).compare(name, Qt::CaseInsensitive) != 0)
                continue;
            out.push_back({QStringLiteral("duplicate-map-name"), Severity::Warning, -1, lines.at(read.maps[m].start),
                           QStringLiteral("Eine Map mit dem Namen ") + quoted(name) + QStringLiteral(" steht schon in Zeile ") +
                               QString::number(lines.at(read.maps[e].start)) +
                               QStringLiteral("; welche eine Grafik bekommt, hängt vom Browser ab.")});
            break;
        }
    }
}

} // namespace

Findings checkPage(QStringView text, const PictureSizer& pictureSize, int displayWidth)
{
    const import::PageMaps read = import::readPageMaps(text);
    const LineIndex lines(text);
    Findings out;
    checkNames(read, lines, out);
    // Each map once, with the picture of the first img that uses it.
    std::vector<int> pictureOf(read.maps.size(), -1);
    for (qsizetype c = 0; c < read.candidates.size(); ++c) {
        const int m = namedMap(read, read.usemapNames[c]);
        if (m < 0) {
            out.push_back({QStringLiteral("usemap-without-map"), Severity::Error, -1, lines.at(read.candidateStarts[c]),
                           QStringLiteral("Die Grafik nennt die Map ") + quoted(read.usemapNames[c]) +
                               QStringLiteral(", aber keine Map der Seite trägt diesen Namen.")});
        } else if (pictureOf[m] < 0) {
            pictureOf[m] = int(c);
        }
    }
    for (std::size_t m = 0; m < read.maps.size(); ++m) {
        const import::MapElement& map = read.maps[m];
        const import::AreaScan scan = import::readMapAreas(text.sliced(map.start, map.end - map.start));
        MapFacts facts;
        facts.displayWidth = displayWidth;
        if (pictureOf[m] >= 0) {
            const import::ChosenImage image = import::readChosenTag(read.candidates[pictureOf[m]]);
            facts.picture = pictureSize(image.imagePath);
            facts.pictureFileName = fileNameOf(image.imagePath);
        }
        for (const qsizetype start : scan.starts)
            facts.lines.append(lines.at(map.start + start));
        const Findings found = checkAreas(scan.lines, facts);
        out.insert(out.end(), found.begin(), found.end());
    }
    std::stable_sort(out.begin(), out.end(), [](const Finding& a, const Finding& b) { return a.line < b.line; });
    return out;
}

FileCheck checkFile(const QString& path, int displayWidth)
{
    if (!QFileInfo(path).isFile() || !QFileInfo(path).isReadable())
        return {QStringLiteral("Die Datei ") + quoted(path) + QStringLiteral(" kann nicht gelesen werden."), {}};
    const QString text = import::readImportFile(path);
    if (import::readPageMaps(text).maps.empty())
        return {QStringLiteral("In der Datei ") + quoted(path) + QStringLiteral(" wurde keine ImageMap gefunden."), {}};
    const QString folder = QFileInfo(path).absolutePath();
    const auto sizeOf = [&](const QString& imagePath) {
        const QString onDisk = findFileIgnoringCase(imagePath, folder);
        return onDisk.isEmpty() ? QSize() : QImageReader(onDisk).size();
    };
    return {QString(), checkPage(text, sizeOf, displayWidth)};
}

QString findingLine(const QString& file, const Finding& finding)
{
    return file + QLatin1Char(':') + QString::number(finding.line) + QStringLiteral(": ") +
           severityName(finding.severity) + QStringLiteral(": ") + finding.rule + QStringLiteral(": ") + finding.message;
}

} // namespace korvane::check
