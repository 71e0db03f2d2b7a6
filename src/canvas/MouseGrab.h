#pragma once

#include <QGuiApplication>
#include <QWidget>

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

inline void releasePointer(QWidget* widget)
{
    if (QWidget::mouseGrabber() == widget)
        widget->releaseMouse();
}

} // namespace korvane
