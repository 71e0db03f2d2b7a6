#pragma once

#include "model/LinkAttributes.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

// One area is one line of text with eight fields separated by "|":
// shape (padded with blanks), coordinates, href, alt, target, onmouseover,
// onmouseout, onclick. These helpers are the only code that knows the format.
namespace korvane::entry {

enum Field { Shape = 0, Coords, Href, Alt, Target, OnMouseOver, OnMouseOut, OnClick, FieldCount };

inline const QString kAbsent = QStringLiteral("*");
// The blanks and the separator that follow the shape keyword in field 0.
inline const QString kShapePadding = QStringLiteral("                    |");

// Splits at every "|", without a limit on the number of parts.
QStringList split(const QString& line);
// Joins all fields again, so field 0 keeps its blanks and fields after 7 survive.
QString join(const QStringList& fields);
// Field i, or the empty text when the line has fewer fields.
QString field(const QStringList& fields, int i);
// Field 0 with blanks trimmed at both ends: the shape keyword.
QString shapeOf(const QString& line);
// Field 1 of the line.
QString coordsOf(const QString& line);

// The numbers a browser reads from a coordinate text (HTML's list of
// floating-point numbers: white space, commas and semicolons separate,
// "120px" is 120, an item that is no number is 0). *ok is cleared when an item
// is not a plain number as written.
QList<double> coordinateValues(const QString& coordsText, bool* ok = nullptr);
// Field 0's keyword as a browser reads it: "rect", "circle", "poly" or
// "default" ("RECT", "circ", "polygon" and unknown words read as a browser does).
QString shapeName(const QString& line);
// Writes whole numbers separated by "," without blanks.
QString coordinateText(const QList<int>& values);

// Builds a whole line: prefix (one blank, two for .map imports), keyword,
// the padding, the coordinates and the six attributes.
QString makeLine(const QString& prefix, const QString& shape, const QString& coords, const LinkAttributes& attributes);
// The fields of a line as views into it, cut as split() cuts them, without
// a list or a copy (a line may hold a link of hundreds of MB); the ninth
// holds the attributes an import kept (empty for most lines), missing ones
// are empty. `View` is QStringView, or QLatin1StringView for a line the
// line store keeps one byte a character.
template <typename View>
std::array<View, 9> fieldsOf(View line)
{
    std::array<View, 9> fields{};
    qsizetype start = 0;
    for (std::size_t i = 0; i < fields.size() && start <= line.size(); ++i) {
        qsizetype bar = line.indexOf(QLatin1Char('|'), start);
        if (bar < 0)
            bar = line.size();
        fields[i] = line.mid(start, bar - start);
        start = bar + 1;
    }
    return fields;
}
// The eight fields of a line as views, in line order.
using FieldViews = std::array<QStringView, FieldCount>;
// The length of makeLine()'s line for these fields.
qsizetype lineLength(QLatin1StringView prefix, const FieldViews& fields);
// Writes that line one byte a character; every character of the fields must
// be Latin-1. An import writes a million lines this way, straight into place.
// The field `headField` (not the shape) starts with the characters `head`
// (which lineLength() does not count): an import keeps the start of a very
// long value apart as Latin-1.
void writeLatin1Line(char* out, QLatin1StringView prefix, const FieldViews& fields, int headField = -1,
                     QLatin1StringView head = {});
// The six attributes of a line (fields 2 to 7); missing fields read as empty.
LinkAttributes attributesOf(const QString& line);
// Replaces fields 2 to 7, keeping field 0's blanks and any field after 7.
QString withAttributes(const QString& line, const LinkAttributes& attributes);
// Replaces field 1, keeping every other field.
QString withCoords(const QString& line, const QString& coords);

// The line with its coordinates scaled: x by sx, y by sy, a circle's radius
// by the smaller of the two, each rounded (a half to the even neighbour),
// written plainly. The numbers and the shape are those a browser reads; a
// default area stays.
QString scaledLine(const QString& line, double sx, double sy);

// A "|" inside a value would shift the following fields; "&#124;" means the
// same in HTML, so dialogs and importers store values through this.
QString escapeBar(const QString& value);

} // namespace korvane::entry

namespace korvane {

// Rounds to the nearest whole number, a half to the even neighbour; values
// beyond the range of int stop at its ends (a cast would be undefined).
inline int roundHalfEven(double value)
{
    const double whole = std::nearbyint(value);
    if (!(whole > double(std::numeric_limits<int>::min())))
        return whole < 0 ? std::numeric_limits<int>::min() : 0; // NaN gives 0
    return whole < double(std::numeric_limits<int>::max()) ? static_cast<int>(whole) : std::numeric_limits<int>::max();
}

// The text without blanks (" " only) at either end. Values typed in the
// dialogs and file names keep tabs and other white space.
QString blanksTrimmed(QStringView text);

template <typename T> inline void SWAP(T& a, T& b)
{
    std::swap(a, b);
}

} // namespace korvane
