// Feeds arbitrary bytes to the .map reader: it must end, and must not read
// out of bounds, on any input (truncated elements, missing quotes, odd bytes),
// and gumbo must read every img, map and area tag as the tag reader does.
#include "AreaLines.h"
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
    for (const auto style : {import::PathStyle::Unix, import::PathStyle::Windows}) {
        const import::MapFileData d = import::readMapFile(text, style);
        // Every line the reader makes has the eight fields of an area line.
        for (const QString& line : d.areas.lines) {
            fuzz::checkAreaLine(line);
        }
    }
    return 0;
}
