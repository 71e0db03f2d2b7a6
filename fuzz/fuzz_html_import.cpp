// Feeds arbitrary bytes to the HTML page reader: candidate collection, the
// chooser's lines, the map search and the area loop must end on any input,
// gumbo must read every img, map and area tag as the tag reader does, the
// quick reading of the areas must give what the general one gives, and the
// map check of the page must name lines of the page. Read in pieces, as the
// command line reads a file, the page must give what the whole reading gives
// (fuzz/PageStreamOracle.h).
#include "AreaLines.h"
#include "AreaReadingOracle.h"
#include "PageStreamOracle.h"
#include "TagOracle.h"
#include "io/HtmlImport.h"
#include "io/PageCheck.h"
#include "model/AreaEntry.h"
#include "model/Codec.h"

#include <cstdint>
#include <cstdlib>

using namespace korvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString page = decodeText(bytes, detectEncoding(bytes));
    fuzz::checkTagsAgainstGumbo(page);
    fuzz::checkQuickReading(page);
    const QStringList tags = import::imgCandidates(page);
    QString mapName;
    for (const QString& tag : tags) {
        (void)import::candidateLine(tag, import::PathStyle::Unix);
        (void)import::candidateLine(tag, import::PathStyle::Windows);
        mapName = import::readChosenTag(tag).mapName;
    }
    for (const QString& name : {mapName, QString()}) {
        const import::FoundMap map = import::findMap(page, name);
        if (map.outcome != import::MapLookup::Found)
            continue;
        for (const QString& line : import::readMapAreas(map.text).lines) {
            fuzz::checkAreaLine(line);
        }
    }
    // The page's maps as the window's import reads them, each usemap's map.
    const import::PageMaps pageMaps = import::readPageMaps(page);
    for (const QString& name : pageMaps.usemapNames) {
        const import::FoundMap map = import::findMap(page, pageMaps, name);
        if (map.outcome == import::MapLookup::Found) {
            for (const QString& line : import::readMapAreas(map.text).lines)
                fuzz::checkAreaLine(line);
        }
    }
    // In pieces of 1 to 13 characters, read at once or gathered first, long
    // values kept apart from 1 or 8 characters on.
    fuzz::checkPageInPieces(page, 1 + qsizetype(size % 13), size % 2 ? 1 : 64, size % 3 ? 1 : 8);
    fuzz::checkFindingOrder(page, 0);
    // The map check of the page: every finding names a line of the text.
    const qsizetype lines = page.count(QLatin1Char('\n')) + 1;
    for (const int width : {0, 320}) {
        for (const check::Finding& f : check::checkPage(page, [](const QString&) { return QSize(300, 200); }, width)) {
            if (f.line < 1 || f.line > lines)
                std::abort();
        }
    }
    return 0;
}
