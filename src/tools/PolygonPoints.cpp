#include "tools/PolygonPoints.h"

#include "canvas/AreaGeometry.h"
#include "canvas/PolygonEdit.h"
#include "document/MapDocument.h"
#include "model/AreaEntry.h"
#include "tools/ToolContext.h"

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
    m_context.showChanged(row);
    return true;
}

} // namespace korvane
