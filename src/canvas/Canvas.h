#pragma once

#include "canvas/ImageSurface.h"
#include "canvas/ReducedPicture.h"

#include <QImage>
#include <QWidget>

#include <optional>
#include <functional>

namespace korvane {

// Picture1: shows the persistent buffer (the picture plus everything drawn)
// and reports mouse actions in picture pixels. The edit handles are its
// children, so they scroll with it. Zoomed, it is the picture's size times
// the zoom, shows the picture scaled and draws the drawing over it again with
// lines as wide as at 100 %.
class Canvas : public QWidget {
    Q_OBJECT
public:
    explicit Canvas(QWidget* parent = nullptr);

    // Shows the image unscaled from the top-left corner; the canvas takes its
    // size and returns to 100 %. A null image leaves a blank surface of the
    // current size.
    // `transparency`: the picture's alpha (Format_Alpha8) when some of it is
    // transparent; those parts are shown on a chequerboard, while the picture
    // the areas are drawn on stays as it is (transparent parts white).
    void setPicture(QImage image, QImage transparency = {});
    const QImage& transparency() const { return m_transparency; }
    // Frees the picture before a new one is decoded; the canvas keeps its size
    // until the next setPicture().
    void releasePicture()
    {
        m_reduced.clear(); // a copy still being made holds the picture too
        m_surface.releasePicture();
    }
    const QImage& picture() const { return m_surface.picture(); }
    ImageSurface& surface() { return m_surface; }
    // The buffer as shown at 100 % (picture plus drawing).
    const QImage& image() const { return m_surface.image(); }

    // The canvas's size at 100 %: the picture's.
    QSize pictureSize() const { return m_pictureSize; }
    // A picture was set (not just the blank surface of the start).
    bool hasPicture() const { return m_hasPicture; }
    // The zoom step shown, 0 for a zoom between the steps (a fitted picture).
    int zoomPercent() const { return m_zoomPercent; }
    double zoomFactor() const { return m_zoom; }
    // One of the zoom steps; the canvas takes the zoomed size.
    void setZoomPercent(int percent);
    // Any zoom above 0: a step's factor is that step.
    void setZoomFactor(double factor);
    // A position on the canvas in picture pixels: the picture pixel shown
    // under it, at every zoom and on a scaled screen too.
    QPointF toPicture(QPointF position) const;
    // Where a handle goes whose top-left corner lies `align` pixels before the
    // picture point place + align: it keeps its screen size and its distance
    // from that point at every zoom.
    QPoint handlePosition(QPoint place, int align) const;

    // A small mark over the picture (not drawn into it) at a picture point,
    // where a snapped point went; nullopt takes it away.
    void setMark(std::optional<QPoint> picturePoint);
    std::optional<QPoint> mark() const { return m_mark; }
    // Drawn over the buffer at every zoom, in picture pixels, where it reaches
    // into `visible` (areas being dragged, before they are drawn into the
    // buffer at the release); an empty function: none.
    using Overlay = std::function<void(DrawingSurface& target, const QRectF& visible)>;
    void setOverlay(Overlay overlay);
    // Handles painted over everything else, in screen pixels where they reach
    // into `exposed` (those that are not widgets of their own); empty: none.
    using HandlePainter = std::function<void(QPainter& painter, const QRect& exposed)>;
    void setHandlePainter(HandlePainter painter) { m_handlePainter = std::move(painter); }
    // A canvas tool's own marks (a preview), painted over the picture, the
    // drawing and the overlay: the painter maps picture pixels, `visible` is
    // the part of the picture exposed; empty: none.
    using ToolPainter = std::function<void(QPainter& painter, const QRectF& visible)>;
    void setToolPainter(ToolPainter painter);
    // Where the pointer last was on the canvas itself (widget pixels); nothing
    // once it left the canvas or went onto one of its handle widgets.
    std::optional<QPointF> pointerPosition() const { return m_pointer; }

signals:
    void mousePressed(Qt::MouseButton button, QPointF position);
    void mouseMoved(QPointF position, Qt::MouseButtons buttons);
    void mouseReleased(Qt::MouseButton button, QPointF position);
    void zoomChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void applyZoom(int percent, double factor);
    void paintZoomed(QPainter& painter, const QRect& exposed);
    // A copy of `pixels` of `source` (the buffer or the picture) with the
    // chequerboard under the transparent parts; `drawn`: the source holds the
    // drawing too, which stays as it is.
    QImage chequered(const QImage& source, const QRect& pixels, bool drawn) const;
    void paintReduced(QPainter& painter, const QRect& pixels);
    QRect screenRect(const QRect& pictureRect) const;
    QRect markRect() const;
    void paintMark(QPainter& painter) const;
    void paintOverlay(QPainter& painter, const QRect& exposed);
    void paintTool(QPainter& painter, const QRect& exposed);

    ImageSurface m_surface;
    QImage m_transparency;
    QSize m_pictureSize;
    bool m_hasPicture = false;
    int m_zoomPercent = 100;
    double m_zoom = 1.0;
    std::optional<QPoint> m_mark;
    Overlay m_overlay;
    ReducedPictureCache m_reduced; // the picture far below its size
    HandlePainter m_handlePainter;
    ToolPainter m_toolPainter;
    std::optional<QPointF> m_pointer;
};

} // namespace korvane
