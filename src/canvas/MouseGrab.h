#pragma once

#include <QGuiApplication>
#include <QMouseEvent>
#include <QWidget>

#include <cmath>

namespace korvane {

// Keeps the pointer on the widget while a button is held, also outside it.
// Platforms without a pointer of their own (offscreen) cannot grab; there the
// implicit grab of the pressed widget is all there is.
inline void grabPointer(QWidget* widget)
{
    if (widget->isVisible() && !QWidget::mouseGrabber() &&
        QGuiApplication::platformName() != QLatin1String("offscreen"))
        widget->grabMouse();
}

// The pointer's position on `widget` as exactly as the platform knows it.
// Qt 6.4 hands a widget its own and the global position rounded to whole
// logical pixels, which on a scaled screen loses the device pixel; the
// position in the window keeps it. One that does not fit (an event made up
// by a program, with the widget's own position there) is not used.
inline QPointF exactPosition(const QWidget* widget, const QMouseEvent* event)
{
    const QPointF exact = event->scenePosition() - widget->mapTo(widget->window(), QPointF(0, 0));
    const QPointF off = exact - event->position();
    return std::abs(off.x()) < 1 && std::abs(off.y()) < 1 ? exact : event->position();
}

inline void releasePointer(QWidget* widget)
{
    if (QWidget::mouseGrabber() == widget)
        widget->releaseMouse();
}

} // namespace korvane
