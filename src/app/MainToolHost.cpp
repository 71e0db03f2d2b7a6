#include "app/MainToolHost.h"

#include "app/EditorSession.h"
#include "app/commands/DialogPlacement.h"
#include "app/commands/EditorView.h"
#include "canvas/AreaGeometry.h"
#include "canvas/Canvas.h"
#include "canvas/DrawingSurface.h"
#include "model/AreaEntry.h"
#include "tools/ToolContext.h"

#include <QWidget>

#include <cmath>

namespace korvane {

DrawingSurface& MainToolHost::surface()
{
    return m_canvas.surface();
}

EditorState& MainToolHost::editor()
{
    return m_session.editor();
}

QColor MainToolHost::drawColor() const
{
    return m_session.drawing().draw;
}

QColor MainToolHost::buttonFaceColor() const
{
    return m_view.owner()->palette().color(QPalette::Button);
}

bool MainToolHost::commitShape(const QString& shape, const QString& coords)
{
    const QRect bounds = parseArea(entry::makeLine(QStringLiteral(" "), shape, coords, {})).bounds;
    if (!m_context.askLink(shapeOnScreen(bounds, m_canvas, m_canvas.zoomFactor(), m_viewport)))
        return false;
    m_session.document().drawArea(entry::makeLine(QStringLiteral(" "), shape, coords, m_session.state().link));
    if (!m_session.areas().isEmpty())
        m_session.tools().enableEdit(true); // there is something to edit now
    return true;
}

bool MainToolHost::commitShapes(const QString& shape, const QStringList& coords, const QString& stepText)
{
    if (coords.isEmpty())
        return false;
    QRect bounds;
    for (const QString& c : coords)
        bounds |= parseArea(entry::makeLine(QStringLiteral(" "), shape, c, {})).bounds;
    if (!m_context.askLink(shapeOnScreen(bounds, m_canvas, m_canvas.zoomFactor(), m_viewport)))
        return false;
    MapDocument& document = m_session.document();
    AreaLines after = document.areas().lines();
    for (const QString& c : coords)
        after.append(entry::makeLine(QStringLiteral(" "), shape, c, m_session.state().link));
    document.changeLines(document.areas().lines(), after, stepText);
    m_session.tools().enableEdit(true); // there is something to edit now
    return true;
}

void MainToolHost::refresh()
{
    m_view.refresh();
}

// Painted while the polygon is open: a refresh closes it, and the edge goes with it.
void MainToolHost::showNextEdge(std::optional<QLineF> edge)
{
    if (!m_edge && edge) {
        m_canvas.setOverlay([this](DrawingSurface& target, const QRectF&) {
            if (m_edge && m_session.editor().polygonOpen)
                target.drawLine(m_edge->p1(), m_edge->p2(), target.penColor());
        });
    }
    updateEdge();
    m_edge = edge;
    updateEdge();
    if (!m_edge)
        m_canvas.setOverlay({});
}

// Only the edge's part of the canvas is painted again.
void MainToolHost::updateEdge()
{
    if (!m_edge)
        return;
    const double zoom = m_canvas.zoomFactor();
    const QRectF onCanvas(m_edge->p1() * zoom, m_edge->p2() * zoom);
    const int reach = 4 + int(std::ceil(zoom)) * m_session.drawing().lineWidth;
    m_canvas.update(onCanvas.normalized().toAlignedRect().adjusted(-reach, -reach, reach, reach));
}

void MainToolHost::redrawAreas()
{
    m_view.neu_zeichnen(-1, false);
}

} // namespace korvane
