#include "canvas/AreaGeometry.h"

#include "canvas/DrawingSurface.h"
#include "model/AreaEntry.h"

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
std::pair<AreaGeometry::Kind, qsizetype> kindOf(bool rect, bool circle, bool poly)
{
    if (rect)
        return {AreaGeometry::Kind::Rect, 4};
    if (circle)
        return {AreaGeometry::Kind::Circle, 3};
    return {poly ? AreaGeometry::Kind::Poly : AreaGeometry::Kind::None, 2};
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

qsizetype countChar(QLatin1StringView text, char c)
{
    return std::count(text.begin(), text.end(), c);
}

qsizetype countChar(QStringView text, char c)
{
    return text.count(QLatin1Char(c));
}

// The shape of the usual line, read without a list of values or a copy of
// a field: the open of a million areas parses each once. Nothing when a
// coordinate it needs is not a plain whole number (the general reading
// decides those).
template <class View>
std::optional<AreaGeometry> parsePlainArea(View line)
{
    const qsizetype bar = findChar(line, '|', 0);
    if (bar < 0)
        return std::nullopt;
    const View shape = spaceTrimmed(line.first(bar));
    const qsizetype end = findChar(line, '|', bar + 1);
    const View coords = line.sliced(bar + 1, (end < 0 ? line.size() : end) - bar - 1);
    const auto [kind, least] = kindOf(shape == QLatin1StringView("rect"), shape == QLatin1StringView("circle"),
                                      shape == QLatin1StringView("poly"));
    const qsizetype pieces = countChar(coords, ',') + 1;
    if (kind == AreaGeometry::Kind::None || pieces < least)
        return AreaGeometry();
    const qsizetype needed = kind == AreaGeometry::Kind::Poly ? pieces : least;
    Values values;
    qsizetype from = 0;
    for (qsizetype i = 0; i < needed; ++i) {
        qsizetype comma = findChar(coords, ',', from);
        if (comma < 0)
            comma = coords.size();
        const std::optional<double> value = entry::plainWholeNumber(spaceTrimmed(coords.sliced(from, comma - from)));
        if (!value)
            return std::nullopt;
        values.append(pixelValue(*value));
        from = comma + 1;
    }
    return shapeFrom(kind, values);
}

// The general reading: any number toDouble() reads.
AreaGeometry parseAnyArea(const QString& text)
{
    const QString shape = entry::shapeOf(text);
    const QList<double> c = entry::coordinateValues(entry::coordsOf(text));
    const auto [kind, least] =
        kindOf(shape == QLatin1String("rect"), shape == QLatin1String("circle"), shape == QLatin1String("poly"));
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
    const QPolygon& p = area.points;
    for (int i = 0; i + 1 < p.size(); ++i)
        surface.drawLine(p[i], p[i + 1], surface.penColor());
    surface.drawLine(p.last(), p.first(), surface.penColor());
}

} // namespace korvane
