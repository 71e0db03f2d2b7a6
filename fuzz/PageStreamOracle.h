#pragma once

// The command line reads a page in pieces (io/PageStream.h) and checks it
// from what that reading finds. The whole reading of the window's import is
// the oracle: in pieces of any size the same candidates, maps, areas and
// lines, and the check of the page the same findings in the same order as a
// check that reads the whole text and sorts its findings by line.
#include "io/HtmlImport.h"
#include "io/PageCheck.h"
#include "io/PageStream.h"
#include "model/MapCheck.h"
#include "model/Paths.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace korvane::fuzz {

inline int lineIn(QStringView text, qsizetype at)
{
    return int(text.first(at).count(u'\n')) + 1;
}

inline void checkPageInPieces(const QString& page, qsizetype piece, qsizetype readSize, qsizetype longValue)
{
    import::PageStream stream(readSize, longValue);
    for (qsizetype at = 0; at < page.size(); at += piece)
        stream.take(QStringView(page).mid(at, piece));
    const import::StreamedPage read = stream.finish();
    const import::PageMaps whole = import::readPageMaps(page);
    const import::PageMaps& got = read.read;
    if (got.candidates != whole.candidates || got.writtenTags != whole.writtenTags ||
        got.usemapNames != whole.usemapNames || got.usemapValues != whole.usemapValues ||
        got.candidateStarts != whole.candidateStarts || got.baseHref != whole.baseHref ||
        got.baseHref.isNull() != whole.baseHref.isNull() || read.maps.size() != whole.maps.size() ||
        read.candidateLines.size() != whole.candidates.size())
        std::abort();
    for (qsizetype c = 0; c < whole.candidates.size(); ++c) {
        if (read.candidateLines[c] != lineIn(page, whole.candidateStarts[std::size_t(c)]))
            std::abort();
    }
    for (std::size_t m = 0; m < whole.maps.size(); ++m) {
        const import::MapElement& map = whole.maps[m];
        const import::StreamedMap& got = read.maps[m];
        const import::AreaScan areas = import::readMapAreas(QStringView(page).sliced(map.start, map.end - map.start));
        if (got.name != map.name.toString() || got.name.isNull() != map.name.isNull() ||
            got.id != map.id.toString() || got.id.isNull() != map.id.isNull() || got.line != lineIn(page, map.start) ||
            got.start != map.start || got.end != map.end || got.areas.lines != areas.lines ||
            got.areaLines.size() != areas.lines.size())
            std::abort();
        for (qsizetype k = 0; k < areas.starts.size(); ++k) {
            if (got.areaLines[k] != lineIn(page, map.start + areas.starts[k]))
                std::abort();
        }
    }
}

// The check as it was made from the whole text: the page's own findings
// first, then each map's, sorted by line.
inline check::Findings wholePageFindings(const QString& page, const check::PictureSizer& size, int width)
{
    const import::PageMaps read = import::readPageMaps(page);
    check::Findings out = check::checkPage(page, size, width); // the page's own rules, for their texts
    std::erase_if(out, [](const check::Finding& f) { return f.area >= 0; });
    std::vector<int> pictureOf(read.maps.size(), -1);
    for (qsizetype c = 0; c < read.candidates.size(); ++c) {
        const int m = import::browserMap(read, c);
        if (m >= 0 && pictureOf[std::size_t(m)] < 0)
            pictureOf[std::size_t(m)] = int(c);
    }
    for (std::size_t m = 0; m < read.maps.size(); ++m) {
        const import::MapElement& map = read.maps[m];
        const import::AreaScan scan = import::readMapAreas(QStringView(page).sliced(map.start, map.end - map.start));
        check::MapFacts facts;
        facts.displayWidth = width;
        facts.fromTags = true; // the tags' own rules are the page's findings
        if (pictureOf[m] >= 0) {
            const import::ChosenImage image = import::readChosenTag(read.candidates[pictureOf[m]]);
            const QSize own = size(image.imagePath);
            facts.picture = own.isEmpty() ? (image.width > 0 && image.height > 0 ? QSize(image.width, image.height) : own)
                                          : import::shownSize(image.width, image.height, own);
            facts.pictureFileName = fileNameOf(image.imagePath);
        }
        for (const qsizetype start : scan.starts)
            facts.lines.append(lineIn(page, map.start + start));
        const check::Findings found = check::checkAreas(scan.lines, facts);
        out.insert(out.end(), found.begin(), found.end());
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const check::Finding& a, const check::Finding& b) { return a.line < b.line; });
    return out;
}

inline bool sameFinding(const check::Finding& a, const check::Finding& b)
{
    return a.rule == b.rule && a.severity == b.severity && a.area == b.area && a.line == b.line &&
           a.message == b.message;
}

inline void checkFindingOrder(const QString& page, int width)
{
    const check::PictureSizer size = [](const QString&) { return QSize(300, 200); };
    const check::Findings streamed = check::checkPage(page, size, width);
    const check::Findings whole = wholePageFindings(page, size, width);
    if (!std::equal(streamed.begin(), streamed.end(), whole.begin(), whole.end(), sameFinding))
        std::abort();
}

} // namespace korvane::fuzz
