#pragma once

#include "model/LinkAttributes.h"

#include <QString>
#include <QStringList>
#include <QStringMatcher>
#include <QStringView>

#include <array>

// The searching both importers share. They read markup by looking for fixed
// texts without regard to letter case (no HTML parser), so files written by
// other editors in capitals are read as well. Positions count from 0; -1
// means "not found". Nothing here shows a window or touches the disk.
namespace korvane::import {

// A fixed text searched for without regard to letter case, in one pass over
// the text: nothing is lower-cased or copied.
class Needle {
public:
    explicit Needle(const QString& pattern);
    // The first occurrence at or after `from`, or -1.
    qsizetype in(QStringView text, qsizetype from = 0) const;
    qsizetype size() const { return m_pattern.size(); }

private:
    QString m_pattern;
    QStringMatcher m_matcher;
    // The first character has no letter case: scanning for it with the
    // vectorised character search and comparing the rest is much faster.
    bool m_caselessLead = false;
    std::array<QChar, 2> m_second{}; // the second character in lower and upper case
};

// One-off case-insensitive search in a short text.
qsizetype find(QStringView text, QStringView pattern, qsizetype from = 0);
bool containsText(QStringView text, QStringView pattern);

// Removes blanks (only " ") at both ends, as the values are trimmed.
QString trimBlanks(QStringView text);

// The values of one element text (from "<area shape=" up to its end).
struct ElementValues {
    QString shape;
    QString coords;
    LinkAttributes attributes; // href, alt, target and the three handlers
};

// Rule A (shape, coords, alt, href): the value after `key` and its opening
// quote, ended by a quote followed by a blank or else by the next quote;
// quotes removed, blanks trimmed. A missing key gives the empty text.
QString ruleA(QStringView element, QStringView key);
// Rule B (target and the event handlers): the value from the opening quote
// to the next quote, so it may hold blanks; "*" when the key is missing.
QString ruleB(QStringView element, QStringView key);
ElementValues readElement(QStringView element);

// The map name of the first "usemap=": ended by the first blank or else the
// next quote, "#" and quotes removed. Empty when there is no "usemap=".
QString usemapName(QStringView text);
bool hasUsemap(QStringView text);
// The raw value of the first "src=" up to the next quote.
QString srcValue(QStringView text);

enum class PathStyle { Windows, Unix };
PathStyle nativePathStyle();
// The local path an img source names, lower-cased. Windows style (and drive
// paths on any platform): "file:///" removed, "/" to "\", "%20" to a blank,
// "|" to ":". Unix style: "file://" removed so the path keeps its leading
// "/", "%20" to a blank.
QString imagePathFromSrc(const QString& rawValue, PathStyle style = nativePathStyle());

// How an importer writes the lines it finds.
enum class AreaDialect {
    MapFile, // two blanks before the shape, shapes as found
    HtmlPage // one blank, "polygon" becomes "poly"
};

struct AreaScan {
    QStringList lines;
    bool anyRead = false; // at least one element was read (the default area counts)
    ElementValues last;   // the values of the last element read
};

// Reads every area element of `text` into list lines. The default area is
// skipped; a "|" in a value is stored as "&#124;". An element with no "/>"
// and no ">" after it is cut off by the end of the file: it is not read and
// the scan ends there.
AreaScan scanAreas(QStringView text, AreaDialect dialect);

// The whole file as text: UTF-8 when the bytes are valid UTF-8, else
// Windows-1252. Empty when the file cannot be read.
QString readImportFile(const QString& path);

} // namespace korvane::import
