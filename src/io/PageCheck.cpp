#include "io/PageCheck.h"

#include "io/HtmlImport.h"
#include "io/ImagePathLookup.h"
#include "io/ImportFile.h"
#include "io/OwnForms.h"
#include "io/PageRules.h"
#include "model/BrowserRules.h"
#include "model/Paths.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <optional>

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

// Why a browser gives a picture no map, for a usemap that finds none.
QString missingMapText(const import::PageMaps& read, qsizetype candidate)
{
    const QString usemap = read.usemapValues.value(candidate);
    const std::optional<QString> name = browser::hashName(browser::decodeReferences(usemap));
    if (!name)
        return QCoreApplication::translate("korvane::PageCheck", "Der usemap-Wert %1 nennt nach einem \"#\" keinen Namen; ein "
                                                            "Browser verbindet die Grafik mit keiner Map.")
            .arg(quoted(usemap));
    QString text = QCoreApplication::translate("korvane::PageCheck", "Die Grafik nennt die Map %1, aber keine Map der Seite trägt "
                                                                "diesen Namen.")
                       .arg(quoted(*name));
    for (const import::MapElement& map : read.maps) {
        for (const QStringView given : {map.name, map.id}) {
            const QString decoded = browser::decodeReferences(given);
            if (!given.isNull() && decoded.compare(*name, Qt::CaseInsensitive) == 0)
                return text + QLatin1Char(' ') +
                       QCoreApplication::translate("korvane::PageCheck", "Die Map %1 unterscheidet sich nur in der Groß- und "
                                                                   "Kleinschreibung; ein Browser nimmt sie nicht.")
                           .arg(quoted(decoded));
        }
    }
    return text;
}

// The size the page shows a picture of size `own` at (own unknown: the img's width and height, when both are given).
QSize shownPictureSize(const import::ChosenImage& image, QSize own)
{
    if (own.isEmpty())
        return image.width > 0 && image.height > 0 ? QSize(image.width, image.height) : own;
    return import::shownSize(image.width, image.height, own);
}

void checkNames(const import::PageMaps& read, const LineIndex& lines, Findings& out)
{
    for (std::size_t m = 0; m < read.maps.size(); ++m) {
        const QString name = import::mapNameOf(read.maps[m].name);
        for (std::size_t e = 0; e < m; ++e) {
            if (import::mapNameOf(read.maps[e].name).compare(name, Qt::CaseInsensitive) != 0)
                continue;
            out.push_back({QStringLiteral("duplicate-map-name"), Severity::Warning, -1, lines.at(read.maps[m].start),
                           QCoreApplication::translate("korvane::PageCheck", "Eine Map mit dem Namen %1 steht schon in Zeile %2; welche "
                                                                       "eine Grafik bekommt, hängt vom Browser ab.")
                               .arg(quoted(name), QString::number(lines.at(read.maps[e].start)))});
            break;
        }
    }
}

// The map of one of Korvane's own forms: its areas, the picture at the size
// the form gives (else at its own), lines counted in the text.
FileCheck checkOwnForm(QStringView text, const import::OwnMap& map, const PictureSizer& pictureSize, int displayWidth)
{
    const LineIndex lines(text);
    MapFacts facts;
    facts.displayWidth = displayWidth;
    facts.picture = map.size.isEmpty() ? pictureSize(map.imagePath) : map.size;
    facts.pictureFileName = fileNameOf(map.imagePath);
    for (const qsizetype start : map.starts)
        facts.lines.append(lines.at(start));
    return {QString(), checkAreas(map.lines, facts)};
}

} // namespace

Findings checkPage(QStringView text, const PictureSizer& pictureSize, int displayWidth)
{
    return checkPage(text, import::readPageMaps(text), pictureSize, displayWidth);
}

Findings checkPage(QStringView text, const import::PageMaps& read, const PictureSizer& pictureSize, int displayWidth)
{
    const LineIndex lines(text);
    Findings out;
    checkNames(read, lines, out);
    const Findings tagged = pageRules(text, read, [&lines](qsizetype at) { return lines.at(at); });
    out.insert(out.end(), tagged.begin(), tagged.end());
    // Each map once, with the picture of the first img that uses it.
    std::vector<int> pictureOf(read.maps.size(), -1);
    for (qsizetype c = 0; c < read.candidates.size(); ++c) {
        const int m = import::browserMap(read, c);
        if (m < 0)
            out.push_back({QStringLiteral("usemap-without-map"), Severity::Error, -1, lines.at(read.candidateStarts[c]),
                           missingMapText(read, c)});
        else if (pictureOf[m] < 0)
            pictureOf[m] = int(c);
    }
    for (std::size_t m = 0; m < read.maps.size(); ++m) {
        const import::MapElement& map = read.maps[m];
        const import::AreaScan scan = import::readMapAreas(text.sliced(map.start, map.end - map.start));
        MapFacts facts;
        facts.displayWidth = displayWidth;
        facts.fromTags = true;
        if (pictureOf[m] >= 0) {
            // The coordinates are pixels of the picture as the page shows it.
            const import::ChosenImage image = import::readChosenTag(read.candidates[pictureOf[m]]);
            facts.picture = shownPictureSize(image, pictureSize(image.imagePath));
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
        return {QCoreApplication::translate("korvane::PageCheck", "Die Datei %1 kann nicht gelesen werden.").arg(quoted(path)), {}};
    const QString text = import::readImportFile(path);
    const import::PageMaps read = import::readPageMaps(text);
    // Pictures are looked up where the page's base element leads.
    const QString folder = import::baseFolder(read.baseHref, QFileInfo(path).absolutePath());
    const auto sizeOf = [&](const QString& imagePath) {
        const QString onDisk = findFileIgnoringCase(imagePath, folder);
        return onDisk.isEmpty() ? QSize() : QImageReader(onDisk).size();
    };
    if (read.maps.empty()) {
        QString problem;
        if (const std::optional<import::OwnMap> own = import::readOwnForm(text, &problem))
            return checkOwnForm(text, *own, sizeOf, displayWidth);
        return {
            problem.isEmpty()
                ? QCoreApplication::translate("korvane::PageCheck", "In der Datei %1 wurde keine ImageMap gefunden.")
                      .arg(quoted(path))
                : QCoreApplication::translate("korvane::PageCheck", "Die Datei %1 lässt sich nicht prüfen: %2")
                      .arg(quoted(path), problem),
            {}};
    }
    return {QString(), checkPage(text, read, sizeOf, displayWidth)};
}

QString findingLine(const QString& file, const Finding& finding)
{
    return file + QLatin1Char(':') + QString::number(finding.line) + QStringLiteral(": ") +
           severityName(finding.severity) + QStringLiteral(": ") + finding.rule + QStringLiteral(": ") + finding.message;
}

} // namespace korvane::check
