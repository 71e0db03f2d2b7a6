#pragma once

#include "canvas/PenSurface.h"

namespace korvane {

// Draws onto the painter of the zoomed canvas: positions in picture pixels
// are scaled, line widths stay in screen pixels. The picture below is painted
// by the canvas itself.
class ScaledSurface : public PenSurface {
public:
    ScaledSurface(QPainter& painter, double scale) : m_painter(painter), m_scale(scale) {}

    void drawLine(QPointF from, QPointF to, const QColor& color) override;
    void drawRectangle(QPointF corner1, QPointF corner2) override;
    void drawCircle(QPointF centre, double radius, const QColor& color) override;
    void drawPolygon(const QPolygon& points) override;
    void drawText(QPoint topLeft, const QString& text, const QFont& font) override;
    void clear() override {}
    QColor pixel(QPoint) const override { return {}; }

private:
    QPointF map(QPointF p) const { return p * m_scale; }

    QPainter& m_painter;
    double m_scale;
};

} // namespace korvane
