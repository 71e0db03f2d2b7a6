#pragma once

// What every line an importer makes must be: the eight fields every reader
// knows, or a ninth holding the attributes kept from the page, which must
// read back to exactly its own text.
#include "model/AreaEntry.h"
#include "model/ExtraAttributes.h"

#include <cstdlib>

namespace korvane::fuzz {

inline void checkAreaLine(const QString& line)
{
    const QStringList fields = entry::split(line);
    if (fields.size() == entry::FieldCount)
        return;
    if (fields.size() != entry::FieldCount + 1)
        std::abort();
    const extra::Attributes kept = extra::parse(fields[extra::kField]);
    if (kept.isEmpty() || extra::fieldText(kept) != fields[extra::kField])
        std::abort();
}

} // namespace korvane::fuzz
