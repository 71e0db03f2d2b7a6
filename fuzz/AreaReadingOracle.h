#pragma once

// The quick reading of area tags against the general one: for both kinds of
// file, the same lines (in the same stored form), the same tag starts and
// the same values of the last element. A difference aborts.
#include "io/ImportSearch.h"

#include <cstdio>
#include <cstdlib>

namespace korvane::fuzz {

inline bool sameValues(const import::ElementValues& a, const import::ElementValues& b)
{
    return a.shape == b.shape && a.coords == b.coords && a.attributes == b.attributes && a.kept == b.kept;
}

inline bool sameScan(const import::AreaScan& a, const import::AreaScan& b)
{
    return a.lines == b.lines && a.starts == b.starts && a.anyRead == b.anyRead &&
           sameValues(import::lastValues(a), import::lastValues(b));
}

inline void checkQuickReading(QStringView text)
{
    for (const auto dialect : {import::AreaDialect::MapFile, import::AreaDialect::HtmlPage}) {
        const import::AreaScan quick = import::scanAreas(text, dialect, {}, import::AreaReading::Quick);
        const import::AreaScan general = import::scanAreas(text, dialect, {}, import::AreaReading::General);
        if (!sameScan(quick, general)) {
            std::fprintf(stderr, "the quick reading of the areas differs from the general one\n");
            std::abort();
        }
    }
}

} // namespace korvane::fuzz
