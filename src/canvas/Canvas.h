#pragma once

#include "canvas/ImageSurface.h"

#include <QImage>
#include <QWidget>

namespace korvane {

// Picture1: shows the persistent buffer (the picture plus everything drawn)
// and reports mouse actions in canvas pixels. The edit handles are its
// children, so they scroll with it.
class Canvas : public QWidget {
    Q_OBJECT
public:
    explicit Canvas(QWidget* parent = nullptr);

    // Shows the image unscaled from the top-left corner; the canvas takes its size.
    // A null image leaves a blank surface of the current size.
    void setPicture(QImage image);
    // Frees the picture before a new one is decoded; the canvas keeps its size
    // until the next setPicture().
    void releasePicture() { m_surface.releasePicture(); }
    const QImage& picture() const { return m_surface.picture(); }
    ImageSurface& surface() { return m_surface; }
    // The buffer as shown (picture plus drawing).
    const QImage& image() const { return m_surface.image(); }

signals:
    void mousePressed(Qt::MouseButton button, QPointF position);
    void mouseMoved(QPointF position, Qt::MouseButtons buttons);
    void mouseReleased(Qt::MouseButton button, QPointF position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    ImageSurface m_surface;
};

} // namespace korvane
