#include "canvas/AreaGeometry.h"

#include "canvas/DrawingSurface.h"
#include "model/AreaEntry.h"

#include <QVarLengthArray>

#include <algorithm>
#include <cstring>
#include <optional>

namespace korvane {

namespace {

// Coordinates far outside any image would overflow the pixel arithmetic.
int pixelValue(double value)
{
    return roundHalfEven(std::clamp(value, -10'000'000.0, 10'000'000.0));
}

void setCircle(AreaGeometry& area, QPoint centre, int radius)
{
    area.kind = AreaGeometry::Kind::Circle;
    area.centre = centre;
    area.radius = std::abs(radius);
    area.clickable = radius > 0;
    area.bounds = QRect(centre.x() - area.radius, centre.y() - area.radius, 2 * area.radius + 1, 2 * area.radius + 1);
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
    const bool rect = shape == QLatin1StringView("rect");
    const bool circle = shape == QLatin1StringView("circle");
    if (!rect && !circle && shape != QLatin1StringView("poly"))
        return AreaGeometry();
    const qsizetype pieces = countChar(coords, ',') + 1;
    const qsizetype needed = rect ? 4 : circle ? 3 : pieces;
    if (pieces < (rect ? 4 : circle ? 3 : 2))
        return AreaGeometry();
    QVarLengthArray<int, 8> values;
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
    AreaGeometry area;
    if (rect) {
        area.kind = AreaGeometry::Kind::Rect;
        area.corner1 = QPoint(values[0], values[1]);
        area.corner2 = QPoint(values[2], values[3]);
        area.bounds = QRect(area.corner1, area.corner2).normalized();
        area.clickable = true;
    } else if (circle) {
        setCircle(area, QPoint(values[0], values[1]), values[2]);
    } else {
        area.kind = AreaGeometry::Kind::Poly;
        area.points.reserve(values.size() / 2);
        for (qsizetype i = 0; i + 1 < values.size(); i += 2)
            area.points << QPoint(values[i], values[i + 1]);
        area.bounds = area.points.boundingRect();
        area.clickable = area.points.size() >= 3;
    }
    return area;
}

// The general reading: any number toDouble() reads.
AreaGeometry parseAnyArea(const QString& text)
{
    AreaGeometry area;
    const QString shape = entry::shapeOf(text);
    const QList<double> c = entry::coordinateValues(entry::coordsOf(text));
    if (shape == QLatin1String("rect") && c.size() >= 4) {
        area.kind = AreaGeometry::Kind::Rect;
        area.corner1 = QPoint(pixelValue(c[0]), pixelValue(c[1]));
        area.corner2 = QPoint(pixelValue(c[2]), pixelValue(c[3]));
        area.bounds = QRect(area.corner1, area.corner2).normalized();
        area.clickable = true;
    } else if (shape == QLatin1String("circle") && c.size() >= 3) {
        setCircle(area, QPoint(pixelValue(c[0]), pixelValue(c[1])), pixelValue(c[2]));
    } else if (shape == QLatin1String("poly") && c.size() >= 2) {
        area.kind = AreaGeometry::Kind::Poly;
        for (int i = 0; i + 1 < c.size(); i += 2)
            area.points << QPoint(pixelValue(c[i]), pixelValue(c[i + 1]));
        area.bounds = area.points.boundingRect();
        area.clickable = area.points.size() >= 3;
    }
    return area;
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
