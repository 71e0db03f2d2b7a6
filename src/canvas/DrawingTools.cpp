#include "canvas/DrawingTools.h"

#include "canvas/DrawingSurface.h"
#include "canvas/EditorState.h"
#include "model/AreaEntry.h"

#include <cmath>

namespace korvane {

namespace {

QPoint rounded(QPointF p)
{
    return QPoint(roundHalfEven(p.x()), roundHalfEven(p.y()));
}

} // namespace

void PolygonTool::press(Qt::MouseButton button, QPointF position)
{
    EditorState& s = m_host.editor();
    if (s.polygonOpen && button == Qt::LeftButton) {
        m_host.surface().drawLine(s.polyLast, position, m_host.surface().penColor());
        s.polyLast = position;
        ++s.polyPointCount;
        s.polyPoints.append(rounded(position));
        m_clicked << position;
    } else if (s.polygonOpen && button == Qt::RightButton) {
        close(position);
    } else if (!s.polygonOpen && button == Qt::LeftButton) {
        s.polygonOpen = true;
        s.polyFirst = s.polyLast = position;
        s.polyPointCount = 1;
        s.polyPoints = {rounded(position)};
        m_clicked = {position};
    }
    m_pointer = position;
}

void PolygonTool::move(QPointF position)
{
    m_pointer = position;
    const EditorState& s = m_host.editor();
    if (s.polygonOpen)
        m_host.showNextEdge(QLineF(s.polyLast, position));
}

bool PolygonTool::key(int key)
{
    if (!m_host.editor().polygonOpen || (key != Qt::Key_Backspace && key != Qt::Key_Escape))
        return false;
    if (key == Qt::Key_Escape || m_host.editor().polyPointCount <= 1)
        drop();
    else
        takeBackLastPoint();
    return true;
}

// The edges drawn so far go with the picture's redraw and come back but the last.
void PolygonTool::takeBackLastPoint()
{
    EditorState& s = m_host.editor();
    if (m_clicked.size() != s.polyPoints.size())
        m_clicked = QList<QPointF>(s.polyPoints.cbegin(), s.polyPoints.cend());
    s.polyPoints.removeLast();
    m_clicked.removeLast();
    --s.polyPointCount;
    s.polyLast = m_clicked.last();
    m_host.redrawAreas();
    DrawingSurface& surface = m_host.surface();
    for (qsizetype i = 1; i < m_clicked.size(); ++i)
        surface.drawLine(m_clicked[i - 1], m_clicked[i], surface.penColor());
    m_host.showNextEdge(QLineF(s.polyLast, m_pointer));
}

void PolygonTool::drop()
{
    EditorState& s = m_host.editor();
    s.polygonOpen = false;
    s.polyPoints.clear();
    s.polyPointCount = 0;
    m_clicked.clear();
    m_host.showNextEdge(std::nullopt);
    m_host.redrawAreas();
}

void PolygonTool::cancel()
{
    if (m_host.editor().polygonOpen)
        drop();
}

void PolygonTool::close(QPointF position)
{
    EditorState& s = m_host.editor();
    s.polygonOpen = false;
    m_clicked.clear();
    m_host.showNextEdge(std::nullopt);
    DrawingSurface& surface = m_host.surface();
    surface.drawLine(s.polyLast, position, m_host.buttonFaceColor());
    surface.drawLine(s.polyLast, s.polyFirst, surface.penColor());
    QList<int> values;
    for (const QPoint& p : std::as_const(s.polyPoints))
        values << p.x() << p.y();
    s.polyCoordText = entry::coordinateText(values);
    if (m_host.commitShape(QStringLiteral("poly"), s.polyCoordText))
        s.polyCoordText.clear();
    m_host.refresh();
}

void DragTool::press(Qt::MouseButton, QPointF position)
{
    EditorState& s = m_host.editor();
    if (s.drawState() != 1)
        return;
    s.dragStart = s.dragEnd = position;
    drawBand(s.dragStart, s.dragEnd);
    s.dragPrevious = s.dragStart;
    s.setDragging(true);
}

// The band is drawn in XOR: drawing the previous one again erases it.
void DragTool::move(QPointF position)
{
    EditorState& s = m_host.editor();
    if (s.drawState() != 2)
        return;
    s.dragEnd = s.dragPrevious;
    drawBand(s.dragStart, s.dragEnd);
    s.dragEnd = position;
    drawBand(s.dragStart, s.dragEnd);
    s.dragPrevious = s.dragEnd;
}

bool DragTool::key(int key)
{
    EditorState& s = m_host.editor();
    if (key != Qt::Key_Escape || s.drawState() != 2)
        return false;
    cancel();
    return true;
}

// Drawn once more in XOR, the band is gone.
void DragTool::cancel()
{
    EditorState& s = m_host.editor();
    if (s.drawState() != 2)
        return;
    drawBand(s.dragStart, s.dragPrevious);
    s.setDragging(false);
}

bool DragTool::release(Qt::MouseButton button, QPointF)
{
    EditorState& s = m_host.editor();
    if (s.drawState() != 2)
        return true;
    if (button != Qt::LeftButton) {
        s.setDragging(false); // the band stays until the next refresh
        return true;
    }
    if (std::abs(s.dragEnd.x() - s.dragStart.x()) <= 1 || !finish(s.dragStart, s.dragEnd)) {
        m_host.refresh();
        s.setDragging(false);
        return false;
    }
    m_host.refresh();
    s.setDragging(false);
    return true;
}

void RectangleTool::drawBand(QPointF start, QPointF end)
{
    m_host.surface().drawRectangle(start, end);
}

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
        m_host.editor().setDragging(false);
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
        m_host.editor().setDragging(false);
    return true;
}

} // namespace korvane
