#include "canvas/AreaGeometry.h"

#include "canvas/DrawingSurface.h"
#include "model/AreaEntry.h"

#include <algorithm>

namespace korvane {

namespace {

// Coordinates far outside any image would overflow the pixel arithmetic.
int pixelValue(double value)
{
    return roundHalfEven(std::clamp(value, -10'000'000.0, 10'000'000.0));
}

} // namespace

AreaGeometry parseArea(const QString& line)
{
    AreaGeometry area;
    const QString shape = entry::shapeOf(line);
    const QList<double> c = entry::coordinateValues(entry::coordsOf(line));
    if (shape == QLatin1String("rect") && c.size() >= 4) {
        area.kind = AreaGeometry::Kind::Rect;
        area.corner1 = QPoint(pixelValue(c[0]), pixelValue(c[1]));
        area.corner2 = QPoint(pixelValue(c[2]), pixelValue(c[3]));
        area.bounds = QRect(area.corner1, area.corner2).normalized();
        area.clickable = true;
    } else if (shape == QLatin1String("circle") && c.size() >= 3) {
        area.kind = AreaGeometry::Kind::Circle;
        area.centre = QPoint(pixelValue(c[0]), pixelValue(c[1]));
        area.radius = std::abs(pixelValue(c[2]));
        area.clickable = pixelValue(c[2]) > 0;
        area.bounds = QRect(area.centre.x() - area.radius, area.centre.y() - area.radius, 2 * area.radius + 1,
                            2 * area.radius + 1);
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
