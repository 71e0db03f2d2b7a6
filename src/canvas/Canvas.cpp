#include "canvas/Canvas.h"

#include <QPaintEvent>
#include <QPainter>

namespace korvane {

Canvas::Canvas(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Picture1"));
    setAccessibleName(QStringLiteral("Zeichenfläche"));
    resize(640, 480);
}

void Canvas::setPicture(const QImage& image)
{
    m_picture = image;
    if (!image.isNull())
        resize(image.size());
    update();
}

void Canvas::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    p.fillRect(event->rect(), palette().window());
    if (!m_picture.isNull())
        p.drawImage(event->rect(), m_picture, event->rect());
}

} // namespace korvane
