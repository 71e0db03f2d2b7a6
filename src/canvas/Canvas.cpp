#include "canvas/Canvas.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace korvane {

Canvas::Canvas(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Picture1"));
    setAccessibleName(QStringLiteral("Zeichenfläche"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    resize(600, 400);
    m_surface.resizeBlank(size(), palette().color(QPalette::Button));
    m_surface.setChangeListener([this](const QRect& rect) { update(rect); });
}

void Canvas::setPicture(QImage image)
{
    if (image.isNull()) {
        m_surface.resizeBlank(size(), palette().color(QPalette::Button));
    } else {
        const QSize pictureSize = image.size();
        m_surface.setPicture(std::move(image));
        resize(pictureSize);
    }
    update();
}

// Only the exposed part is copied, so a big picture in a small viewport
// costs no more than the viewport.
void Canvas::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    const QImage& buffer = m_surface.image();
    const QRect exposed = event->rect();
    p.fillRect(exposed, palette().color(QPalette::Button));
    const QRect shown = exposed & buffer.rect();
    p.drawImage(shown.topLeft(), buffer, shown);
}

// Press, move and release keep coming to the canvas while a button is held,
// also outside it, so a drag released outside keeps its coordinates.
void Canvas::mousePressEvent(QMouseEvent* event)
{
    emit mousePressed(event->button(), event->position());
}

void Canvas::mouseMoveEvent(QMouseEvent* event)
{
    emit mouseMoved(event->position(), event->buttons());
}

void Canvas::mouseReleaseEvent(QMouseEvent* event)
{
    emit mouseReleased(event->button(), event->position());
}

} // namespace korvane
