#pragma once

#include <QPointF>
#include <QPolygon>
#include <QString>

namespace korvane {

// The catch distance of the pointer in screen pixels: an edge or a target
// this near counts as hit, whatever the zoom.
inline constexpr double kCatchPixels = 6.0;

// A browser needs three points for a polygon; fewer are never left behind.
inline constexpr int kFewestPolygonPoints = 3;

// The polygon line without vertex `vertex` (from 0); a null text when it is
// not a polygon, has no such vertex or would keep fewer than three points.
// The other coordinates stay as written.
QString withoutVertex(const QString& line, int vertex);

// The edge of the closed outline nearest to `point` within `reach`: the
// index of its first vertex (the last one for the closing edge), -1 when no
// edge is that near.
int edgeNear(const QPolygon& points, QPointF point, double reach);

// The polygon line with `point` put in as a new vertex after vertex `after`
// (from 0), so it lies on the edge that begins there.
QString withVertexAfter(const QString& line, int after, QPoint point);

} // namespace korvane
