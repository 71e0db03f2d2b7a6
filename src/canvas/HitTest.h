#pragma once

#include "canvas/AreaGeometry.h"

#include <QPointF>
#include <QVector>

namespace korvane {

// Whether a web browser would follow the area at the point: rectangles and
// circles with their edges inside, polygons by the even-odd rule. Shapes a
// browser ignores (a circle without radius, a polygon of fewer than three
// points) contain nothing.
bool containsPoint(const AreaGeometry& area, QPointF point);
// The first area in list order that contains the point, -1 when none does:
// the one a browser follows where areas overlap.
int areaAt(const QVector<AreaGeometry>& areas, QPointF point);

} // namespace korvane
