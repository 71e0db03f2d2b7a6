#include "canvas/HitTest.h"

namespace korvane {

namespace {

bool insideBounds(const QRect& bounds, QPointF p)
{
    return p.x() >= bounds.left() && p.x() <= bounds.right() && p.y() >= bounds.top() && p.y() <= bounds.bottom();
}

// Counts the edges a ray to the right crosses; an odd count is inside.
bool insidePolygon(const QPolygon& points, QPointF p)
{
    bool inside = false;
    for (qsizetype i = 0, j = points.size() - 1; i < points.size(); j = i++) {
        const QPointF a = points[i], b = points[j];
        if ((a.y() > p.y()) != (b.y() > p.y()) && p.x() < (b.x() - a.x()) * (p.y() - a.y()) / (b.y() - a.y()) + a.x())
            inside = !inside;
    }
    return inside;
}

} // namespace

bool containsPoint(const AreaGeometry& area, QPointF p)
{
    if (!area.clickable || !insideBounds(area.bounds, p))
        return false;
    switch (area.kind) {
    case AreaGeometry::Kind::Rect:
        return true;
    case AreaGeometry::Kind::Circle: {
        const double dx = p.x() - area.centre.x(), dy = p.y() - area.centre.y();
        return dx * dx + dy * dy <= double(area.radius) * area.radius;
    }
    case AreaGeometry::Kind::Poly:
        return insidePolygon(area.points, p);
    case AreaGeometry::Kind::None:
        break;
    }
    return false;
}

int areaAt(const QVector<AreaGeometry>& areas, QPointF point)
{
    for (qsizetype i = 0; i < areas.size(); ++i) {
        if (containsPoint(areas[i], point))
            return int(i);
    }
    return -1;
}

} // namespace korvane
