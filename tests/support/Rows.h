#pragma once

#include <QTest>

namespace korvane::test {

// One data row per call, so each case reads as a single line.
template <typename... Values> void row(const char* tag, const Values&... values)
{
    (QTest::newRow(tag) << ... << values);
}

} // namespace korvane::test
