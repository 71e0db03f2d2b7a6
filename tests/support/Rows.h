#pragma once

#include <QTest>

namespace korvane::test {

// One data row per call, so each case reads as a single line.
template <typename... Values> void row(const char* tag, const Values&... values)
{
    (QTest::newRow(tag) << ... << values);
}

// The start of an area line up to its coordinates: prefix, shape, the blanks, "|".
inline QString pad(const QString& prefix, const QString& shape)
{
    return prefix + shape + QString(20, QLatin1Char(' ')) + QLatin1Char('|');
}

} // namespace korvane::test
