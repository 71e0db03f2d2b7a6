#pragma once

#include <QApplication>
#include <QDropEvent>
#include <QWidget>
#include <QWindow>

namespace korvane::test {

// Hands a drag to the target's window at the target's centre, as the window
// system does (the offscreen platform delivers none itself). True when it was
// dropped as a copy; a refused offer ends with a leave.
inline bool dropOn(QWidget* target, const QMimeData* data, Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction)
{
    QWindow* window = target->window()->windowHandle();
    const QPoint at = target->mapTo(target->window(), target->rect().center());
    QDragEnterEvent enter(at, actions, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &enter);
    if (!enter.isAccepted()) {
        QDragLeaveEvent leave;
        QApplication::sendEvent(window, &leave);
        return false;
    }
    QDragMoveEvent move(at, actions, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &move);
    QDropEvent drop(QPointF(at), actions, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &drop);
    return drop.isAccepted() && drop.dropAction() == Qt::CopyAction;
}

} // namespace korvane::test
