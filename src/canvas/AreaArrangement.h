#pragma once

#include "canvas/AreaGeometry.h"

#include <QRect>
#include <QStringList>
#include <QVector>

namespace korvane {

// The line moved by (dx, dy): every coordinate of a rectangle and a
// polygon, a circle's centre. A line of another shape, or whose coordinates
// are not all numbers, stays as it is.
QString movedLine(const QString& line, int dx, int dy);
// The line brought onto a picture of that size (coordinates from 0 to its
// width and height): a rectangle's corners and a polygon's points that lie
// outside are held at the edges, a circle shrinks to fit and moves in, the
// coordinates read as a browser reads them. A line that lies on the picture
// already or that is not drawn stays as it is, letter for letter.
QString fittedLine(const QString& line, QSize picture);

// The entries of the "Ausrichten" menu, in its order.
enum class Alignment {
    Left,
    Right,
    Top,
    Bottom,
    CentreHorizontally,
    CentreVertically,
    SameWidth,
    SameHeight,
    DistributeHorizontally,
    DistributeVertically
};
inline constexpr int kAlignmentCount = 10;
// The entry's caption in the language installed.
QString alignmentText(Alignment how);

// The lines arranged against lines[reference] (the area chosen last), which
// stays where it is: edges or centres on its own, widths or heights like its
// own (the left or top edge kept). Distributing spaces the centres evenly
// between the outermost two, which stay. Lines that cannot be arranged
// (another shape, no numbers) stay as they are.
QStringList arranged(const QStringList& lines, Alignment how, int reference);

// The areas whose whole extent lies inside `band` (picture pixels), in list order.
QList<int> areasInside(const QVector<AreaGeometry>& shapes, const QRectF& band);

} // namespace korvane
