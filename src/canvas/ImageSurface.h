#pragma once

#include "canvas/Damage.h"
#include "canvas/DrawingLog.h"
#include "canvas/PenSurface.h"

#include <QImage>
#include <QPainter>
#include <QRegion>

#include <functional>
#include <memory>
#include <optional>

namespace korvane {

// The canvas's persistent buffer: the picture plus everything drawn on it.
// It remembers which parts differ from the last complete redraw of the areas
// ("dirty"), so a redraw can restore and repaint only those parts. Its log
// keeps how the drawing was made, for the zoomed canvas.
class ImageSurface : public PenSurface {
public:
    ImageSurface();
    ~ImageSurface() override;

    // The picture below the drawing; the buffer takes its size and contents.
    // These two are the only copies the surface keeps; a picture handed over
    // with std::move is kept without copying it once more. A big one (8 MiB
    // and more) is held alone until something needs the buffer (see
    // owesBuffer()); then it becomes the buffer, and picture() keeps its
    // pixels in 24 bits.
    void setPicture(QImage picture);
    // Gives up the picture and the drawing (the surface shrinks to one
    // pixel), so that a new picture can be decoded without the old one.
    void releasePicture();
    // Without a picture the buffer has this size and the background colour.
    void resizeBlank(QSize size, const QColor& background);
    const QImage& picture() const { return m_picture; }
    const QImage& image() const;
    QSize size() const { return m_picture.size(); }

    // A big picture's buffer is made when it is first needed (its pixels
    // read, anything drawn into it): a canvas fitted to the view shows the
    // picture and the drawing log, not the buffer, so an open need not fill
    // 50 MB with areas before the first paint. The buffer then shows exactly
    // what drawing at once would have shown.
    bool owesBuffer() const { return m_owed.has_value(); }
    // Drawn into the buffer when it is made, with the drawing attributes as
    // they are now and quiet: the areas of a complete redraw. Replaces what
    // was owed before; draws at once when the buffer exists.
    void drawWhenMade(std::function<void(ImageSurface&)> draw);

    void drawLine(QPointF from, QPointF to, const QColor& color) override;
    void drawRectangle(QPointF corner1, QPointF corner2) override;
    void drawCircle(QPointF centre, double radius, const QColor& color) override;
    void drawPolygon(const QPolygon& points) override;
    void drawText(QPoint topLeft, const QString& text, const QFont& font) override;
    void clear() override;
    QColor pixel(QPoint point) const override;

    // How the drawing was made: the zoomed canvas draws it again at its scale.
    DrawingLog& log() { return m_log; }
    const DrawingLog& log() const { return m_log; }
    // The drawing attributes as the log records them, with this outline colour.
    DrawingLog::Style style(const QColor& outline) const;
    // Draws the logged areas; set by whoever draws the areas onto the surface.
    void setAreaPainter(DrawingLog::AreaPainter painter) { m_areaPainter = std::move(painter); }
    // Draws what the log holds, where it reaches into `visible` (picture pixels).
    void replay(DrawingSurface& target, const QRectF& visible) const { m_log.replay(target, visible, m_areaPainter); }

    // Called with every changed rectangle (the widget repaints it).
    void setChangeListener(std::function<void(const QRect&)> listener) { m_changed = std::move(listener); }

    // --- support for the area renderer ---
    // While quiet, primitives neither count as dirty nor notify the listener.
    void setQuiet(bool quiet) { m_quiet = quiet; }
    // The buffer now shows exactly the picture plus all areas.
    void markClean();
    bool isClean() const { return m_clean; }
    const Damage& dirty() const { return m_dirty; }
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
    void makeBuffer() const;
    void useStyle(const DrawingLog::Style& style);
    void prepare(const QColor& penColor, bool filled);
    bool drawOutlineDirectly(const QRectF& rect);
    void touched(const QRectF& bounds);
    bool logs() const;
    // The log's record of a primitive just drawn.
    DrawingLog::Step step(DrawingLog::Kind kind, const QColor& outline, const QRectF& bounds, QPointF a = {},
                          QPointF b = {}) const;

    // Both change when the buffer is made, which reading image() may do.
    mutable QImage m_picture;
    mutable QImage m_buffer;
    struct Owed {
        std::function<void(ImageSurface&)> draw;
        DrawingLog::Style style;
    };
    mutable std::optional<Owed> m_owed;
    QColor m_background;
    mutable std::unique_ptr<QPainter> m_painter;
    // What the open painter was last prepared with: a million areas in one
    // style need their pen, brush and composition set only once.
    struct Prepared {
        QColor pen;
        bool hatched = false;
        QColor fill; // only with hatching
        int width = 0;
        DrawMode mode = DrawMode::Copy;
        bool operator==(const Prepared&) const = default;
    };
    std::optional<Prepared> m_prepared;
    QRegion m_clip;
    bool m_clipped = false;
    DrawingLog m_log;
    DrawingLog::AreaPainter m_areaPainter;
    bool m_quiet = false;
    bool m_pristine = false; // the buffer shows the picture and nothing else
    bool m_clean = false;
    Damage m_dirty;
    std::function<void(const QRect&)> m_changed;
};

} // namespace korvane
