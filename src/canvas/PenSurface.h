#pragma once

#include "canvas/DrawingSurface.h"

class QPainter;

namespace korvane {

// A drawing surface that keeps its drawing attributes and draws with a
// QPainter: the canvas buffer and the zoomed view share how a pen, a fill and
// a text are set up, so both show the same lines.
class PenSurface : public DrawingSurface {
public:
    void setPenColor(const QColor& color) override { m_pen = color; }
    QColor penColor() const override { return m_pen; }
    void setFillColor(const QColor& color) override { m_fill = color; }
    QColor fillColor() const override { return m_fill; }
    void setFillStyle(FillStyle style) override { m_fillStyle = style; }
    FillStyle fillStyle() const override { return m_fillStyle; }
    void setLineWidth(int width) override;
    int lineWidth() const override { return m_width; }
    void setDrawMode(DrawMode mode) override { m_mode = mode; }
    DrawMode drawMode() const override { return m_mode; }

protected:
    // Pen, brush and composition for the next primitive.
    void preparePainter(QPainter& painter, const QColor& penColor, bool filled) const;
    // Draws the text in the pen colour and returns where it went.
    QRect paintText(QPainter& painter, QPoint topLeft, const QString& text, const QFont& font) const;

private:
    QColor m_pen = Qt::black;
    QColor m_fill = Qt::cyan;
    FillStyle m_fillStyle = FillStyle::Transparent;
    int m_width = 1;
    DrawMode m_mode = DrawMode::Copy;
};

} // namespace korvane
