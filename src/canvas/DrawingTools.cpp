#include "canvas/DrawingTools.h"

#include "canvas/DrawingSurface.h"
#include "canvas/EditorState.h"
#include "model/AreaEntry.h"

#include <cmath>

namespace korvane {

namespace {

QPoint rounded(QPointF p) { return QPoint(roundHalfEven(p.x()), roundHalfEven(p.y())); }

} // namespace

void PolygonTool::press(Qt::MouseButton button, QPointF position)
{
    EditorState& s = m_host.editor();
    if (s.polygonOpen && button == Qt::LeftButton) {
        m_host.surface().drawLine(s.polyLast, position, m_host.surface().penColor());
        s.polyLast = position;
        ++s.polyPointCount;
        s.polyPoints.append(rounded(position));
    } else if (s.polygonOpen && button == Qt::RightButton) {
        close(position);
    } else if (!s.polygonOpen && button == Qt::LeftButton) {
        s.polygonOpen = true;
        s.polyFirst = s.polyLast = position;
        s.polyPointCount = 1;
        s.polyPoints = {rounded(position)};
    }
}

void PolygonTool::close(QPointF position)
{
    EditorState& s = m_host.editor();
    s.polygonOpen = false;
    DrawingSurface& surface = m_host.surface();
    surface.drawLine(s.polyLast, position, m_host.buttonFaceColor());
    surface.drawLine(s.polyLast, s.polyFirst, surface.penColor());
    QList<int> values;
    for (const QPoint& p : std::as_const(s.polyPoints))
        values << p.x() << p.y();
    s.polyCoordText = entry::coordinateText(values);
    if (m_host.commitShape(QStringLiteral("poly"), s.polyCoordText))
        s.polyCoordText.clear();
    m_host.pressRefresh();
}

void DragTool::press(Qt::MouseButton, QPointF position)
{
    EditorState& s = m_host.editor();
    if (s.drawState != 1)
        return;
    s.dragStart = s.dragEnd = position;
    drawBand(s.dragStart, s.dragEnd);
    s.dragPrevious = s.dragStart;
    s.drawState = 2;
}

// The band is drawn in XOR: drawing the previous one again erases it.
void DragTool::move(QPointF position)
{
    EditorState& s = m_host.editor();
    if (s.drawState != 2)
        return;
    s.dragEnd = s.dragPrevious;
    drawBand(s.dragStart, s.dragEnd);
    s.dragEnd = position;
    drawBand(s.dragStart, s.dragEnd);
    s.dragPrevious = s.dragEnd;
}

bool DragTool::release(Qt::MouseButton button, QPointF)
{
    EditorState& s = m_host.editor();
    if (s.drawState != 2)
        return true;
    if (button != Qt::LeftButton) {
        s.drawState = 1; // the band stays until the next refresh
        return true;
    }
    if (std::abs(s.dragEnd.x() - s.dragStart.x()) <= 1 || !finish(s.dragStart, s.dragEnd)) {
        m_host.pressRefresh();
        s.drawState = 1;
        return false;
    }
    m_host.pressRefresh();
    s.drawState = 1;
    return true;
}

void RectangleTool::drawBand(QPointF start, QPointF end) { m_host.surface().drawRectangle(start, end); }

bool RectangleTool::finish(QPointF start, QPointF end)
{
    if (std::abs(end.x() - start.x()) <= 1 || std::abs(end.y() - start.y()) <= 1)
        return false;
    int left = roundHalfEven(start.x()), top = roundHalfEven(start.y());
    int right = roundHalfEven(end.x()), bottom = roundHalfEven(end.y());
    if (left > right)
        SWAP(left, right);
    if (top > bottom)
        SWAP(top, bottom);
    if (m_host.commitShape(QStringLiteral("rect"), entry::coordinateText({left, top, right, bottom})))
        m_host.editor().drawState = 1;
    return true;
}

void CircleTool::drawBand(QPointF start, QPointF end)
{
    m_host.surface().drawCircle(start, std::abs(end.x() - start.x()), m_host.drawColor());
}

bool CircleTool::finish(QPointF start, QPointF end)
{
    const int radius = roundHalfEven(std::abs(end.x() - start.x()));
    if (m_host.commitShape(QStringLiteral("circle"),
                           entry::coordinateText({roundHalfEven(start.x()), roundHalfEven(start.y()), radius})))
        m_host.editor().drawState = 1;
    return true;
}

} // namespace korvane
