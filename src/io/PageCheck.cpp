#include "io/PageCheck.h"

#include "io/HtmlImport.h"
#include "io/ImagePathLookup.h"
#include "io/ImportFile.h"
#include "io/PageStream.h"
#include "model/BrowserRules.h"
#include "model/Paths.h"

#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <optional>

namespace korvane::check {

namespace {

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
        return QStringLiteral("Der usemap-Wert ") + quoted(usemap) +
               QStringLiteral(" nennt nach einem \"#\" keinen Namen; ein Browser verbindet die Grafik mit keiner Map.");
    QString text = QStringLiteral("Die Grafik nennt die Map ") + quoted(*name) +
                   QStringLiteral(", aber keine Map der Seite trägt diesen Namen.");
    for (const import::MapElement& map : read.maps) {
        for (const QStringView given : {map.name, map.id}) {
            const QString decoded = browser::decodeReferences(given);
            if (!given.isNull() && decoded.compare(*name, Qt::CaseInsensitive) == 0)
                return text + QStringLiteral(" Die Map ") + quoted(decoded) +
                       QStringLiteral(" unterscheidet sich nur in der Groß- und Kleinschreibung; ein Browser nimmt sie nicht.");
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

void checkNames(const import::StreamedPage& read, Findings& out)
{
    for (std::size_t m = 0; m < read.maps.size(); ++m) {
        const QString name = import::mapNameOf(read.maps[m].name);
        for (std::size_t e = 0; e < m; ++e) {
            if (import::mapNameOf(read.maps[e].name).compare(name, Qt::CaseInsensitive) != 0)
                continue;
            out.push_back({QStringLiteral("duplicate-map-name"), Severity::Warning, -1, read.maps[m].line,
                           QStringLiteral("Eine Map mit dem Namen ") + quoted(name) +
                               QStringLiteral(" steht schon in Zeile ") + QString::number(read.maps[e].line) +
                               QStringLiteral("; welche eine Grafik bekommt, hängt vom Browser ab.")});
            break;
        }
    }
}

// Hands the page's own findings on in line order among those of its maps,
// which come in line order already: the maps follow one another, and so do
// the areas of each.
class LineOrder {
public:
    LineOrder(Findings pageFindings, const FindingSink& sink) : m_page(std::move(pageFindings)), m_sink(sink)
    {
        std::stable_sort(m_page.begin(), m_page.end(),
                         [](const Finding& a, const Finding& b) { return a.line < b.line; });
    }
    void operator()(const Finding& finding)
    {
        for (; m_next < m_page.size() && m_page[m_next].line <= finding.line; ++m_next)
            m_sink(m_page[m_next]);
        m_sink(finding);
    }
    void finish()
    {
        for (; m_next < m_page.size(); ++m_next)
            m_sink(m_page[m_next]);
    }

private:
    Findings m_page;
    std::size_t m_next = 0;
    const FindingSink& m_sink;
};

} // namespace

Findings checkPage(QStringView text, const PictureSizer& pictureSize, int displayWidth)
{
    import::PageStream stream;
    stream.take(text);
    Findings out;
    checkPage(stream.finish(), pictureSize, displayWidth, [&out](const Finding& finding) { out.push_back(finding); });
    return out;
}

void checkPage(const import::StreamedPage& read, const PictureSizer& pictureSize, int displayWidth,
               const FindingSink& sink)
{
    const import::PageMaps maps = read.pageMaps();
    Findings pageFindings;
    checkNames(read, pageFindings);
    // Each map once, with the picture of the first img that uses it.
    std::vector<int> pictureOf(read.maps.size(), -1);
    for (qsizetype c = 0; c < maps.candidates.size(); ++c) {
        const int m = import::browserMap(maps, c);
        if (m < 0) {
            pageFindings.push_back({QStringLiteral("usemap-without-map"), Severity::Error, -1, read.candidateLines[c],
                                    missingMapText(maps, c)});
        } else if (pictureOf[m] < 0) {
            pictureOf[m] = int(c);
        }
    }
    LineOrder ordered(std::move(pageFindings), sink);
    // A map inside another shares its areas' lines: then the maps' findings
    // are put in line order first (the rare page that nests maps is small).
    Findings nested;
    const bool nesting = std::adjacent_find(read.maps.begin(), read.maps.end(), [](const auto& a, const auto& b) {
                             return b.start < a.end;
                         }) != read.maps.end();
    const FindingSink toOrder = [&](const Finding& finding) {
        if (nesting)
            nested.push_back(finding);
        else
            ordered(finding);
    };
    for (std::size_t m = 0; m < read.maps.size(); ++m) {
        const import::StreamedMap& map = read.maps[m];
        MapFacts facts;
        facts.displayWidth = displayWidth;
        if (pictureOf[m] >= 0) {
            // The coordinates are pixels of the picture as the page shows it.
            const import::ChosenImage image = import::readChosenTag(maps.candidates[pictureOf[m]]);
            facts.picture = shownPictureSize(image, pictureSize(image.imagePath));
            facts.pictureFileName = fileNameOf(image.imagePath);
        }
        facts.lines = map.areaLines;
        checkAreas(map.areas.lines, facts, toOrder);
    }
    std::stable_sort(nested.begin(), nested.end(), [](const Finding& a, const Finding& b) { return a.line < b.line; });
    for (const Finding& finding : nested)
        ordered(finding);
    ordered.finish();
}

QString checkFile(const QString& path, int displayWidth, const FindingSink& sink)
{
    if (!QFileInfo(path).isFile() || !QFileInfo(path).isReadable())
        return QStringLiteral("Die Datei ") + quoted(path) + QStringLiteral(" kann nicht gelesen werden.");
    // Read in pieces, as the window reads a .map: never held whole.
    import::PageStream stream;
    import::streamImportFile(
        path, [&stream](QStringView piece) { stream.take(piece); }, [&stream] { stream = import::PageStream(); });
    const import::StreamedPage read = stream.finish();
    if (read.maps.empty())
        return QStringLiteral("In der Datei ") + quoted(path) + QStringLiteral(" wurde keine ImageMap gefunden.");
    // Pictures are looked up where the page's base element leads.
    const QString folder = import::baseFolder(read.read.baseHref, QFileInfo(path).absolutePath());
    const auto sizeOf = [&](const QString& imagePath) {
        const QString onDisk = findFileIgnoringCase(imagePath, folder);
        return onDisk.isEmpty() ? QSize() : QImageReader(onDisk).size();
    };
    checkPage(read, sizeOf, displayWidth, sink);
    return {};
}

QString findingLine(const QString& file, const Finding& finding)
{
    return file + QLatin1Char(':') + QString::number(finding.line) + QStringLiteral(": ") +
           severityName(finding.severity) + QStringLiteral(": ") + finding.rule + QStringLiteral(": ") + finding.message;
}

} // namespace korvane::check
