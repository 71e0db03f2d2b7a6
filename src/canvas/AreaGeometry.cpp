#include "canvas/AreaGeometry.h"

#include "canvas/DrawingSurface.h"
#include "model/AreaEntry.h"
#include "model/BrowserRules.h"

#include <QVarLengthArray>

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>

namespace korvane {

namespace {

// Coordinates far outside any image would overflow the pixel arithmetic.
int pixelValue(double value)
{
    return roundHalfEven(std::clamp(value, -10'000'000.0, 10'000'000.0));
}

using Values = QVarLengthArray<int, 8>;

// The shape of a keyword's kind from its pixel values (enough of them: four
// for a rectangle, three for a circle, two for a polygon).
AreaGeometry shapeFrom(AreaGeometry::Kind kind, const Values& v)
{
    AreaGeometry area;
    area.kind = kind;
    switch (kind) {
    case AreaGeometry::Kind::Rect:
        area.corner1 = QPoint(v[0], v[1]);
        area.corner2 = QPoint(v[2], v[3]);
        area.bounds = QRect::span(area.corner1, area.corner2); // either corner first, as a browser reads it
        area.clickable = true;
        break;
    case AreaGeometry::Kind::Circle:
        area.centre = QPoint(v[0], v[1]);
        area.radius = std::abs(v[2]);
        area.clickable = v[2] > 0;
        area.bounds = QRect(v[0] - area.radius, v[1] - area.radius, 2 * area.radius + 1, 2 * area.radius + 1);
        break;
    case AreaGeometry::Kind::Poly:
        area.points.reserve(v.size() / 2);
        for (qsizetype i = 0; i + 1 < v.size(); i += 2)
            area.points << QPoint(v[i], v[i + 1]);
        area.bounds = area.points.boundingRect();
        area.clickable = area.points.size() >= 3;
        break;
    case AreaGeometry::Kind::None:
        break;
    }
    return area;
}

// The kind a keyword names, and how many values it needs at least.
std::pair<AreaGeometry::Kind, qsizetype> kindOf(browser::Shape shape)
{
    switch (shape) {
    case browser::Shape::Rect:
        return {AreaGeometry::Kind::Rect, 4};
    case browser::Shape::Circle:
        return {AreaGeometry::Kind::Circle, 3};
    case browser::Shape::Poly:
        return {AreaGeometry::Kind::Poly, 2};
    case browser::Shape::Default:
        break;
    }
    return {AreaGeometry::Kind::None, 2}; // the rest of the picture: nothing to draw
}

// White space as QString::trimmed() knows it, for both kinds of view.
template <class View>
View spaceTrimmed(View text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && QChar(text[from]).isSpace())
        ++from;
    while (to > from && QChar(text[to - 1]).isSpace())
        --to;
    return text.sliced(from, to - from);
}

// Qt searches a Latin-1 view character by character; the C library's search
// is many times faster on the lines of a million areas.
qsizetype findChar(QLatin1StringView text, char c, qsizetype from)
{
    if (from >= text.size())
        return -1;
    const void* found = std::memchr(text.data() + from, c, size_t(text.size() - from));
    return found ? static_cast<const char*>(found) - text.data() : -1;
}

qsizetype findChar(QStringView text, char c, qsizetype from)
{
    return text.indexOf(QLatin1Char(c), from);
}

// HTML's white space (no other character separates coordinates).
bool isAsciiSpace(QChar c)
{
    const char16_t u = c.unicode();
    return u == u' ' || u == u'\t' || u == u'\n' || u == u'\f' || u == u'\r';
}

// Reads comma-separated plain whole numbers (a sign, 1 to 15 digits, white
// space around) from the start of `coords` as pixel values: `needed` of them,
// or all when `needed` is negative. False at anything else or too few; the
// general reading then decides. One pass: the open of a million areas
// parses each once.
template <class View>
bool readPlainValues(View coords, qsizetype needed, Values& values)
{
    const qsizetype n = coords.size();
    const auto at = [coords](qsizetype i) { return QChar(coords[i]); };
    qsizetype i = 0;
    for (;;) {
        while (i < n && isAsciiSpace(at(i)))
            ++i;
        const bool negative = i < n && at(i) == u'-';
        if (negative || (i < n && at(i) == u'+'))
            ++i;
        const qsizetype digitsFrom = i;
        qint64 number = 0;
        for (; i < n && at(i) >= u'0' && at(i) <= u'9'; ++i) {
            if (i - digitsFrom == 15)
                return false;
            number = number * 10 + (at(i).unicode() - u'0');
        }
        if (i == digitsFrom)
            return false;
        while (i < n && isAsciiSpace(at(i)))
            ++i;
        if (i < n && at(i) != u',')
            return false;
        values.append(int(std::clamp<qint64>(negative ? -number : number, -10'000'000, 10'000'000)));
        if (values.size() == needed)
            return true;
        if (i++ == n)
            return needed < 0;
    }
}

// The shape of the usual line ("rect", "circle" or "poly" as the code
// writes them), read without a list of values or a copy of a field. Nothing
// when the keyword is another or a coordinate it needs is not a plain whole
// number (the general reading decides those).
template <class View>
std::optional<AreaGeometry> parsePlainArea(View line)
{
    const qsizetype bar = findChar(line, '|', 0);
    if (bar < 0)
        return std::nullopt;
    const View shape = spaceTrimmed(line.first(bar));
    const qsizetype end = findChar(line, '|', bar + 1);
    const View coords = line.sliced(bar + 1, (end < 0 ? line.size() : end) - bar - 1);
    browser::Shape keyword = browser::Shape::Default;
    if (shape == QLatin1StringView("rect"))
        keyword = browser::Shape::Rect;
    else if (shape == QLatin1StringView("circle"))
        keyword = browser::Shape::Circle;
    else if (shape == QLatin1StringView("poly"))
        keyword = browser::Shape::Poly;
    else
        return std::nullopt;
    const auto [kind, least] = kindOf(keyword);
    Values values;
    if (!readPlainValues(coords, kind == AreaGeometry::Kind::Poly ? -1 : least, values) || values.size() < least)
        return std::nullopt;
    return shapeFrom(kind, values);
}

// The general reading: the keyword and the numbers as a browser reads them
// ("RECT", "circ", "2 2 10 10", "120px").
AreaGeometry parseAnyArea(const QString& text)
{
    const auto [kind, least] = kindOf(browser::shapeOf(entry::shapeOf(text)));
    const QList<double> c = browser::numberList(entry::coordsOf(text));
    if (kind == AreaGeometry::Kind::None || c.size() < least)
        return AreaGeometry();
    Values values;
    for (qsizetype i = 0; i < (kind == AreaGeometry::Kind::Poly ? c.size() : least); ++i)
        values.append(pixelValue(c[i]));
    return shapeFrom(kind, values);
}

template <class View>
AreaGeometry parseView(View line)
{
    if (std::optional<AreaGeometry> plain = parsePlainArea(line))
        return std::move(*plain);
    return parseAnyArea(line.toString());
}

} // namespace

AreaGeometry parseArea(QStringView line)
{
    return parseView(line);
}

AreaGeometry parseArea(QLatin1StringView line)
{
    return parseView(line);
}

void drawArea(DrawingSurface& surface, const AreaGeometry& area, const QColor& circleColor)
{
    switch (area.kind) {
    case AreaGeometry::Kind::Rect:
        surface.drawRectangle(area.corner1, area.corner2);
        break;
    case AreaGeometry::Kind::Circle:
        surface.drawCircle(area.centre, area.radius, circleColor);
        break;
    case AreaGeometry::Kind::Poly:
        surface.drawPolygon(area.points);
        break;
    case AreaGeometry::Kind::None:
        break;
    }
}

AreaGeometry movedArea(AreaGeometry area, QPoint by)
{
    area.points.translate(by);
    area.bounds.translate(by);
    area.corner1 += by;
    area.corner2 += by;
    area.centre += by;
    return area;
}

void drawOutline(DrawingSurface& surface, const AreaGeometry& area)
{
    if (area.kind != AreaGeometry::Kind::Poly) {
        drawArea(surface, area, surface.penColor());
        return;
    }
    // Stroked as the redraw strokes the polygon (its joins, not a cap at
    // each end of every line): a line's cap reached past the polygon's
    // corner, and the redraw that paints the area over its highlight left
    // those pixels yellow.
    const FillStyle fill = surface.fillStyle();
    surface.setFillStyle(FillStyle::Transparent);
    surface.drawPolygon(area.points);
    surface.setFillStyle(fill);
}

} // namespace korvane
