#pragma once

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QPointF>
#include <QPolygon>
#include <QString>

namespace korvane {

// Plain copy replaces the pixels; inverted exclusive-or makes each pixel the
// inverse of (pen XOR pixel), so drawing the same outline twice restores it.
enum class DrawMode { Copy, InvertXor };
// The numbers are those the settings file stores.
enum class FillStyle { Transparent = 1, DiagonalCross = 7 };

// The small set of drawing operations the editor needs from its canvas. The
// drawing attributes are state of the surface, as on a persistent canvas.
class DrawingSurface {
public:
    virtual ~DrawingSurface() = default;

    virtual void setPenColor(const QColor& color) = 0;
    virtual QColor penColor() const = 0;
    virtual void setFillColor(const QColor& color) = 0;
    virtual QColor fillColor() const = 0;
    virtual void setFillStyle(FillStyle style) = 0;
    virtual FillStyle fillStyle() const = 0;
    virtual void setLineWidth(int width) = 0;
    virtual int lineWidth() const = 0;
    virtual void setDrawMode(DrawMode mode) = 0;
    virtual DrawMode drawMode() const = 0;

    // A line in the given colour with the current width (no fill).
    virtual void drawLine(QPointF from, QPointF to, const QColor& color) = 0;
    // A rectangle outline in the pen colour, its inside in the fill style.
    virtual void drawRectangle(QPointF corner1, QPointF corner2) = 0;
    // A circle outline in the given colour, its inside in the fill style.
    virtual void drawCircle(QPointF centre, double radius, const QColor& color) = 0;
    // A closed polygon: outline in the pen colour, inside in the fill style.
    virtual void drawPolygon(const QPolygon& points) = 0;
    // Text in the pen colour, its top-left corner at the point.
    virtual void drawText(QPoint topLeft, const QString& text, const QFont& font) = 0;
    // Removes everything drawn: the picture is copied back.
    virtual void clear() = 0;
    virtual QColor pixel(QPoint point) const = 0;
};

} // namespace korvane
