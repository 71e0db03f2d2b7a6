#include "app/commands/DialogPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <array>

namespace korvane {

namespace {

// Room between the shape and the dialog's frame.
constexpr int kGap = 8;

int clampedInto(int wanted, int size, int first, int last)
{
    return std::clamp(wanted, first, std::max(first, last - size + 1));
}

} // namespace

std::optional<QPoint> besideShape(QSize outer, const QRect& shape, const QRect& available)
{
    if (shape.isEmpty() || available.isEmpty() || outer.width() > available.width() ||
        outer.height() > available.height())
        return std::nullopt;
    const QPoint middle = shape.center();
    const int y = clampedInto(middle.y() - outer.height() / 2, outer.height(), available.top(), available.bottom());
    const int x = clampedInto(middle.x() - outer.width() / 2, outer.width(), available.left(), available.right());
    const std::array candidates{
        QPoint(shape.right() + 1 + kGap, y),            // right
        QPoint(shape.left() - kGap - outer.width(), y), // left
        QPoint(x, shape.bottom() + 1 + kGap),           // below
        QPoint(x, shape.top() - kGap - outer.height()), // above
    };
    for (const QPoint& at : candidates) {
        const QRect place(at, outer);
        if (available.contains(place) && !place.intersects(shape))
            return at;
    }
    return std::nullopt;
}

QRect shapeOnScreen(const QRect& pictureRect, const QWidget& canvas, double zoom, const QWidget& viewport)
{
    const QRectF scaled(QPointF(pictureRect.topLeft()) * zoom, QSizeF(pictureRect.size()) * zoom);
    const QRect onCanvas = scaled.toAlignedRect();
    const QRect inViewport = QRect(canvas.mapTo(&viewport, onCanvas.topLeft()), onCanvas.size()) & viewport.rect();
    if (inViewport.isEmpty())
        return {};
    return QRect(viewport.mapToGlobal(inViewport.topLeft()), inViewport.size());
}

void placeBeside(QWidget& dialog, const QRect& shape)
{
    if (shape.isEmpty())
        return;
    QScreen* screen = QGuiApplication::screenAt(shape.center());
    if (!screen)
        return;
    dialog.adjustSize();
    // The dialog's frame is known only once it is shown; its owner's stands in.
    const QWidget* owner = dialog.parentWidget() ? dialog.parentWidget()->window() : nullptr;
    const QSize frame = owner && owner->isVisible() ? owner->frameGeometry().size() - owner->size() : QSize(0, 0);
    if (const auto at = besideShape(dialog.size() + frame, shape, screen->availableGeometry()))
        dialog.move(*at);
}

} // namespace korvane
