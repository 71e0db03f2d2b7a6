#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

class QWidget;

namespace korvane {

// Where a window of `outer` size (its frame included) goes so that it does
// not cover `shape`: to its right, else its left, else below, else above,
// always whole within `available`, beside the shape's middle as near as the
// room allows. Nothing where no side has room.
std::optional<QPoint> besideShape(QSize outer, const QRect& shape, const QRect& available);

// The part of a shape (in picture pixels) that is seen on the screen: the
// canvas shows the picture at `zoom`, inside `viewport`. Empty when it lies
// scrolled out of sight.
QRect shapeOnScreen(const QRect& pictureRect, const QWidget& canvas, double zoom, const QWidget& viewport);

// Moves a dialog that is still to be shown beside `shape` (screen
// coordinates) where the screen allows; elsewhere it opens where it would
// have opened anyway.
void placeBeside(QWidget& dialog, const QRect& shape);

} // namespace korvane
