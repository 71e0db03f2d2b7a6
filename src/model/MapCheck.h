#pragma once

#include "model/AreaLines.h"

#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

#include <vector>

// The map check: what keeps a map from working for every visitor (no
// alternative text, areas nobody can click, targets too small to hit). The
// rule names are fixed, so that scripts can rely on them.
namespace korvane::check {

enum class Severity { Warning, Error };
// "error" or "warning", as the command line prints it.
QString severityName(Severity severity);

struct Finding {
    QString rule;
    Severity severity = Severity::Warning;
    int area = -1; // the area's position in the list; -1: the page itself
    int line = 0;  // the line the finding names
    QString message;
};
using Findings = std::vector<Finding>;

struct MapFacts {
    QSize picture;           // the picture's own size; empty: not known
    QString pictureFileName; // without folder
    int displayWidth = 0;    // CSS pixels the picture is shown at; 0: its own width
    // The line to name for each area (the list's lines from 1 when empty).
    QList<int> lines;
};

// The findings for the area lines of one map, in the order of the areas,
// each area's findings in the order of the rules.
Findings checkAreas(const AreaLines& areaLines, const MapFacts& facts);

// For each area line: whether earlier areas cover it wholly (every pixel of
// `picture` it holds is an earlier area's), so that a browser never gives it
// a click. A default area, and one that holds no pixel, is never covered.
std::vector<bool> coveredAreas(const AreaLines& areaLines, QSize picture);

// The smallest target in CSS pixels, both ways (WCAG 2.2, 2.5.8).
inline constexpr int kMinimumTarget = 24;

} // namespace korvane::check
