#include "canvas/ScaledSurface.h"

#include <QPainter>
#include <QPolygonF>

namespace korvane {

void ScaledSurface::drawLine(QPointF from, QPointF to, const QColor& color)
{
    preparePainter(m_painter, color, false);
    m_painter.drawLine(map(from), map(to));
}

void ScaledSurface::drawRectangle(QPointF corner1, QPointF corner2)
{
    preparePainter(m_painter, penColor(), true);
    m_painter.drawRect(QRectF(map(corner1), map(corner2)).normalized());
}

void ScaledSurface::drawCircle(QPointF centre, double radius, const QColor& color)
{
    preparePainter(m_painter, color, true);
    m_painter.drawEllipse(map(centre), radius * m_scale, radius * m_scale);
}

void ScaledSurface::drawPolygon(const QPolygon& points)
{
    if (points.isEmpty())
        return;
    preparePainter(m_painter, penColor(), true);
    if (points.size() == 1) {
        m_painter.drawPoint(map(points.first()));
        return;
    }
    QPolygonF scaled;
    scaled.reserve(points.size());
    for (const QPoint& p : points)
        scaled << map(p);
    m_painter.drawPolygon(scaled);
}

// Text keeps its proportions to the picture, as the title screen does.
void ScaledSurface::drawText(QPoint topLeft, const QString& text, const QFont& font)
{
    m_painter.save();
    m_painter.scale(m_scale, m_scale);
    paintText(m_painter, topLeft, text, font);
    m_painter.restore();
}

} // namespace korvane
