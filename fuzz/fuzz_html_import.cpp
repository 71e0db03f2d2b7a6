// Feeds arbitrary bytes to the HTML page reader: candidate collection, the
// chooser's lines, the map search and the area loop must end on any input,
// and gumbo must read every img, map and area tag as the tag reader does.
#include "TagOracle.h"
#include "io/HtmlImport.h"
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
            if (entry::split(line).size() != entry::FieldCount)
                std::abort();
        }
    }
    return 0;
}
