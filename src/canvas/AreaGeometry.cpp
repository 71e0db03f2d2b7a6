#include "canvas/AreaGeometry.h"

#include "canvas/DrawingSurface.h"
#include "model/AreaEntry.h"

#include <QVarLengthArray>

#include <algorithm>
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

// The shape of the usual line, read without a list of values or a copy of
// a field: the open of a million areas parses each once. Nothing when a
// coordinate it needs is not a plain whole number (the general reading
// decides those).
std::optional<AreaGeometry> parsePlainArea(QStringView line)
{
    const qsizetype bar = line.indexOf(u'|');
    if (bar < 0)
        return std::nullopt;
    const QStringView shape = line.first(bar).trimmed();
    qsizetype end = line.indexOf(u'|', bar + 1);
    const QStringView coords = line.sliced(bar + 1, (end < 0 ? line.size() : end) - bar - 1);
    const bool rect = shape == u"rect";
    const bool circle = shape == u"circle";
    if (!rect && !circle && shape != u"poly")
        return AreaGeometry();
    const qsizetype pieces = coords.count(u',') + 1;
    const qsizetype needed = rect ? 4 : circle ? 3 : pieces;
    if (pieces < (rect ? 4 : circle ? 3 : 2))
        return AreaGeometry();
    QVarLengthArray<int, 8> values;
    qsizetype from = 0;
    for (qsizetype i = 0; i < needed; ++i) {
        qsizetype comma = coords.indexOf(u',', from);
        if (comma < 0)
            comma = coords.size();
        const std::optional<double> value = entry::plainWholeNumber(coords.sliced(from, comma - from).trimmed());
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

} // namespace

AreaGeometry parseArea(QStringView line)
{
    if (std::optional<AreaGeometry> plain = parsePlainArea(line))
        return std::move(*plain);
    AreaGeometry area;
    const QString text = line.toString();
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
