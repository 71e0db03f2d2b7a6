#pragma once

#include "model/AreaLines.h"

#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

#include <functional>
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
    // The areas come from a page's tags, whose own rules look at what an area
    // without a link carries (see io/PageRules.h): the lines have no word on it.
    bool fromTags = false;
};

// The findings for the area lines of one map, in the order of the areas,
// each area's findings in the order of the rules.
Findings checkAreas(const AreaLines& areaLines, const MapFacts& facts);
// The same handed to `sink` one at a time, so that the findings of millions
// of areas are never held together.
using FindingSink = std::function<void(const Finding&)>;
void checkAreas(const AreaLines& areaLines, const MapFacts& facts, const FindingSink& sink);

// For each area line: whether earlier areas cover it wholly (every pixel of
// `picture` it holds is an earlier area's), so that a browser never gives it
// a click. A default area, and one that holds no pixel, is never covered.
std::vector<bool> coveredAreas(const AreaLines& areaLines, QSize picture);

// Why a validator refuses an area's shape or coordinates as written: HTML
// wants one of four keywords and integers separated by commas, so many and
// in order for the shape. A browser reads more than that (see
// model/BrowserRules.h); the rule ("invalid-shape", "invalid-coords") and a
// German message, or nothing. A null text is a missing attribute.
struct SyntaxProblem {
    QString rule;
    QString message;
};
std::optional<SyntaxProblem> areaSyntax(QStringView shape, QStringView coords);

// The messages of two rules that the open map's check and a page's check
// share: an area without a link that has attributes only a link may carry
// (their names, as given), and a default area without a link.
QString linkOnlyAttributesMessage(const QStringList& given);
QString defaultWithoutLinkMessage();

// The smallest target in CSS pixels, both ways (WCAG 2.2, 2.5.8).
inline constexpr int kMinimumTarget = 24;

} // namespace korvane::check
