#pragma once

#include "canvas/DrawingSurface.h"

#include <QImage>
#include <QPainter>
#include <QRegion>

#include <functional>
#include <memory>

namespace korvane {

// The canvas's persistent buffer: the picture plus everything drawn on it.
// It remembers which parts differ from the last complete redraw of the areas
// ("dirty"), so a redraw can restore and repaint only those parts.
class ImageSurface : public DrawingSurface {
public:
    ImageSurface();
    ~ImageSurface() override;

    // The picture below the drawing; the buffer takes its size and contents.
    // These two are the only copies the surface keeps; a picture handed over
    // with std::move is kept without copying it once more. A big one (8 MiB
    // and more) becomes the buffer, and picture() keeps its pixels in 24 bits.
    void setPicture(QImage picture);
    // Gives up the picture and the drawing (the surface shrinks to one
    // pixel), so that a new picture can be decoded without the old one.
    void releasePicture();
    // Without a picture the buffer has this size and the background colour.
    void resizeBlank(QSize size, const QColor& background);
    const QImage& picture() const { return m_picture; }
    const QImage& image() const;
    QSize size() const { return m_buffer.size(); }

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

    void drawLine(QPointF from, QPointF to, const QColor& color) override;
    void drawRectangle(QPointF corner1, QPointF corner2) override;
    void drawCircle(QPointF centre, double radius, const QColor& color) override;
    void drawPolygon(const QPolygon& points) override;
    void drawText(QPoint topLeft, const QString& text, const QFont& font) override;
    void clear() override;
    QColor pixel(QPoint point) const override;

    // Called with every changed rectangle (the widget repaints it).
    void setChangeListener(std::function<void(const QRect&)> listener) { m_changed = std::move(listener); }

    // --- support for the area renderer ---
    // While quiet, primitives neither count as dirty nor notify the listener.
    void setQuiet(bool quiet) { m_quiet = quiet; }
    // The buffer now shows exactly the picture plus all areas.
    void markClean();
    bool isClean() const { return m_clean; }
    const QRegion& dirty() const { return m_dirty; }
    void addDirty(const QRect& rect);
    // Copies the picture back inside the region and clips further drawing to it.
    void restoreRegion(const QRegion& region);
    void setClip(const QRegion& region);
    void clearClip();
    // Ends the open painter so the buffer can be read or copied.
    void flush() const;
    void notify(const QRect& rect);

private:
    QPainter& painter();
    void restorePicture();
    void prepare(const QColor& penColor, bool filled);
    void touched(const QRectF& bounds);

    QImage m_picture;
    QImage m_buffer;
    QColor m_background;
    mutable std::unique_ptr<QPainter> m_painter;
    QRegion m_clip;
    bool m_clipped = false;
    QColor m_pen = Qt::black;
    QColor m_fill = Qt::cyan;
    FillStyle m_fillStyle = FillStyle::Transparent;
    int m_width = 1;
    DrawMode m_mode = DrawMode::Copy;
    bool m_quiet = false;
    bool m_pristine = false; // the buffer shows the picture and nothing else
    bool m_clean = false;
    QRegion m_dirty;
    std::function<void(const QRect&)> m_changed;
};

} // namespace korvane
