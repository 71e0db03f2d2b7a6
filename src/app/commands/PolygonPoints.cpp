#include "app/commands/PolygonPoints.h"

#include "canvas/AreaGeometry.h"
#include "canvas/PolygonEdit.h"
#include "document/MapDocument.h"
#include "model/AreaEntry.h"

#include <QCoreApplication>

namespace korvane {

bool PolygonPoints::canRemove(int row, int vertex) const
{
    return !withoutVertex(m_document.areas().line(row), vertex).isNull();
}

bool PolygonPoints::remove(int row, int vertex)
{
    const QString line = withoutVertex(m_document.areas().line(row), vertex);
    if (line.isNull())
        return false;
    m_document.changeShape(row, line, QCoreApplication::translate("korvane::PolygonPoints", "Punkt entfernen"));
    m_show(row);
    return true;
}

bool PolygonPoints::insert(int row, QPointF at, double reach)
{
    const QString before = m_document.areas().line(row);
    const AreaGeometry shape = parseArea(before);
    if (shape.kind != AreaGeometry::Kind::Poly)
        return false;
    const int edge = edgeNear(shape.points, at, reach);
    if (edge < 0)
        return false;
    const QString line = withVertexAfter(before, edge, QPoint(roundHalfEven(at.x()), roundHalfEven(at.y())));
    if (line.isNull())
        return false;
    m_document.changeShape(row, line, QCoreApplication::translate("korvane::PolygonPoints", "Punkt einfügen"));
    m_show(row);
    return true;
}

} // namespace korvane
