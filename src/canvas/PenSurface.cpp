#include "canvas/PenSurface.h"

#include <QPainter>

#include <algorithm>

namespace korvane {

void PenSurface::setLineWidth(int width)
{
    m_width = std::clamp(width, 1, 3);
}

void PenSurface::preparePainter(QPainter& p, const QColor& penColor, bool filled) const
{
    p.setCompositionMode(m_mode == DrawMode::InvertXor ? QPainter::RasterOp_NotSourceXorDestination
                                                       : QPainter::CompositionMode_SourceOver);
    QPen pen(penColor, m_width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    if (m_width == 1)
        pen.setCosmetic(true);
    p.setPen(pen);
    if (filled && m_fillStyle == FillStyle::DiagonalCross)
        p.setBrush(QBrush(m_fill, Qt::DiagCrossPattern));
    else
        p.setBrush(Qt::NoBrush);
}

QRect PenSurface::paintText(QPainter& p, QPoint topLeft, const QString& text, const QFont& font) const
{
    preparePainter(p, m_pen, false);
    p.setFont(font);
    const QRect bounds =
        p.fontMetrics().boundingRect(QRect(topLeft, QSize(100000, 100000)), Qt::AlignLeft | Qt::AlignTop, text);
    p.drawText(bounds, Qt::AlignLeft | Qt::AlignTop, text);
    return bounds;
}

} // namespace korvane
