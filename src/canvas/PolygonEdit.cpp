#include "canvas/PolygonEdit.h"

#include "model/AreaEntry.h"

#include <QLineF>

#include <algorithm>
#include <cmath>

namespace korvane {

namespace {

// The polygon's coordinate pieces as written, or nothing for another line.
QStringList polygonPieces(const QString& line)
{
    if (entry::shapeName(line) != QLatin1String("poly"))
        return {};
    QStringList pieces = entry::coordsOf(line).split(QLatin1Char(','));
    if (pieces.size() % 2 != 0)
        return {};
    return pieces;
}

double distanceToSegment(QPointF p, QPointF a, QPointF b)
{
    const QPointF ab = b - a;
    const double length2 = QPointF::dotProduct(ab, ab);
    const double t = length2 > 0 ? std::clamp(QPointF::dotProduct(p - a, ab) / length2, 0.0, 1.0) : 0.0;
    return QLineF(p, a + t * ab).length();
}

} // namespace

QString withoutVertex(const QString& line, int vertex)
{
    QStringList pieces = polygonPieces(line);
    const qsizetype count = pieces.size() / 2;
    if (count <= kFewestPolygonPoints || vertex < 0 || vertex >= count)
        return {};
    pieces.remove(2 * vertex, 2);
    return entry::withCoords(line, pieces.join(QLatin1Char(',')));
}

int edgeNear(const QPolygon& points, QPointF point, double reach)
{
    int nearest = -1;
    double best = reach;
    const qsizetype n = points.size();
    for (qsizetype i = 0; n >= 2 && i < n; ++i) {
        const double d = distanceToSegment(point, points[i], points[(i + 1) % n]);
        if (d <= best) {
            best = d;
            nearest = int(i);
        }
    }
    return nearest;
}

QString withVertexAfter(const QString& line, int after, QPoint point)
{
    QStringList pieces = polygonPieces(line);
    if (pieces.isEmpty() || after < 0 || 2 * after >= pieces.size())
        return {};
    pieces.insert(2 * after + 2, QString::number(point.y()));
    pieces.insert(2 * after + 2, QString::number(point.x()));
    return entry::withCoords(line, pieces.join(QLatin1Char(',')));
}

} // namespace korvane
