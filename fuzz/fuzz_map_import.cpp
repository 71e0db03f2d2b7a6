// Feeds arbitrary bytes to the .map reader: it must end, and must not read
// out of bounds, on any input (truncated elements, missing quotes, odd bytes),
// gumbo must read every img, map and area tag as the tag reader does, the
// quick reading of the areas must give what the general one gives, and the
// text read in pieces must give what it gives whole.
#include "AreaLines.h"
#include "AreaReadingOracle.h"
#include "TagOracle.h"
#include "io/MapImport.h"
#include "model/AreaEntry.h"
#include "model/Codec.h"

#include <cstdint>
#include <cstdlib>

using namespace korvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = decodeText(bytes, detectEncoding(bytes));
    fuzz::checkTagsAgainstGumbo(text);
    fuzz::checkQuickReading(text);
    for (const auto style : {import::PathStyle::Unix, import::PathStyle::Windows}) {
        const import::MapFileData d = import::readMapFile(text, style);
        // Every line the reader makes has the eight fields of an area line.
        for (const QString& line : d.areas.lines) {
            fuzz::checkAreaLine(line);
        }
        // Handed over in pieces (their size from the text's length), read as
        // soon as they come, the text gives the same; with the Windows style
        // every value of an open area tag is kept apart while it is read.
        import::MapFileStream stream(style, 1, style == import::PathStyle::Windows ? 1 : 4 * 1024 * 1024);
        const qsizetype piece = 1 + text.size() % 13;
        for (qsizetype i = 0; i < text.size(); i += piece)
            stream.take(QStringView(text).mid(i, piece));
        const import::MapFileData s = stream.finish();
        if (s.hasMap != d.hasMap || s.hasUsemap != d.hasUsemap || s.mapName != d.mapName ||
            s.imagePath != d.imagePath || s.width != d.width || s.height != d.height ||
            s.areas.lines != d.areas.lines || s.areas.anyRead != d.areas.anyRead ||
            !fuzz::sameValues(import::lastValues(s.areas), import::lastValues(d.areas)))
            std::abort();
    }
    return 0;
}
