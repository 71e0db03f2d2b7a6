#include "io/PageCheck.h"

#include "io/HtmlImport.h"
#include "io/ImagePathLookup.h"
#include "io/ImportFile.h"
#include "io/OwnForms.h"
#include "io/PageRules.h"
#include "io/PageStream.h"
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

void checkNames(const import::StreamedPage& read, Findings& out)
{
    for (std::size_t m = 0; m < read.maps.size(); ++m) {
        const QString name = import::mapNameOf(read.maps[m].name);
        for (std::size_t e = 0; e < m; ++e) {
            if (import::mapNameOf(read.maps[e].name).compare(name, Qt::CaseInsensitive) != 0)
                continue;
            out.push_back({QStringLiteral("duplicate-map-name"), Severity::Warning, -1, read.maps[m].line,
                           QCoreApplication::translate("korvane::PageCheck", "Eine Map mit dem Namen %1 steht schon in Zeile %2; welche "
                                                                       "eine Grafik bekommt, hängt vom Browser ab.")
                               .arg(quoted(name), QString::number(read.maps[e].line))});
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

// A page read in pieces, the rules of each map's area tags run on each tag
// before its text goes.
class CheckedStream {
public:
    CheckedStream() { reset(); }
    CheckedStream(const CheckedStream&) = delete;
    CheckedStream& operator=(const CheckedStream&) = delete;
    void take(QStringView piece) { m_stream.take(piece); }
    // The text comes again from its start (in another encoding).
    void reset()
    {
        m_stream = import::PageStream();
        m_tagged.clear();
        m_stream.visitAreaTags(
            [this](std::size_t map, const html::Tag& area, const import::TakenValue& taken, int line) {
                if (m_tagged.size() <= map)
                    m_tagged.resize(map + 1);
                areaTagRules(wholeTag(area, taken), line, m_tagged[map]);
            });
    }
    import::StreamedPage finish() { return m_stream.finish(); }
    // The findings of the area tags, by map.
    const std::vector<Findings>& tagged() const { return m_tagged; }

private:
    // The tag with the values its rules read whole: a shape or coordinates
    // of megabytes whose start was kept apart (a link's or a text's length
    // alone counts, and a kept value is never empty).
    html::Tag wholeTag(const html::Tag& area, const import::TakenValue& taken)
    {
        if (!taken.attribute)
            return area;
        const QStringView name = taken.attribute->name;
        const bool read = QLatin1StringView("shape").compare(name, Qt::CaseInsensitive) == 0 ||
                          QLatin1StringView("coords").compare(name, Qt::CaseInsensitive) == 0;
        if (!read)
            return area;
        m_value = taken.wide.isEmpty() ? QString(taken.latin1) : taken.wide.toString();
        m_value += taken.attribute->value;
        html::Tag whole = area;
        whole.attributes[std::size_t(taken.attribute - area.attributes.data())].value = m_value;
        return whole;
    }
    import::PageStream m_stream;
    std::vector<Findings> m_tagged;
    QString m_value;
};

// The page's own findings in the order the whole page's check makes them;
// the maps' come after those of the same line. `tagged`: the findings of
// each map's area tags.
void checkRead(const import::StreamedPage& read, const std::vector<Findings>& tagged,
               const PictureSizer& pictureSize, int displayWidth, const FindingSink& sink)
{
    const import::PageMaps maps = read.pageMaps();
    Findings pageFindings;
    checkNames(read, pageFindings);
    for (std::size_t m = 0; m < maps.maps.size(); ++m) {
        mapNameRules(maps.maps[m], read.maps[m].line, pageFindings);
        if (m < tagged.size())
            pageFindings.insert(pageFindings.end(), tagged[m].begin(), tagged[m].end());
    }
    usedTwiceRules(maps, [&read](qsizetype c) { return read.candidateLines[c]; }, pageFindings);
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
        facts.fromTags = true;
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

// The map of one of Korvane's own forms: its areas, the picture at the size
// the form gives (else at its own), lines counted in the text.
Findings checkOwnForm(QStringView text, const import::OwnMap& map, const PictureSizer& pictureSize, int displayWidth)
{
    const LineIndex lines(text);
    MapFacts facts;
    facts.displayWidth = displayWidth;
    facts.picture = map.size.isEmpty() ? pictureSize(map.imagePath) : map.size;
    facts.pictureFileName = fileNameOf(map.imagePath);
    for (const qsizetype start : map.starts)
        facts.lines.append(lines.at(start));
    return checkAreas(map.lines, facts);
}

} // namespace

Findings checkPage(QStringView text, const PictureSizer& pictureSize, int displayWidth)
{
    CheckedStream stream;
    stream.take(text);
    const import::StreamedPage read = stream.finish();
    Findings out;
    checkRead(read, stream.tagged(), pictureSize, displayWidth, [&out](const Finding& finding) { out.push_back(finding); });
    return out;
}

QString checkFile(const QString& path, int displayWidth, const FindingSink& sink)
{
    if (!QFileInfo(path).isFile() || !QFileInfo(path).isReadable())
        return QCoreApplication::translate("korvane::PageCheck", "Die Datei %1 kann nicht gelesen werden.").arg(quoted(path));
    // Read in pieces, as the window reads a .map: never held whole.
    CheckedStream stream;
    import::streamImportFile(
        path, [&stream](QStringView piece) { stream.take(piece); }, [&stream] { stream.reset(); });
    const import::StreamedPage read = stream.finish();
    // Pictures are looked up where the page's base element leads.
    const QString folder = import::baseFolder(read.read.baseHref, QFileInfo(path).absolutePath());
    const auto sizeOf = [&](const QString& imagePath) {
        const QString onDisk = findFileIgnoringCase(imagePath, folder);
        return onDisk.isEmpty() ? QSize() : QImageReader(onDisk).size();
    };
    if (read.maps.empty()) {
        // Only a file without maps may be one of Korvane's own forms (JSON,
        // a MediaWiki block): that one is read whole.
        const QString text = import::readImportFile(path);
        QString problem;
        if (const std::optional<import::OwnMap> own = import::readOwnForm(text, &problem)) {
            for (const Finding& finding : checkOwnForm(text, *own, sizeOf, displayWidth))
                sink(finding);
            return {};
        }
        return problem.isEmpty()
                   ? QCoreApplication::translate("korvane::PageCheck", "In der Datei %1 wurde keine ImageMap gefunden.")
                         .arg(quoted(path))
                   : QCoreApplication::translate("korvane::PageCheck", "Die Datei %1 lässt sich nicht prüfen: %2")
                         .arg(quoted(path), problem);
    }
    checkRead(read, stream.tagged(), sizeOf, displayWidth, sink);
    return {};
}

FileCheck checkFile(const QString& path, int displayWidth)
{
    FileCheck checked;
    checked.problem =
        checkFile(path, displayWidth, [&checked](const Finding& finding) { checked.findings.push_back(finding); });
    return checked;
}

QString findingLine(const QString& file, const Finding& finding)
{
    return file + QLatin1Char(':') + QString::number(finding.line) + QStringLiteral(": ") +
           severityName(finding.severity) + QStringLiteral(": ") + finding.rule + QStringLiteral(": ") + finding.message;
}

} // namespace korvane::check
